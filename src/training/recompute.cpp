#include <cmath>
#include <vector>

#include "db/gateway.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "training/model_settings.h"
#include "training/training.h"
#include "training/training_internal.h"

namespace tarne {

namespace {

// "(x1+x2+...+xG)"
std::string CountSum(const std::string& x, int groups) {
  std::string text = "(";
  for (int g = 1; g <= groups; ++g) {
    if (g > 1) text += "+";
    text += x + TrimmedNumber(g);
  }
  return text + ")";
}

// Essays of group g trained for the kind: the Bernoulli estimate counts in
// how many of them a token occurs, so they are its denominator.
double TrainedEssays(Database& db, int kind, int g, double wordEssays) {
  if (kind == 1) return wordEssays;
  db.Statement(1, "SELECT count(filen) FROM calib WHERE gr=" + TrimmedNumber(g) + " AND " +
                      CalibFlag(kind) + "=1");
  db.FetchResult(1, 0);
  return db.ColumnUInt(1, 1);
}

}  // namespace

bool Recompute(Session& session, std::string& condition, TokenKind tokenKind,
               bool conditionOnly) {
  // The number the statements and labels are written with.
  int kind = Number(tokenKind);
  if (kind != 2 && kind != 3) kind = 1;
  Database& db = session.db;
  const ScoringOptions& options = session.options;
  const ProjectSettings& settings = session.settings;
  const int groups = settings.Groups();
  const std::string table = TableName(options.Stemmed);
  const std::string x = options.Model == 1 ? "v" : "w";

  std::string columns;
  for (int g = 1; g <= groups; ++g) columns += (g > 1 ? ", g" : "g") + TrimmedNumber(g);
  db.Statement(1, "SELECT " + columns + " from trainsize");
  db.FetchResult(1, 0);
  std::vector<double> perGroup(groups + 1, 0);
  double total = 0;
  for (int g = 1; g <= groups; ++g) {
    perGroup[g] = db.ColumnUInt(1, g);
    total += perGroup[g];
  }
  if (total == 0) {
    session.Message("Database error. Nothing trained?", kProgramName, Buttons::Ok);
    return false;
  }

  const std::string sumText = CountSum(x, groups);
  std::string cond;
  cond = kind == 1 ? "( isword )" : kind == 2 ? "(  isphrase )" : "( isarg )";
  if (options.StopWordsOnly)
    cond += " AND (isstop=1)";
  else if (options.IncludeStopWords == 0)
    cond += " AND (isstop<>1)";
  if (options.IncludeCommon == 0)
    cond += " AND ((1000* " + sumText + "/" + PlainNumber(total) + ")<" +
            PlainNumber(settings.common) + ")";
  if (options.IncludeRare == 0)
    cond += " AND ((1000* " + sumText + "/" + PlainNumber(total) + ")>" +
            PlainNumber(settings.rare) + ")";
  if (settings.wkeep != 0) cond += " AND keep=1";
  condition = cond;
  if (conditionOnly == 1) return true;

  RunLock lock(session);
  if (!lock.Held()) {
    condition.clear();
    return false;
  }
  const FailureWatch watch(db);
  Port& port = session.port;
  ProgressHandle window = port.PROGRESS_INIT("Recomputing");

  std::string totals = "SELECT count(" + x + "1)";
  for (int g = 1; g <= groups; ++g) totals += ", sum(" + x + TrimmedNumber(g) + ")";
  db.Statement(1, totals + " FROM " + table + " WHERE " + cond);
  db.FetchResult(1, 0);
  double vocabulary = db.ColumnUInt(1, 1);
  std::vector<double> groupTotal(groups + 1, 0);
  for (int g = 1; g <= groups; ++g) groupTotal[g] = db.ColumnUInt(1, g + 1);

  // The gain weighs the groups by the priors scoring starts from.
  const std::vector<double> priors =
      ScoringPriors(session, std::vector<double>(perGroup.begin() + 1, perGroup.end()));
  std::vector<std::string> prior(groups + 1);
  for (int g = 1; g <= groups; ++g) prior[g] = TrimmedNumber(priors[g - 1]);

  // One pass writes the probabilities, the frequency and the information
  // gain from the new probabilities; a row with a probability that is not
  // positive keeps its old gain.
  std::string update = "UPDATE " + table + " SET ";
  std::string gain = "gain(" + PlainNumber(std::log2(groups));
  for (int g = 1; g <= groups; ++g) {
    const std::string gt = TrimmedNumber(g);
    // The Bernoulli estimate is, of the essays of the group, the share that
    // contain the token.
    const std::string p =
        options.Model == 1
            ? MultinomialExpression(g, groupTotal[g], vocabulary, options.Alpha)
            : BernoulliExpression(g, TrainedEssays(db, kind, g, perGroup[g]), options.Alpha);
    update += "p" + gt + "= " + p + ", ";
    gain += ", " + prior[g] + ", " + p;
  }
  update += "sum = 1000*" + sumText + "/" + PlainNumber(total) + ", entropy = " + gain +
            ", entropy) WHERE " + cond;
  db.Statement(1, update);

  port.PROGRESS_SHUTDOWN(window);
  if (watch.Failed()) {
    // Scoring on probabilities that were not written would report results
    // of whatever the columns held before.
    session.ReportDatabaseFailure();
    condition.clear();
    return false;
  }

  if (options.IncludeLowInfo == 0) {
    db.Statement(1, "select count(vocab) FROM " + table + " WHERE " + cond + " and entropy > " +
                        PlainNumber(settings.lowinfo));
    db.FetchResult(1, 0);
    vocabulary = db.ColumnUInt(1, 1);
  }
  session.Append("Vocabulary size = " + TrimmedNumber(vocabulary) + " ");
  if (options.Stemmed != 1) session.Append("un");
  session.Append("stemmed");
  session.Append(KindLabel(kind));
  session.Append("\r\n");
  return true;
}

}  // namespace tarne
