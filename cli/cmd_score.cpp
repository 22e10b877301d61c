#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdScore(const CommandArgs&) {
  std::cerr << "tarne-cli: score is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
