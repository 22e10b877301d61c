#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdDemo(const CommandArgs&) {
  std::cerr << "tarne-cli: demo is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
