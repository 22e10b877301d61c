#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdStem(const CommandArgs&) {
  std::cerr << "tarne-cli: stem is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
