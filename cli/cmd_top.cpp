#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdTop(const CommandArgs&) {
  std::cerr << "tarne-cli: top is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
