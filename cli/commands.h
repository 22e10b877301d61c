// The commands of tarne-cli, as one table.  Each row names a command, the
// line or two it has in the overview, its help text (which begins with its
// usage), the options it takes and the function that runs it.  Parsing,
// --help, usage errors and the overview all come from the rows, so a
// command cannot take an option its help was not written with, or be left
// out of the overview.
#pragma once

#include <set>
#include <string>
#include <vector>

#include "args.h"

namespace tarne::cli {

using CommandArgs = std::vector<std::string>;

struct Command {
  const char* name;
  const char* section;  // the overview's heading it stands under
  const char* summary;  // its lines in the overview
  const char* usage;    // the --help text
  std::set<std::string> valueOptions;  // options that take a value
  std::set<std::string> flagOptions;   // bare options (--help is every command's)
  // Runs the command on its parsed arguments; answers the exit code: 0 done,
  // 1 cancelled or failed, 2 usage error.
  int (*run)(const Args& args);
};

extern const Command kStemCommand, kTokensCommand, kNewCommand, kShowCommand, kImportCommand,
    kTrainCommand, kRecomputeCommand, kRemoveCommand, kPurgeCommand, kEraseCommand,
    kCompactCommand, kScoreCommand, kStatsCommand, kTopCommand, kEvaluateCommand, kDemoCommand,
    kCopyCommand;

// Every command, in the order of the overview.
const std::vector<const Command*>& CommandTable();

// The text of tarne-cli --help.
std::string Overview();

// Runs one command line (argv without the program name).
int RunCommandLine(const CommandArgs& argv);

}  // namespace tarne::cli
