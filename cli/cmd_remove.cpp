#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdRemove(const CommandArgs&) {
  std::cerr << "tarne-cli: remove is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
