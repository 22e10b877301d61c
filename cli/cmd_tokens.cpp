#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdTokens(const CommandArgs&) {
  std::cerr << "tarne-cli: tokens is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
