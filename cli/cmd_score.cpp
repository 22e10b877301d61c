#include <iostream>
#include <string>

#include "args.h"
#include "commands.h"
#include "project_command.h"
#include "scoring/options_rules.h"
#include "scoring/results_json.h"
#include "scoring/scoring.h"

namespace tarne::cli {

namespace {

const char* kScoreUsage =
    "usage: tarne-cli score PROJECT.trn trial|train|new [options]\n"
    "       tarne-cli score PROJECT.trn one FILE|- [options]\n"
    "Recomputes the probabilities of the chosen token kinds, then scores the\n"
    "trial essays, the trained essays or the new essays and prints the\n"
    "observed-classification table and the accuracy; \"one\" gives the verdict\n"
    "for the essay in FILE (standard input for \"-\").\n"
    "Options (the boxes of the scoring dialog):\n"
    "  --bernoulli        multivariate Bernoulli model (else multinomial)\n"
    "  --stemmed          score against the stemmed table (stop words then excluded)\n"
    "  --no-stop-words    leave stop words out\n"
    "  --no-common        leave common tokens out\n"
    "  --no-rare          leave rare tokens out\n"
    "  --no-low-info      leave low-information tokens out\n"
    "  --words --phrases --arguments\n"
    "                     the token kinds to score with (words when none is given)\n"
    "  --alpha X          the smoothing of either model, above 0 (default 1, the\n"
    "                     classic add-one; 0.1 classified best with --bernoulli)\n"
    "  --priors-from-training\n"
    "                     priors in proportion to the essays trained per group,\n"
    "                     instead of the project's priors\n"
    "  --stop-words-only  only the tokens of the stop list take part (not with\n"
    "                     --stemmed or --no-stop-words)\n"
    "  --show-errors      print the misclassified essays (trial and train)\n"
    "  --untrain-flagged  train only: untrain the misclassified essays predicted\n"
    "                     with 98% or more; they are listed, only --yes confirms,\n"
    "                     and a back-up copy is made first unless --no-backup\n"
    "                     (--backup, the default, asks for it)\n"
    "  --log              write the result log (new always writes it)\n"
    "  --json             the results as JSON on standard output (every essay's\n"
    "                     groups and probabilities, the table, the figures)\n";

}  // namespace

int RunScore(const Args& a) {
  if (a.positional.size() < 2) return UsageError("PROJECT.trn and a collection are needed", kScoreUsage);
  const std::string& which = a.positional[1];
  int what = which == "trial" ? 1 : which == "train" ? 2 : which == "new" ? 3 : which == "one" ? 4 : 0;
  if (what == 0) return UsageError("unknown collection " + which, kScoreUsage);
  if (what == 4 && a.positional.size() != 3)
    return UsageError("one needs exactly one FILE (or - for standard input)", kScoreUsage);
  if (what != 4 && a.positional.size() != 2) return UsageError("too many arguments", kScoreUsage);
  if (a.Has("backup") && a.Has("no-backup"))
    return UsageError("give --backup or --no-backup, not both", kScoreUsage);
  if (a.Has("untrain-flagged") && what != 2)
    return UsageError("--untrain-flagged is for train runs only", kScoreUsage);
  if (a.Has("stop-words-only") && (a.Has("stemmed") || a.Has("no-stop-words")))
    return UsageError(
        "--stop-words-only goes with neither --stemmed (stems hold no stop words) nor "
        "--no-stop-words",
        kScoreUsage);
  double alpha = 1;
  if (!a.All("alpha").empty() && !ParsePositiveNumber(a.Value("alpha"), alpha))
    return UsageError("--alpha must be a number above 0", kScoreUsage);

  std::string essay;
  if (what == 4 && !ReadEssayArgument(a.positional[2], essay)) return 1;

  ProjectCommand command;
  if (!command.Load(a.positional[0])) return 1;
  Session& session = command.session;

  // The options are set the way the dialog would set them from these clicks.
  ScoringDialogMemory memory;
  ScoringDialogRules dialog(session.options, session.settings.sname, memory);
  dialog.ClickWhat(what);
  dialog.ClickModel(a.Has("bernoulli") ? 2 : 1);
  dialog.SetStemmed(a.Has("stemmed"));
  if (a.Has("no-stop-words")) dialog.stopWords = false;
  dialog.common = !a.Has("no-common");
  dialog.rare = !a.Has("no-rare");
  dialog.lowInfo = !a.Has("no-low-info");
  dialog.words = a.Has("words");
  dialog.phrases = a.Has("phrases");
  dialog.arguments = a.Has("arguments");
  if ((a.Has("show-errors") || a.Has("untrain-flagged")) && !dialog.showErrors)
    dialog.ClickShowErrors();
  if (a.Has("log") && !dialog.logBox) dialog.ClickLog();
  dialog.SetStopWordsOnly(a.Has("stop-words-only"));
  dialog.priorsFromTraining = a.Has("priors-from-training");
  dialog.alpha = alpha;
  if (what == 4) dialog.SetOneEssayText(essay);
  dialog.Score();

  command.port.printErrors = a.Has("show-errors");
  command.port.untrainFlagged = a.Has("untrain-flagged");
  command.port.confirm = a.Has("yes");
  command.port.backup = !a.Has("no-backup");
  command.port.jsonOutput = a.Has("json");
  RunResult result;
  const bool done = ScoringCommand(session, result);
  if (a.Has("json") && result.groups > 0 && !result.essays.empty()) {
    if (what == 4) result.essays[0].file = result.essays[0].path = a.positional[2];
    std::cout << RunResultJson(result);
  }
  if (!done) {
    if (command.port.interrupted() && result.essays.empty())
      std::cerr << "Cancelled: no essay was scored.\n";
    return 1;
  }
  return command.Exit(command.port.interrupted() || command.port.refusedConfirmation ? 1 : 0);
}

const Command kScoreCommand{
    "score", "Scoring and reports",
    "  score PROJECT.trn trial|train|new [options]   or   score PROJECT.trn one FILE|-\n",
    kScoreUsage,
    {"alpha"},
    {"bernoulli", "stemmed", "no-stop-words", "no-common", "no-rare", "no-low-info", "words",
     "phrases", "arguments", "show-errors", "untrain-flagged", "log", "yes", "backup", "no-backup",
     "json", "priors-from-training", "stop-words-only"},
    RunScore};

}  // namespace tarne::cli
