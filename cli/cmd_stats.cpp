#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdStats(const CommandArgs&) {
  std::cerr << "tarne-cli: stats is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
