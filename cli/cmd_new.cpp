#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdNew(const CommandArgs&) {
  std::cerr << "tarne-cli: new is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
