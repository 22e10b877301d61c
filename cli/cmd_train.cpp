#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdTrain(const CommandArgs&) {
  std::cerr << "tarne-cli: train is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
