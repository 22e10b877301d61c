// Scoring: the classifier, batch runs, their reports and the evaluation reports.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "shell/kinds.h"
#include "shell/port.h"
#include "text/tokenizer.h"

namespace tarne {

struct Session;
struct ProjectSettings;
struct ScoringOptions;

// Per-group scores of the last essay classified, groups 1..5 at [1]..[5].
struct GroupScores {
  long double value[6] = {0, 0, 0, 0, 0, 0};
};

// One token kind of one essay; scores is updated in place.
void ScoreEssay(Session& session, const std::string& text, const std::string& condition, int kind,
                std::string& listing, int showTokens, GroupScores& scores);
// Every kind whose flag is set, combined and normalised into scores.
void ClassifyEssay(Session& session, const std::string& text, int words, int phrases,
                   int arguments, int showTokens, std::string& listing, GroupScores& scores);
// The work column as scoring the essay for kind leaves it: the counts of
// the kind's known tokens.
void WriteEssayMarks(Session& session, const std::string& text, int kind);

class KindModel;
class ServerTransaction;
struct ScoringScratch;
struct SelectedRows;

// The classifier of a batch run: the selected rows of each kind are read
// once, and essays are scored in memory with the results ClassifyEssay
// gives.  Finish leaves the work column as the last essay's scoring would.
// flags[kind] (1..3) says whether an essay is scored for the kind.
class ScoringRun {
 public:
  explicit ScoringRun(Session& session);
  ~ScoringRun();
  ScoringRun(const ScoringRun&) = delete;
  ScoringRun& operator=(const ScoringRun&) = delete;
  // Builds, on this thread and from the tables, each model the flags ask
  // for that is not built yet.  Classify needs them.
  void Prepare(const int flags[4]);
  // ClassifyEssay without the revealing-token listing.  It reads no table
  // and changes nothing of the run, so several threads may classify at
  // once, each with a scratch of its own.
  void Classify(const std::string& text, const int flags[4], ScoringScratch& scratch,
                GroupScores& scores) const;
  // Called for each essay classified, in the run's order.
  void Scored(std::string text, const int flags[4]);
  // Whether every model the flags ask for is built, so that Classify can
  // go on without Prepare.
  bool Ready(const int flags[4]) const;
  void Finish();
  // Scores kind with a model built from the rows its recomputation just
  // handed over, rather than reading them from the table.
  void Adopt(int kind, std::unique_ptr<KindModel> model);

 private:
  Session& session_;
  std::vector<double> priors_;  // what each essay's groups start from
  std::unique_ptr<KindModel> models_[4];
  std::string lastText_;
  int lastKind_ = 0;
};

struct RunResult;
// The verdict report of one pasted essay (session.options.OneEssayText);
// result gets its probabilities, the verdict's group and the listing.
void OneEssayVerdict(Session& session, RunResult& result);
// The verdict text for given posteriors (for tests and the desktop).
std::string VerdictText(const GroupScores& scores, int groups, const std::string& listing,
                        const std::string& essay);
// The verdict's winner: the first group above 1/G and above every earlier
// group; 0 when none beats the uniform share.
int VerdictWinner(const GroupScores& scores, int groups);

// Divides every score of groups 1..G by the largest once the largest has
// fallen below kScoreFloor, so that long essays keep their ranking instead of
// all groups reaching 0.  The ratios between groups do not change.
inline constexpr long double kScoreFloor = 1e-300L;
void KeepScoresInRange(GroupScores& scores, int groups);
// Keeps a running product away from the end of the range: mantissa is
// brought into [.5, 1) and its binary exponent added to exponent.
void Rebase(long double& mantissa, long& exponent);

// The Score command after the options are set: recompute, then One or a batch
// run.  Answers false when it refused to start (no one-essay text).
// Answers false too when the run failed or its result log could not be
// written (the user has been told).
bool ScoringCommand(Session& session);
bool BatchScoringRun(Session& session, RunResult& result);
// The same, kinds 1..3 of recomputed (when given and not null) scored with
// the models built from the rows their recomputation selected.  work, when
// given, holds the run's
// writes on a server; it is committed once the last essay is scored, before
// the error analysis, whose untraining works in transactions of its own.
bool BatchScoringRun(Session& session, RunResult& result, std::unique_ptr<KindModel>* recomputed,
                     ServerTransaction* work = nullptr);
struct EarlyResults;
// The same with a classifier already holding its models, and the essays
// it classified early (EarlyEssays), when given, taken as they come.
bool BatchScoringRun(Session& session, RunResult& result, ScoringRun& classifier,
                     EarlyResults* early, ServerTransaction* work);

// The batch run's winner: the highest posterior, the lower group on ties, 0
// when every posterior is 0.
int PredictedGroup(const GroupScores& scores, int groups);

// "trial", "train", "new" or "one" for What 1..4.
std::string CollectionName(int what);
// The folder a trial run (What 1) reads for set, or a new run's (What 3);
// empty for a set the project has no trial folder for.
std::string ScoredFolder(const ProjectSettings& settings, int what, int set);
// "Scoring Words ... (Low Info tokens)" from the options and thresholds.
std::string RunHeading(const ScoringOptions& options, const ProjectSettings& settings);
// True group "* ##", predicted group "* ###", each posterior x 100 "* ###.##".
std::string ProbabilityText(int trueGroup, int predicted, const GroupScores& scores,
                            int groups);

// Observed against predicted groups; [true][predicted], predicted 0 = none.
struct ConfusionTable {
  int count[6][6] = {};
};
struct Accuracy {
  double exact = 0;  // percent
  double near = 0;   // percent, within one group
};
Accuracy ComputeAccuracy(const ConfusionTable& table, int groups);
// The heading of the observed-classification table.
std::string ClassificationHeading(int groups);
// The row of set s (the heading comes before it for s = 1 when withHeading).
std::string ClassificationRow(const ConfusionTable& table, int set, int groups, int what);
// The run's closing lines (accuracy, or where a New run's results are).
std::string RunTotals(const ConfusionTable& table, int groups, int what,
                      const ProjectSettings& settings);

// The result log of one run.  A log that cannot be written is reported once
// per run (an Error box naming the file) and the run goes on.
class ResultLog {
 public:
  ResultLog(Session& session, int what);
  const std::string& Path() const { return path_; }
  // Creates or empties the file and writes the header.
  void Start();
  // One essay's line, right after its prediction.
  void AppendLine(const std::string& file, const std::string& collection, int trueGroup,
                  int predicted, const GroupScores& scores);
  bool Failed() const { return reported_; }

 private:
  void Report();
  Session& session_;
  std::string path_;
  bool settingsColumns_;
  bool reported_ = false;
};
std::string ResultLogPath(const ProjectSettings& settings, int what);
// A run with any model setting or counting rule that is not the classic one
// logs every setting in trailing columns, so that each line can be
// reproduced; a classic run's log keeps its 15 fields as it always had.
bool ResultLogHasSettings(const ScoringOptions& options, const CountingRules& rules);
std::string ResultLogHeader(bool settingsColumns = false);
// With rules, the line carries the settings columns.
std::string ResultLogLine(const std::string& file, const std::string& collection, int trueGroup,
                          int predicted, const GroupScores& scores, const ScoringOptions& options,
                          const CountingRules* rules = nullptr);

// True when an error entry's probability text is ticked in advance (98% or more).
bool IsPreTicked(const std::string& probabilities);
// One item of the flagged-file list: the true group in two characters, then the path.
std::string FlaggedFileItem(int trueGroup, const std::string& path);
// The items of the entries ticked in advance, in list order.
std::vector<std::string> PreTickedFlaggedFiles(const std::vector<ErrorEntry>& errors);
// The flagged-file list of the error list's ticked lines (ticked[i] for
// errors[i]), in list order.
std::vector<std::string> FlaggedFiles(const std::vector<ErrorEntry>& errors,
                                      const std::vector<bool>& ticked);
// The error list's window title: "Tarne - select files to remove" after a
// Train run (what 2), "Tarne - error analysis" otherwise.
std::string ErrorAnalysisTitle(int what);
// The column heading over the probability texts: "True Pred" and each group's
// number over the units digit of its posterior.
std::string ProbabilityHeading(int groups);

bool ShowDatabaseStatistics(Session& session);
// The same report stamped with the given time (tests and reproducible output).
bool ShowDatabaseStatistics(Session& session, std::time_t now);
bool ShowTopTokens(Session& session, TokenKind kind);

// A fixed-width field: text padded with blanks on the left (alignment 1) or
// the right, or cut to its first width characters.
std::string PadField(const std::string& text, int width, int alignment);

}  // namespace tarne
