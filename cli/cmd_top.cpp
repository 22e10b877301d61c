#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "scoring/scoring.h"

namespace tarne::cli {

namespace {

const char* kTopUsage =
    "usage: tarne-cli top PROJECT.trn words|pairs|arguments\n"
    "Recomputes the unstemmed probabilities of the kind (stop words and common\n"
    "tokens included) and prints the 100 tokens with the highest information\n"
    "gain, with their counts and probabilities per group.  pairs may also be\n"
    "given as phrases.\n";

}  // namespace

int CmdTop(const CommandArgs& args) {
  Args a = ParseArgs(args, {}, {"help"});
  if (!a.error.empty()) return UsageError(a.error, kTopUsage);
  if (a.Has("help")) {
    std::cout << kTopUsage;
    return 0;
  }
  if (a.positional.size() != 2) return UsageError("PROJECT.trn and a kind are needed", kTopUsage);
  const int kind = KindFromName(a.positional[1]);
  if (kind == 0) return UsageError("unknown token kind " + a.positional[1], kTopUsage);
  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  static const int kCommands[4] = {0, 70, 71, 73};
  return command.Exit(ShowTopTokens(command.session, kCommands[kind]) ? 0 : 1);
}

}  // namespace tarne::cli
