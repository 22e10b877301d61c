#include <filesystem>
#include <iostream>
#include <system_error>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "scoring/scoring.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kRemoveUsage =
    "usage: tarne-cli remove PROJECT.trn [--group G] PATH ...\n"
    "Takes each trained essay file PATH out of every kind it was trained for, in\n"
    "both vocabulary tables, and clears its training record.  The group is the\n"
    "one the file was trained in (its training record says which); --group, when\n"
    "given, must be a group of the project.  PATH is the file's path as training\n"
    "recorded it: the group's training folder followed by the file name (a\n"
    "relative PATH is taken from the current folder).  Files that are not trained\n"
    "are reported and left alone; the exit code is 1 when no file was removed.\n"
    "A later words run trains a removed file again.\n";

std::string AbsolutePath(const std::string& path) {
  if (path.empty() || path[0] == '/') return path;
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  return ec ? path : absolute.lexically_normal().string();
}

}  // namespace

int RunRemove(const Args& a) {
  if (a.positional.size() < 2)
    return UsageError("give a project file and at least one path", kRemoveUsage);
  const std::string group = a.Value("group");
  if (!a.All("group").empty() && (group.size() != 1 || group[0] < '1' || group[0] > '5'))
    return UsageError("--group must be a group number from 1 to 5", kRemoveUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  if (!group.empty() && group[0] - '0' > command.session.settings.Groups())
    return UsageError("the project has no group " + group, kRemoveUsage);
  std::vector<std::string> flagged;
  for (size_t i = 1; i < a.positional.size(); ++i)
    flagged.push_back(FlaggedFileItem(group.empty() ? 0 : group[0] - '0',
                                      AbsolutePath(a.positional[i])));
  const int removed = RemoveFlaggedFiles(command.session, flagged);
  if (command.port.interrupted()) {
    std::cerr << "Cancelled: the essays removed so far stay removed.\n";
    return 1;
  }
  return command.Exit(removed > 0 ? 0 : 1);
}

const Command kRemoveCommand{
    "remove", "Training",
    "  remove PROJECT.trn --group G PATH ...\n",
    kRemoveUsage,
    {"group"},
    {},
    RunRemove};

}  // namespace tarne::cli
