#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kEraseUsage =
    "usage: tarne-cli erase PROJECT.trn all|pairs|arguments [--yes]\n"
    "                       [--backup | --no-backup]\n"
    "all: empties the whole database (every kind in both tables, the training\n"
    "records and the essay counts); a back-up copy is made first unless\n"
    "--no-backup is given.  pairs, arguments: deletes every word pair or every\n"
    "argument and clears their training records, so the next run of that kind\n"
    "trains every file again.  Asks for confirmation: only --yes confirms.\n";

}  // namespace

int RunErase(const Args& a) {
  if (a.positional.size() != 2)
    return UsageError("give a project file and all, pairs or arguments", kEraseUsage);
  const std::string& what = a.positional[1];
  const std::optional<TokenKind> kind = what == "all" ? TokenKind::Words : KindNamed(what);
  if (!kind || (kind == TokenKind::Words && what != "all"))
    return UsageError("give all, pairs or arguments, not " + what, kEraseUsage);
  if (a.Has("backup") && a.Has("no-backup"))
    return UsageError("give --backup or --no-backup, not both", kEraseUsage);

  ProjectCommand command;
  command.port.confirm = a.Has("yes");
  command.port.backup = !a.Has("no-backup");
  if (!command.Load(a.positional[0])) return 1;
  const bool done =
      kind == TokenKind::Words ? EraseDatabase(command.session)
                               : PurgeAllOfKind(command.session, *kind);
  return command.Exit(done ? 0 : 1);
}

const Command kEraseCommand{
    "erase", "Training",
    "  erase PROJECT.trn all|pairs|arguments\n",
    kEraseUsage,
    {},
    {"yes", "backup", "no-backup"},
    RunErase};

}  // namespace tarne::cli
