#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kPurgeUsage =
    "usage: tarne-cli purge PROJECT.trn words|pairs|arguments [--yes]\n"
    "                       [--backup | --no-backup]\n"
    "Deletes from both vocabulary tables the tokens of the kind that occur less\n"
    "often per 1000 trained essays than the project's rare threshold, then\n"
    "compacts the database.  Asks for confirmation: only --yes confirms.  A\n"
    "back-up copy is made first unless --no-backup is given.\n";

}  // namespace

int RunPurge(const Args& a) {
  if (a.positional.size() != 2) return UsageError("give a project file and a kind", kPurgeUsage);
  const std::optional<TokenKind> kind = KindNamed(a.positional[1]);
  if (!kind) return UsageError("unknown kind " + a.positional[1], kPurgeUsage);
  if (a.Has("backup") && a.Has("no-backup"))
    return UsageError("give --backup or --no-backup, not both", kPurgeUsage);

  ProjectCommand command;
  command.port.confirm = a.Has("yes");
  command.port.backup = !a.Has("no-backup");
  if (!command.Load(a.positional[0])) return 1;
  return command.Exit(PurgeInfrequent(command.session, *kind) ? 0 : 1);
}

const Command kPurgeCommand{
    "purge", "Training",
    "  purge PROJECT.trn words|pairs|arguments\n",
    kPurgeUsage,
    {},
    {"yes", "backup", "no-backup"},
    RunPurge};

}  // namespace tarne::cli
