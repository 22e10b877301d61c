#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdRecompute(const CommandArgs&) {
  std::cerr << "tarne-cli: recompute is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
