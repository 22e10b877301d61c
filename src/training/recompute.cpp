#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "db/sql_functions.h"
#include "project/run_lock.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "training/model_settings.h"
#include "training/selected_rows.h"
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

// The NULLs of a row: Vocab at bit 0, p1..p5 at bits 1..5, then sum and
// entropy.
constexpr unsigned kSumNull = 1u << 6;
constexpr unsigned kEntropyNull = 1u << 7;

// What a row holds in the columns the recomputation writes.
struct Values {
  double p[6] = {0, 0, 0, 0, 0, 0};
  double sum = 0;
  double entropy = 0;
  unsigned nulls = 0;
  bool allReal = true;  // every value not NULL is stored as a real
};

// A selected row's counts of groups 1..G (NULLs at bits 1..5).
struct Counts {
  double x[6] = {0, 0, 0, 0, 0, 0};
  unsigned nulls = 0;
};

bool SameReal(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Whether writing now would change nothing in the row, bit for bit.
bool Unchanged(const Values& held, const Values& now, int groups) {
  if (!held.allReal) return false;
  unsigned mask = kSumNull | kEntropyNull;
  for (int g = 1; g <= groups; ++g) mask |= 1u << g;
  if ((held.nulls & mask) != (now.nulls & mask)) return false;
  for (int g = 1; g <= groups; ++g)
    if (!(now.nulls & (1u << g)) && !SameReal(held.p[g], now.p[g])) return false;
  if (!(now.nulls & kSumNull) && !SameReal(held.sum, now.sum)) return false;
  return (now.nulls & kEntropyNull) || SameReal(held.entropy, now.entropy);
}

// The numbers the texts stand for, as the engine reads them when they stand
// in a statement.
std::vector<double> EngineNumbers(Database& db, const std::vector<std::string>& texts) {
  std::string select = "SELECT ";
  for (size_t i = 0; i < texts.size(); ++i) select += (i ? ", " : "") + texts[i];
  db.Statement(1, select);
  db.FetchResult(1, 0);
  std::vector<double> numbers(texts.size());
  for (size_t i = 0; i < texts.size(); ++i)
    numbers[i] = db.ColumnFloat(1, static_cast<int>(i) + 1);
  return numbers;
}

// A quotient as the engine gives it: NULL (nullopt) for a zero divisor or a NaN.
std::optional<double> Quotient(double a, double b) {
  if (b == 0) return std::nullopt;
  const double q = a / b;
  if (std::isnan(q)) return std::nullopt;
  return q;
}

}  // namespace

bool Recompute(Session& session, std::string& condition, TokenKind tokenKind,
               bool conditionOnly) {
  return Recompute(session, condition, tokenKind, conditionOnly, nullptr);
}

// The rows are read once with their counts and the values they hold; the
// probabilities, frequency and gain are worked out in memory as the
// statement "UPDATE table SET pg = <estimate>, sum = 1000*(x1+..)/T,
// entropy = gain(L, prior1, p1, .., entropy) WHERE condition" would give
// them, operation by operation in the same order with the constants the
// engine reads from the same texts, and only the rows whose values would
// change are written.  A second run with the same counts and options writes
// nothing.
bool Recompute(Session& session, std::string& condition, TokenKind tokenKind,
               bool conditionOnly, SelectedRows* selected) {
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

  // Every selected row, in table order: its counts and what it holds.
  std::string read = "SELECT rowid, Vocab, p1, p2, p3, p4, p5, sum, entropy";
  for (int g = 1; g <= groups; ++g) read += ", " + x + TrimmedNumber(g);
  std::vector<std::int64_t> rowids;
  std::vector<Values> held;
  std::vector<Counts> counts;
  std::vector<std::uint32_t> textStart;
  std::string texts;
  double vocabulary = 0;  // count(x1)
  std::vector<double> groupSum(groups + 1, 0);
  {
    PreparedStatement rows(db, read + " FROM " + table + " WHERE " + cond);
    while (rows.Step()) {
      rowids.push_back(rows.Int(0));
      Values v;
      if (rows.IsNull(1)) v.nulls |= 1u;  // no text
      if (selected) {
        textStart.push_back(static_cast<std::uint32_t>(texts.size()));
        texts += rows.Text(1);
      }
      for (int c = 2; c <= 8; ++c) {
        if (rows.IsNull(c)) {
          v.nulls |= c <= 6 ? 1u << (c - 1) : c == 7 ? kSumNull : kEntropyNull;
        } else if (!rows.IsReal(c)) {
          v.allReal = false;
        }
      }
      for (int g = 1; g <= 5; ++g) v.p[g] = rows.Real(g + 1);
      v.sum = rows.Real(7);
      v.entropy = rows.Real(8);
      held.push_back(v);
      Counts n;
      for (int g = 1; g <= groups; ++g) {
        if (rows.IsNull(8 + g)) {
          n.nulls |= 1u << g;
          continue;
        }
        n.x[g] = rows.Real(8 + g);
        groupSum[g] += n.x[g];
      }
      if (!(n.nulls & 2u)) ++vocabulary;
      counts.push_back(n);
    }
  }
  if (selected) textStart.push_back(static_cast<std::uint32_t>(texts.size()));
  // The totals as a column read gives them.
  std::vector<double> groupTotal(groups + 1, 0);
  for (int g = 1; g <= groups; ++g) groupTotal[g] = RealAsUInt(groupSum[g]);
  vocabulary = static_cast<std::uint32_t>(vocabulary);

  // The gain weighs the groups by the priors scoring starts from.
  const std::vector<double> priors =
      ScoringPriors(session, std::vector<double>(perGroup.begin() + 1, perGroup.end()));
  std::vector<std::string> constantTexts;
  for (int g = 1; g <= groups; ++g) {
    // The Bernoulli estimate is, of the essays of the group, the share that
    // contain the token.
    const EstimateTexts estimate =
        options.Model == 1
            ? MultinomialTexts(groupTotal[g], vocabulary, options.Alpha)
            : BernoulliTexts(TrainedEssays(db, kind, g, perGroup[g]), options.Alpha);
    constantTexts.push_back(estimate.addend);
    constantTexts.push_back(estimate.divisor);
    constantTexts.push_back(TrimmedNumber(priors[g - 1]));
  }
  constantTexts.push_back(PlainNumber(std::log2(groups)));
  constantTexts.push_back(PlainNumber(total));
  constantTexts.push_back(PlainNumber(settings.lowinfo));
  const std::vector<double> number = EngineNumbers(db, constantTexts);
  double addend[6] = {}, divisor[6] = {}, prior[6] = {};
  for (int g = 1; g <= groups; ++g) {
    addend[g] = number[3 * (g - 1)];
    divisor[g] = number[3 * (g - 1) + 1];
    prior[g] = number[3 * (g - 1) + 2];
  }
  const double maxGain = number[3 * groups];
  const double essays = number[3 * groups + 1];
  const double lowInfo = number[3 * groups + 2];

  // The new values; a row with a probability that is not positive keeps its
  // old gain.
  std::vector<size_t> changed;
  std::vector<Values> now(held.size());
  for (size_t i = 0; i < held.size(); ++i) {
    const Counts& n = counts[i];
    Values& v = now[i];
    v = held[i];
    v.nulls &= ~(kSumNull | kEntropyNull);
    bool everyP = true;
    for (int g = 1; g <= groups; ++g) {
      v.nulls &= ~(1u << g);
      std::optional<double> p;
      if (!(n.nulls & (1u << g))) {
        p = Quotient(n.x[g] + addend[g], divisor[g]);
        if (p) p = 0.0 + *p;
      }
      if (p) {
        v.p[g] = *p;
      } else {
        v.p[g] = 0;
        v.nulls |= 1u << g;
        everyP = false;
      }
    }
    std::optional<double> sum;
    if ((n.nulls & 0x3eu) == 0) {
      double s = n.x[1];
      for (int g = 2; g <= groups; ++g) s += n.x[g];
      sum = Quotient(1000.0 * s, essays);
    }
    v.sum = sum ? *sum : 0;
    if (!sum) v.nulls |= kSumNull;
    std::optional<double> old;
    if (!(held[i].nulls & kEntropyNull)) old = held[i].entropy;
    const std::optional<double> gain =
        everyP ? InformationGain(maxGain, prior, v.p, groups, old) : old;
    v.entropy = gain ? *gain : 0;
    if (!gain) v.nulls |= kEntropyNull;
    if (!Unchanged(held[i], v, groups)) changed.push_back(i);
  }
  counts.clear();
  counts.shrink_to_fit();

  if (!changed.empty()) {
    const bool ownTransaction = !db.InTransaction() && db.Begin();
    std::string update = "UPDATE " + table + " SET ";
    for (int g = 1; g <= groups; ++g) update += "p" + TrimmedNumber(g) + "=?, ";
    update += "sum=?, entropy=? WHERE rowid=?";
    PreparedStatement write(db, update);
    for (size_t i : changed) {
      const Values& v = now[i];
      for (int g = 1; g <= groups; ++g) {
        if (v.nulls & (1u << g))
          write.BindNull(g);
        else
          write.Bind(g, v.p[g]);
      }
      if (v.nulls & kSumNull)
        write.BindNull(groups + 1);
      else
        write.Bind(groups + 1, v.sum);
      if (v.nulls & kEntropyNull)
        write.BindNull(groups + 2);
      else
        write.Bind(groups + 2, v.entropy);
      write.Bind(groups + 3, rowids[i]);
      if (!write.Run()) break;
    }
    if (ownTransaction) {
      if (watch.Failed())
        db.Rollback();
      else
        db.Commit();
    }
  }

  port.PROGRESS_SHUTDOWN(window);
  if (watch.Failed()) {
    // Scoring on probabilities that were not written would report results
    // of whatever the columns held before.
    session.ReportDatabaseFailure();
    condition.clear();
    return false;
  }

  // Without low-information tokens, only those whose gain is above the
  // threshold count, and only they are scored.
  const auto informative = [&](size_t i) {
    return options.IncludeLowInfo != 0 ||
           (!(now[i].nulls & kEntropyNull) && now[i].entropy > lowInfo);
  };
  if (options.IncludeLowInfo == 0) {
    vocabulary = 0;
    for (size_t i = 0; i < now.size(); ++i) {
      // count(vocab) leaves out rows without a text.
      if (informative(i) && !(held[i].nulls & 1u)) ++vocabulary;
    }
  }
  if (selected) {
    selected->rows.clear();
    selected->texts = std::move(texts);
    for (size_t i = 0; i < now.size(); ++i) {
      if (!informative(i)) continue;
      SelectedRows::Row row;
      row.rowid = rowids[i];
      for (int g = 1; g <= 5; ++g) row.p[g] = (now[i].nulls & (1u << g)) ? 0 : now[i].p[g];
      row.textStart = textStart[i];
      row.textLength = textStart[i + 1] - textStart[i];
      selected->rows.push_back(row);
    }
  }
  session.Append("Vocabulary size = " + TrimmedNumber(vocabulary) + " ");
  if (options.Stemmed != 1) session.Append("un");
  session.Append("stemmed");
  session.Append(KindLabel(kind));
  session.Append("\r\n");
  return true;
}

}  // namespace tarne
