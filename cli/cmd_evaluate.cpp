#include <cmath>
#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "evaluation/cross_validation.h"
#include "project_command.h"
#include "shell/numbers.h"

namespace tarne::cli {

namespace {

const char* kEvaluateUsage =
    "usage: tarne-cli evaluate PROJECT.trn [--folds K] [--seed N] [--json]\n"
    "Cross-validates a grid of settings on the project's training essays: the\n"
    "essays are split into K folds stratified by group (default 5; the seed,\n"
    "default 1, fixes the split), and each setting is trained on K-1 folds and\n"
    "scored on the one left out.  The grid: both models; words, and words with\n"
    "word pairs; smoothing 1, .3, .1 and .03; with and without rare tokens;\n"
    "the project's priors and priors from the training essays.  Prints the\n"
    "settings ranked by mean QWK, with the mean and spread of accuracy and QWK,\n"
    "and the score command line of the best.  The essays are read from the\n"
    "project's folders; its database is not opened.  --json prints the table\n"
    "as JSON.\n";

// A whole number from lowest to highest, or -1.
long long Whole(const std::string& text, long long lowest, long long highest) {
  if (text.empty() || text.size() > 10) return -1;
  long long n = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n < lowest || n > highest ? -1 : n;
}

}  // namespace

int RunEvaluate(const Args& a) {
  if (a.positional.size() != 1) return UsageError("one PROJECT.trn is needed", kEvaluateUsage);
  const long long folds = Whole(a.Value("folds", "5"), 2, 100);
  if (folds < 0) return UsageError("--folds must be a whole number from 2 to 100", kEvaluateUsage);
  const long long seed = Whole(a.Value("seed", "1"), 0, 4294967295LL);
  if (seed < 0) return UsageError("--seed must be a whole number from 0 to 4294967295", kEvaluateUsage);

  ProjectCommand command;
  command.port.jsonOutput = a.Has("json");
  Session& session = command.session;
  // The project file only: cross-validation never opens the database.
  if (!LoadProjectFile(a.positional[0], session.settings)) {
    std::cerr << "tarne-cli: could not read the project file " << a.positional[0] << "\n";
    return 1;
  }
  EvaluationResult result;
  if (!CrossValidate(session, a.positional[0], static_cast<int>(folds),
                     static_cast<std::uint32_t>(seed), result)) {
    if (command.port.interrupted()) std::cerr << "Cross-validation cancelled\n";
    return 1;
  }
  if (a.Has("json"))
    std::cout << EvaluationJson(result);
  else
    session.Append(EvaluationText(result));
  std::cerr << "Cross-validation took " << TrimmedNumber(std::round(result.seconds * 10) / 10) << " s\n";
  return 0;
}

const Command kEvaluateCommand{
    "evaluate", "Scoring and reports",
    "  evaluate PROJECT.trn [--folds K] [--seed N]   cross-validate a grid of settings\n",
    kEvaluateUsage,
    {"folds", "seed"},
    {"json"},
    RunEvaluate};

}  // namespace tarne::cli
