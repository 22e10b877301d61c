#include <iostream>
#include <map>

#include "commands.h"
#include "shell/version.h"

namespace tarne::cli {

namespace {

const char* kUsage =
    "usage: tarne-cli COMMAND [ARGS]   (tarne-cli COMMAND --help for each)\n"
    "       tarne-cli --version\n"
    "\n"
    "Text analysis\n"
    "  stem [WORD ...]                      the stem of each word (stdin when none)\n"
    "  tokens [--kind K] [--stemmed] [FILE] the token list of every sentence\n"
    "Projects\n"
    "  new --name N --root DIR --groups G --train DIR.. --trial DIR.. [...]\n"
    "  show PROJECT.trn                     the project file text of a project\n"
    "  import FILE --name N --root DIR --text COL --score COL [...]   a project\n"
    "                                       from a spreadsheet of scored essays\n"
    "Training\n"
    "  train PROJECT.trn words|pairs|arguments\n"
    "  recompute PROJECT.trn words|pairs|arguments [options]\n"
    "  remove PROJECT.trn --group G PATH ...\n"
    "  purge PROJECT.trn words|pairs|arguments\n"
    "  erase PROJECT.trn all|pairs|arguments\n"
    "  compact PROJECT.trn\n"
    "Scoring and reports\n"
    "  score PROJECT.trn trial|train|new [options]   or   score PROJECT.trn one FILE|-\n"
    "  stats PROJECT.trn\n"
    "  top PROJECT.trn words|pairs|arguments\n"
    "  evaluate PROJECT.trn [--folds K] [--seed N]   cross-validate a grid of settings\n"
    "  demo [DIR]                           a whole project from the sample essays\n"
    "\n"
    "K is words, pairs (or phrases) or arguments.\n";

}  // namespace

int RunCommandLine(const CommandArgs& argv) {
  static const std::map<std::string, int (*)(const CommandArgs&)> commands = {
      {"stem", CmdStem},       {"tokens", CmdTokens},   {"new", CmdNew},
      {"show", CmdShow},       {"train", CmdTrain},     {"recompute", CmdRecompute},
      {"remove", CmdRemove},   {"purge", CmdPurge},     {"erase", CmdErase},
      {"compact", CmdCompact}, {"score", CmdScore},     {"stats", CmdStats},
      {"top", CmdTop},         {"demo", CmdDemo},       {"evaluate", CmdEvaluate}, {"import", CmdImport},
  };
  if (argv.empty()) {
    std::cerr << kUsage;
    return 2;
  }
  if (argv[0] == "--version") {
    std::cout << "tarne-cli " << kTarneVersion << "\n";
    return 0;
  }
  if (argv[0] == "--help" || argv[0] == "-h" || argv[0] == "help") {
    std::cout << kUsage;
    return 0;
  }
  auto it = commands.find(argv[0]);
  if (it == commands.end()) {
    std::cerr << "tarne-cli: unknown command " << argv[0] << "\n" << kUsage;
    return 2;
  }
  return it->second(CommandArgs(argv.begin() + 1, argv.end()));
}

}  // namespace tarne::cli
