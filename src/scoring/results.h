// Results as values: what a scoring run, the statistics report and the
// top-token report found, independent of how it is shown.  The pane text is
// one rendering of these (the classic reports, unchanged); JSON is another
// (results_json.h).
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "shell/kinds.h"
#include "project/scoring_options.h"
#include "text/tokenizer.h"
#include "scoring/scoring.h"

namespace tarne {

// One scored essay.  Groups are 1..G at [1]..[G].
struct EssayResult {
  std::string file;   // as the result log names it
  std::string path;   // where it was read
  int trueGroup = 0;  // 0 when not known (new essays, one essay)
  int predicted = 0;  // 0 when no group was predicted
  double probability[6] = {0, 0, 0, 0, 0, 0};
};

// Figures of one group over the essays that got a prediction.
struct GroupFigures {
  int essays = 0;     // whose true group this is
  int predicted = 0;  // predicted to be in it
  double precision = 0, recall = 0, f1 = 0;  // 0..1; 0 when undefined
};

// The figures of a table of observed against predicted groups.  The kappas
// are NaN when undefined (every essay and prediction in one group).
struct Figures {
  int scored = 0;             // essays with a prediction
  double accuracy = 0;        // percent
  double nearAccuracy = 0;    // percent
  double qwk = 0;             // quadratic weighted kappa
  double kappa = 0;           // Cohen's kappa, unweighted
  GroupFigures group[6];
};
Figures ComputeFigures(const ConfusionTable& table, int groups);
// Quadratic weighted kappa (weighted true) or Cohen's kappa of the table
// cells [1..G][1..G]; NaN when the expected disagreement is 0.
double Kappa(const ConfusionTable& table, int groups, bool weighted);

// The settings a run scored with, as the result shows them.
struct RunSettings {
  ScoringOptions options;
  double common = 0, rare = 0, lowinfo = 0;
  std::vector<double> priors;  // those the groups started from
  CountingRules rules;         // the project's
};

struct RunResult {
  std::string project;  // short name
  Collection collection = Collection::Trial;
  int groups = 0;
  std::vector<std::string> groupNames;  // the project's (ProjectSettings)
  std::string heading;  // "Scoring Words ... (Low Info tokens)"
  RunSettings settings;
  ConfusionTable table;
  std::vector<EssayResult> essays;
  int unreadable = 0;                // could not be read
  std::vector<std::string> skipped;  // "Not a text file: PATH" and the like
  std::string logPath;               // empty when no result log was written
  std::string listing;               // one essay: the revealing-token listing

  // Essays not read, or read and given no group.
  int NotScored() const;
};

// The figures block that follows the accuracy lines of a trial or train
// run: both kappas, each group's essays, precision, recall and F1, and the
// essays that could not be read or scored.
std::string FiguresText(const RunResult& result);

// Database statistics: counts of one table ([0] total, [g] group g) per kind.
struct KindCounts {
  std::uint32_t total = 0;
  std::uint32_t distinct = 0;
};
struct TableStatistics {
  KindCounts kinds[6][3];        // [0 total | group][word, pair, argument]
  std::uint32_t rare[3] = {0, 0, 0};
  std::uint32_t common = 0;
};
struct DatabaseStatistics {
  std::string project;
  std::time_t when = 0;
  int groups = 0;
  std::vector<std::string> groupNames;
  double rare = 0, common = 0;
  std::uint32_t trained[6] = {0, 0, 0, 0, 0, 0};  // [1..5]
  TableStatistics unstemmed, stemmed;
  std::uint32_t stopWords = 0;
};
// Answers false when a statement failed (the user has been told).
bool ReadDatabaseStatistics(Session& session, std::time_t now, DatabaseStatistics& stats);
// The classic report.
std::string DatabaseStatisticsText(const DatabaseStatistics& stats);
void AppendDatabaseStatistics(Session& session, const DatabaseStatistics& stats);

// The top-token report of one kind.
struct TopToken {
  std::string token;
  std::uint32_t count[6] = {0, 0, 0, 0, 0, 0};
  double p[6] = {0, 0, 0, 0, 0, 0};
  double gain = 0;
};
struct TopTokens {
  std::string project;
  TokenKind kind = TokenKind::Words;
  int groups = 0;
  std::vector<std::string> groupNames;
  bool recomputed = false;  // false when nothing is trained
  // False when words are trained but no token of this kind (pairs and
  // arguments have their own training commands): there is no table to show.
  bool kindTrained = true;
  std::vector<TopToken> rows;
};
// Recomputes the kind as the report does (and leaves the options as it
// leaves them), then reads the rows; the recomputation's line goes to the
// pane.  Answers false when a statement failed (the user has been told).
bool ReadTopTokens(Session& session, TokenKind kind, TopTokens& top);
void AppendTopTokens(Session& session, const TopTokens& top);

// The scoring command with its result: as ScoringCommand, and result holds
// what the run found (also when it answers false after scoring).
bool ScoringCommand(Session& session, RunResult& result);

}  // namespace tarne
