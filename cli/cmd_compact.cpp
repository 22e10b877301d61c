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

int RunCompact(const Args& a) {
  if (a.positional.size() != 1) return UsageError("give one project file", kCompactUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  return command.Exit(CompactCommand(command.session) ? 0 : 1);
}

const Command kCompactCommand{
    "compact", "Training",
    "  compact PROJECT.trn\n",
    kCompactUsage,
    {},
    {},
    RunCompact};

}  // namespace tarne::cli
