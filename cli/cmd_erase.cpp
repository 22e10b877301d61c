#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdErase(const CommandArgs&) {
  std::cerr << "tarne-cli: erase is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
