#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "scoring/results_json.h"
#include "scoring/scoring.h"

namespace tarne::cli {

namespace {

const char* kTopUsage =
    "usage: tarne-cli top PROJECT.trn words|pairs|arguments [--json]\n"
    "Recomputes the unstemmed probabilities of the kind (stop words and common\n"
    "tokens included) and prints the 100 tokens with the highest information\n"
    "gain, with their counts and probabilities per group.  pairs may also be\n"
    "given as phrases.  --json gives them as JSON.\n";

}  // namespace

int RunTop(const Args& a) {
  if (a.positional.size() != 2) return UsageError("PROJECT.trn and a kind are needed", kTopUsage);
  const std::optional<TokenKind> kind = KindNamed(a.positional[1]);
  if (!kind) return UsageError("unknown token kind " + a.positional[1], kTopUsage);
  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  command.port.jsonOutput = a.Has("json");
  TopTokens top;
  if (!ReadTopTokens(command.session, *kind, top)) return 1;
  if (a.Has("json"))
    std::cout << TopTokensJson(top);
  else
    AppendTopTokens(command.session, top);
  return command.Exit(0);
}

const Command kTopCommand{
    "top", "Scoring and reports",
    "  top PROJECT.trn words|pairs|arguments\n",
    kTopUsage,
    {},
    {"json"},
    RunTop};

}  // namespace tarne::cli
