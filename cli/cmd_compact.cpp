#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kCompactUsage =
    "usage: tarne-cli compact PROJECT.trn\n"
    "Compacts the project's database file in place.\n";

}  // namespace

int CmdCompact(const CommandArgs& args) {
  Args a = ParseArgs(args, {}, {"help"});
  if (!a.error.empty()) return UsageError(a.error, kCompactUsage);
  if (a.Has("help")) {
    std::cout << kCompactUsage;
    return 0;
  }
  if (a.positional.size() != 1) return UsageError("give one project file", kCompactUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  return command.Exit(CompactCommand(command.session) ? 0 : 1);
}

}  // namespace tarne::cli
