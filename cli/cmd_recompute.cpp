#include <iostream>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "training/training.h"

namespace tarne::cli {

namespace {

const char* kRecomputeUsage =
    "usage: tarne-cli recompute PROJECT.trn words|pairs|arguments [--stemmed]\n"
    "                           [--bernoulli] [--no-stop-words] [--no-common]\n"
    "                           [--no-rare] [--no-low-info] [--alpha X]\n"
    "                           [--priors-from-training] [--stop-words-only]\n"
    "Recomputes the probabilities, frequencies and information gains of one token\n"
    "kind in the unstemmed table (the stemmed one with --stemmed), for the\n"
    "multinomial model (the multivariate Bernoulli model with --bernoulli), and\n"
    "prints the vocabulary size.  The --no-... options leave out stop words,\n"
    "common tokens, rare tokens and, in the vocabulary size, tokens of low\n"
    "information, with the project's thresholds.  --alpha, --priors-from-training\n"
    "and --stop-words-only are the model settings of score.\n";

}  // namespace

int RunRecompute(const Args& a) {
  if (a.positional.size() != 2)
    return UsageError("give a project file and a kind", kRecomputeUsage);
  const std::optional<TokenKind> kind = KindNamed(a.positional[1]);
  if (!kind) return UsageError("unknown kind " + a.positional[1], kRecomputeUsage);
  double alpha = 1;
  if (!a.All("alpha").empty() && !ParsePositiveNumber(a.Value("alpha"), alpha))
    return UsageError("--alpha must be a number above 0", kRecomputeUsage);

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  ScoringOptions& options = command.session.options;
  options.Stemmed = a.Has("stemmed") ? 1 : 0;
  options.Model = a.Has("bernoulli") ? 2 : 1;
  options.IncludeStopWords = a.Has("no-stop-words") ? 0 : 1;
  options.IncludeCommon = a.Has("no-common") ? 0 : 1;
  options.IncludeRare = a.Has("no-rare") ? 0 : 1;
  options.IncludeLowInfo = a.Has("no-low-info") ? 0 : 1;
  options.Alpha = alpha;
  options.PriorsFromTraining = a.Has("priors-from-training") ? 1 : 0;
  options.StopWordsOnly = a.Has("stop-words-only") ? 1 : 0;
  std::string condition;
  Recompute(command.session, condition, *kind, false);
  // The condition stays empty only when nothing was trained (the user has
  // been told).
  return command.Exit(condition.empty() ? 1 : 0);
}

const Command kRecomputeCommand{
    "recompute", "Training",
    "  recompute PROJECT.trn words|pairs|arguments [options]\n",
    kRecomputeUsage,
    {"alpha"},
    {"stemmed", "bernoulli", "no-stop-words", "no-common", "no-rare", "no-low-info",
     "priors-from-training", "stop-words-only"},
    RunRecompute};

}  // namespace tarne::cli
