#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdCompact(const CommandArgs&) {
  std::cerr << "tarne-cli: compact is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
