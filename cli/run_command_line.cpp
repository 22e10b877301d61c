#include <iostream>

#include "commands.h"
#include "shell/version.h"

namespace tarne::cli {

const std::vector<const Command*>& CommandTable() {
  static const std::vector<const Command*> table = {
      &kStemCommand,   &kTokensCommand,    &kNewCommand,    &kShowCommand,
      &kImportCommand, &kCopyCommand,      &kTrainCommand,     &kRecomputeCommand, &kRemoveCommand,
      &kPurgeCommand,  &kEraseCommand,     &kCompactCommand, &kScoreCommand,
      &kStatsCommand,  &kTopCommand,       &kEvaluateCommand, &kDemoCommand,
  };
  return table;
}

std::string Overview() {
  std::string text =
      "usage: tarne-cli COMMAND [ARGS]   (tarne-cli COMMAND --help for each)\n"
      "       tarne-cli --version\n"
      "\n";
  std::string section;
  for (const Command* command : CommandTable()) {
    if (section != command->section) {
      section = command->section;
      text += section + "\n";
    }
    text += command->summary;
  }
  return text + "\nK is words, pairs (or phrases) or arguments.\n";
}

int RunCommandLine(const CommandArgs& argv) {
  if (argv.empty()) {
    std::cerr << Overview();
    return 2;
  }
  if (argv[0] == "--version") {
    std::cout << "tarne-cli " << kTarneVersion << "\n";
    return 0;
  }
  if (argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
    std::cout << Overview();
    return 0;
  }
  for (const Command* command : CommandTable()) {
    if (argv[0] != command->name) continue;
    std::set<std::string> flags = command->flagOptions;
    flags.insert("help");
    const Args a =
        ParseArgs(CommandArgs(argv.begin() + 1, argv.end()), command->valueOptions, flags);
    if (!a.error.empty()) return UsageError(a.error, command->usage);
    if (a.Has("help")) {
      std::cout << command->usage;
      return 0;
    }
    return command->run(a);
  }
  std::cerr << "tarne-cli: unknown command " << argv[0] << "\n" << Overview();
  return 2;
}

}  // namespace tarne::cli
