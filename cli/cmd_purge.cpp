#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdPurge(const CommandArgs&) {
  std::cerr << "tarne-cli: purge is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
