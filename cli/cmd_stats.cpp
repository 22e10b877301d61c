#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "scoring/results_json.h"
#include "scoring/scoring.h"

namespace tarne::cli {

namespace {

const char* kStatsUsage =
    "usage: tarne-cli stats PROJECT.trn [--json]\n"
    "Prints the database statistics: essays trained per group, token\n"
    "occurrences and distinct tokens of each kind in both tables, and the\n"
    "numbers of rare, common and stop-word tokens.  --json gives them as JSON.\n";

}  // namespace

int RunStats(const Args& a) {
  if (a.positional.size() != 1) return UsageError("one PROJECT.trn is needed", kStatsUsage);
  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  if (!a.Has("json")) return command.Exit(ShowDatabaseStatistics(command.session) ? 0 : 1);
  DatabaseStatistics stats;
  if (!ReadDatabaseStatistics(command.session, std::time(nullptr), stats)) return 1;
  std::cout << StatisticsJson(stats);
  return command.Exit(0);
}

const Command kStatsCommand{
    "stats", "Scoring and reports",
    "  stats PROJECT.trn\n",
    kStatsUsage,
    {},
    {"json"},
    RunStats};

}  // namespace tarne::cli
