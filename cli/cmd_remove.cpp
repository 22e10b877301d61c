#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kRemoveUsage =
    "usage: tarne-cli remove PROJECT.trn --group G PATH ...\n"
    "Takes each essay file PATH of group G out of every kind it was trained for,\n"
    "in both vocabulary tables, and clears its training record.  PATH is the\n"
    "file's path exactly as training recorded it: the group's training folder\n"
    "followed by the file name.  A later words run trains the file again.\n";

}  // namespace

int CmdRemove(const CommandArgs& args) {
  Args a = ParseArgs(args, {"group"}, {"help"});
  if (!a.error.empty()) return UsageError(a.error, kRemoveUsage);
  if (a.Has("help")) {
    std::cout << kRemoveUsage;
    return 0;
  }
  if (a.positional.size() < 2)
    return UsageError("give a project file and at least one path", kRemoveUsage);
  const std::string group = a.Value("group");
  if (group.size() != 1 || group[0] < '1' || group[0] > '5')
    return UsageError("--group must be a group number from 1 to 5", kRemoveUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  if (group[0] - '0' > command.session.settings.Groups())
    return UsageError("the project has no group " + group, kRemoveUsage);
  std::vector<std::string> flagged;
  for (size_t i = 1; i < a.positional.size(); ++i) flagged.push_back(" " + group + a.positional[i]);
  RemoveFlaggedFiles(command.session, flagged);
  if (command.port.interrupted()) {
    std::cerr << "Cancelled: the essays removed so far stay removed.\n";
    return 1;
  }
  return 0;
}

}  // namespace tarne::cli
