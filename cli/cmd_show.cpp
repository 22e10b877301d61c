#include <iostream>

#include "commands.h"

namespace tarne::cli {

int CmdShow(const CommandArgs&) {
  std::cerr << "tarne-cli: show is not available yet\n";
  return 1;
}

}  // namespace tarne::cli
