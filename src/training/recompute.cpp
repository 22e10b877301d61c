#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

#include "db/gateway.h"
#include "db/prepared_statement.h"
#include "db/server_rows.h"
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

// A selected row: what it holds in the columns the recomputation writes
// (p1..pG at [1]..[G], sum, entropy) and its counts of groups 1..G, with
// the NULLs among them as bits.
struct Entry {
  std::int64_t rowid = 0;
  double p[6] = {0, 0, 0, 0, 0, 0};
  double sum = 0;
  double entropy = 0;
  double x[6] = {0, 0, 0, 0, 0, 0};
  std::uint32_t textStart = 0;
  std::uint32_t textLength = 0;
  std::uint16_t nulls = 0;  // the bits below
  bool allReal = true;      // every value not NULL is stored as a real
};
// Vocab, p1..p5, sum, entropy, then counts 1..5.
constexpr unsigned kTextNull = 1u;
constexpr unsigned PNull(int g) { return 1u << g; }
constexpr unsigned kSumNull = 1u << 6;
constexpr unsigned kEntropyNull = 1u << 7;
constexpr unsigned CountNull(int g) { return 1u << (7 + g); }
using Entries = std::vector<Entry>;

bool SameReal(double a, double b) {
  return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

// Whether writing the new values (p, sum, entropy and nulls as given)
// would change nothing in the row, bit for bit.
bool Unchanged(const Entry& held, const double* p, double sum, double entropy, unsigned nulls,
               int groups) {
  if (!held.allReal) return false;
  unsigned mask = kSumNull | kEntropyNull;
  for (int g = 1; g <= groups; ++g) mask |= PNull(g);
  if ((held.nulls & mask) != (nulls & mask)) return false;
  for (int g = 1; g <= groups; ++g)
    if (!(nulls & PNull(g)) && !SameReal(held.p[g], p[g])) return false;
  if (!(nulls & kSumNull) && !SameReal(held.sum, sum)) return false;
  return (nulls & kEntropyNull) || SameReal(held.entropy, entropy);
}

// A real column of the current row and whether it is NULL or not a real;
// a real reads as itself, so only a 0 needs its type asked.
double RealColumn(const PreparedStatement& rows, int column, unsigned nullBit, Entry& entry) {
  const double value = rows.Real(column);
  if (value == 0 && !rows.IsReal(column)) {
    if (rows.IsNull(column))
      entry.nulls |= nullBit;
    else
      entry.allReal = false;
  }
  return value;
}

// The new values of the entries (in ascending row order) for an UPDATE
// over the same selection: columns 1..5 are p1..p5, 6 sum, 7 entropy.
class FedEntries : public FedValues {
 public:
  explicit FedEntries(const Entries& entries) : entries_(entries) {}
  std::optional<double> Value(std::int64_t rowid, int column) override {
    if (next_ >= entries_.size() || entries_[next_].rowid != rowid) {
      const auto found = std::lower_bound(
          entries_.begin(), entries_.end(), rowid,
          [](const Entry& e, std::int64_t id) { return e.rowid < id; });
      if (found == entries_.end() || found->rowid != rowid) return std::nullopt;
      next_ = static_cast<size_t>(found - entries_.begin());
    }
    const Entry& e = entries_[next_];
    if (column == 7) {
      ++next_;  // the last column asked for a row
      return (e.nulls & kEntropyNull) ? std::nullopt : std::optional<double>(e.entropy);
    }
    if (column == 6) return (e.nulls & kSumNull) ? std::nullopt : std::optional<double>(e.sum);
    return (e.nulls & PNull(column)) ? std::nullopt : std::optional<double>(e.p[column]);
  }

 private:
  const Entries& entries_;
  size_t next_ = 0;
};

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

// A server takes the changed rows' new values as one statement over arrays
// of them, however many they are.
void WriteChangedOnServer(Database& db, const std::string& table, int groups,
                          const Entries& entries,
                          const std::vector<std::uint32_t>& changed) {
  ServerArray rowids(ServerArray::Type::kInt8);
  ServerArray sums(ServerArray::Type::kFloat8);
  ServerArray gains(ServerArray::Type::kFloat8);
  std::vector<ServerArray> p(static_cast<size_t>(groups) + 1,
                             ServerArray(ServerArray::Type::kFloat8));
  const auto value = [](bool null, double v) {
    return null ? std::nullopt : std::optional<double>(v);
  };
  for (std::uint32_t i : changed) {
    const Entry& e = entries[i];
    rowids.Add(e.rowid);
    for (int g = 1; g <= groups; ++g) p[g].Add(value(e.nulls & PNull(g), e.p[g]));
    sums.Add(value(e.nulls & kSumNull, e.sum));
    gains.Add(value(e.nulls & kEntropyNull, e.entropy));
  }
  std::string set;
  std::string arrays = "unnest(?::int8[]) AS r";
  for (int g = 1; g <= groups; ++g) {
    const std::string n = TrimmedNumber(g);
    set += "p" + n + "=x.p" + n + ", ";
    arrays += ", unnest(?::float8[]) AS p" + n;
  }
  PreparedStatement write(db, "UPDATE " + table + " AS t SET " + set +
                                  "sum=x.s, entropy=x.e FROM (SELECT " + arrays +
                                  ", unnest(?::float8[]) AS s, unnest(?::float8[]) AS e) AS x "
                                  "WHERE t.rowid=x.r");
  write.Bind(1, rowids);
  for (int g = 1; g <= groups; ++g) write.Bind(g + 1, p[g]);
  write.Bind(groups + 2, sums).Bind(groups + 3, gains).Run();
}

// Rows read or written between two looks for a Cancel: a few milliseconds
// of either.
constexpr size_t kRowsBetweenPolls = 8192;

// How a cancelled recomputation ends: nothing selected, no condition.
bool StopCancelled(Port& port, ProgressHandle window, std::string& condition,
                   SelectedRows* selected, bool* cancelled) {
  port.PROGRESS_SHUTDOWN(window);
  condition.clear();
  if (selected) *selected = SelectedRows();
  *cancelled = true;
  return false;
}

}  // namespace

bool Recompute(Session& session, std::string& condition, TokenKind tokenKind,
               bool conditionOnly) {
  return Recompute(session, condition, tokenKind, conditionOnly, nullptr, {});
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
               bool conditionOnly, SelectedRows* selected,
               const std::function<void(SelectedRows&)>& handOver, bool* cancelled) {
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
  // Whether the run was cancelled, asked every kRowsBetweenPolls rows read
  // or written when the caller can take a Cancel (so never for a small
  // vocabulary, which takes less time than that).  The front end's messages
  // are let through first, so that a Cancel pressed meanwhile is seen (and
  // the window is drawn).
  bool stopped = false;
  const auto cancelledNow = [&] {
    if (!cancelled || stopped) return stopped;
    port.ProcessPendingMessages();
    stopped = port.PROGESS_IS_CANCELLED(window) != 0;
    return stopped;
  };

  // Every selected row, in table order: its counts and what it holds.  A
  // file's table reads in row order; a server's table order is where its
  // rows happen to lie (an updated row moves), so its rows are put in row
  // order here, and the selection, the sums and the ties among tokens
  // scored come out as the file's.  Sorting them here is cheaper than
  // having the server walk its row-id index or sort them.
  std::string read = "SELECT rowid, Vocab, sum, entropy";
  for (int g = 1; g <= groups; ++g) read += ", p" + TrimmedNumber(g);
  for (int g = 1; g <= groups; ++g) read += ", " + x + TrimmedNumber(g);
  Entries entries;
  std::string texts;
  double vocabulary = 0;  // count(x1)
  std::vector<double> groupSum(groups + 1, 0);
  {
    db.Statement(1, "SELECT max(rowid) FROM " + table);
    db.FetchResult(1, 0);
    entries.reserve(db.ColumnUInt(1, 1));
    PreparedStatement rows(db, read + " FROM " + table + " WHERE " + cond);
    while (rows.Step()) {
      if (entries.size() % kRowsBetweenPolls == kRowsBetweenPolls - 1 && cancelledNow()) break;
      Entry& e = entries.emplace_back();
      e.rowid = rows.Int(0);
      const std::string_view text = rows.Text(1);
      if (text.empty() && rows.IsNull(1)) e.nulls |= kTextNull;
      if (selected) {
        e.textStart = static_cast<std::uint32_t>(texts.size());
        e.textLength = static_cast<std::uint32_t>(text.size());
        texts += text;
      }
      e.sum = RealColumn(rows, 2, kSumNull, e);
      e.entropy = RealColumn(rows, 3, kEntropyNull, e);
      for (int g = 1; g <= groups; ++g) e.p[g] = RealColumn(rows, 3 + g, PNull(g), e);
      for (int g = 1; g <= groups; ++g) {
        // A count that is not a real is still summed as the engine would.
        Entry counted;
        e.x[g] = RealColumn(rows, 3 + groups + g, CountNull(g), counted);
        e.nulls |= counted.nulls;
      }
    }
  }
  if (stopped) return StopCancelled(port, window, condition, selected, cancelled);
  const auto byRow = [](const Entry& a, const Entry& b) { return a.rowid < b.rowid; };
  if (!std::is_sorted(entries.begin(), entries.end(), byRow))
    std::sort(entries.begin(), entries.end(), byRow);
  for (const Entry& e : entries) {
    for (int g = 1; g <= groups; ++g)
      if (!(e.nulls & CountNull(g))) groupSum[g] += e.x[g];
    if (!(e.nulls & CountNull(1))) ++vocabulary;
  }
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

  // The new values, kept in place of the old once compared; a row with a
  // probability that is not positive keeps its old gain.
  std::vector<std::uint32_t> changed;
  for (size_t i = 0; i < entries.size(); ++i) {
    Entry& e = entries[i];
    double p[6] = {0, 0, 0, 0, 0, 0};
    unsigned nulls = 0;
    for (int g = 1; g <= groups; ++g) {
      std::optional<double> q;
      if (!(e.nulls & CountNull(g))) q = Quotient(e.x[g] + addend[g], divisor[g]);
      if (q)
        p[g] = 0.0 + *q;
      else
        nulls |= PNull(g);
    }
    std::optional<double> sum;
    bool countsKnown = true;
    for (int g = 1; g <= groups; ++g) countsKnown = countsKnown && !(e.nulls & CountNull(g));
    if (countsKnown) {
      double s = e.x[1];
      for (int g = 2; g <= groups; ++g) s += e.x[g];
      sum = Quotient(1000.0 * s, essays);
    }
    if (!sum) nulls |= kSumNull;
    std::optional<double> old;
    if (!(e.nulls & kEntropyNull)) old = e.entropy;
    bool everyP = true;
    for (int g = 1; g <= groups; ++g) everyP = everyP && !(nulls & PNull(g));
    const std::optional<double> gain =
        everyP ? InformationGain(maxGain, prior, p, groups, old) : old;
    if (!gain) nulls |= kEntropyNull;
    const double newSum = sum ? *sum : 0;
    const double newGain = gain ? *gain : 0;
    if (!Unchanged(e, p, newSum, newGain, nulls, groups)) changed.push_back(static_cast<std::uint32_t>(i));
    for (int g = 1; g <= groups; ++g) e.p[g] = p[g];
    e.sum = newSum;
    e.entropy = newGain;
    e.nulls = static_cast<std::uint16_t>((e.nulls & ~(kSumNull | kEntropyNull | 0x3eu)) | nulls);
  }

  // Without low-information tokens, only those whose gain is above the
  // threshold count, and only they are scored.
  const auto informative = [&](const Entry& e) {
    return options.IncludeLowInfo != 0 || (!(e.nulls & kEntropyNull) && e.entropy > lowInfo);
  };
  if (options.IncludeLowInfo == 0) {
    vocabulary = 0;
    // count(vocab) leaves out rows without a text.
    for (const Entry& e : entries)
      if (informative(e) && !(e.nulls & kTextNull)) ++vocabulary;
  }
  if (selected) {
    selected->rows.clear();
    selected->rows.reserve(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
      const Entry& e = entries[i];
      if (!informative(e)) continue;
      SelectedRows::Row& row = selected->rows.emplace_back();
      row.rowid = e.rowid;
      for (int g = 1; g <= groups; ++g) row.p[g] = e.p[g];
      row.textStart = e.textStart;
      row.textLength = e.textLength;
    }
    selected->texts = std::move(texts);
  }
  // The selected rows go to whoever uses them before the rows are written,
  // so that the two can go on side by side.
  if (handOver && selected) handOver(*selected);
  if (!changed.empty()) {
    const bool ownTransaction = !db.InTransaction() && db.Begin();
    // A Cancel during the write is taken only where what was written can be
    // rolled back.
    const auto stopWriting = [&] { return ownTransaction && cancelledNow(); };
    // When most rows change, one statement over the selection writes them
    // faster than a statement per row (the entries are in row order);
    // unchanged rows get what they hold.
    if (db.IsServer()) {
      WriteChangedOnServer(db, table, groups, entries, changed);
      db.AwaitAnswers();
      changed.clear();
    } else if (changed.size() * 4 > entries.size()) {
      FedEntries fed(entries);
      std::string update = "UPDATE " + table + " SET ";
      for (int g = 1; g <= groups; ++g)
        update += "p" + TrimmedNumber(g) + "=fed(rowid, " + TrimmedNumber(g) + "), ";
      update += "sum=fed(rowid, 6), entropy=fed(rowid, 7) WHERE rowid BETWEEN ";
      // The selected rows lie between the first and the last read: the
      // engine walks only that stretch of the table, which for a kind
      // trained in one go is that kind's rows alone.  It is written in
      // stretches of kRowsBetweenPolls selected rows, which together cover
      // it, so that a Cancel is seen between them.
      for (size_t first = 0; first < entries.size() && !watch.Failed();
           first += kRowsBetweenPolls) {
        if (first > 0 && stopWriting()) break;
        const size_t next = first + kRowsBetweenPolls;
        const std::int64_t last =
            next < entries.size() ? entries[next].rowid - 1 : entries.back().rowid;
        std::string stretch = update;
        stretch += std::to_string(entries[first].rowid);
        stretch += " AND ";
        stretch += std::to_string(last);
        stretch += " AND ";
        stretch += cond;
        db.ExecFed(stretch, fed);
      }
      changed.clear();
    }
    std::string update = "UPDATE " + table + " SET ";
    for (int g = 1; g <= groups; ++g) update += "p" + TrimmedNumber(g) + "=?, ";
    update += "sum=?, entropy=? WHERE rowid=?";
    PreparedStatement write(db, update);
    for (size_t k = 0; k < changed.size(); ++k) {
      if (k % kRowsBetweenPolls == kRowsBetweenPolls - 1 && stopWriting()) break;
      const Entry& e = entries[changed[k]];
      for (int g = 1; g <= groups; ++g) {
        if (e.nulls & PNull(g))
          write.BindNull(g);
        else
          write.Bind(g, e.p[g]);
      }
      if (e.nulls & kSumNull)
        write.BindNull(groups + 1);
      else
        write.Bind(groups + 1, e.sum);
      if (e.nulls & kEntropyNull)
        write.BindNull(groups + 2);
      else
        write.Bind(groups + 2, e.entropy);
      write.Bind(groups + 3, e.rowid);
      if (!write.Run()) break;
    }
    if (ownTransaction) {
      if (watch.Failed() || stopped)
        db.Rollback();
      else
        db.Commit();
    }
  }

  if (stopped && !watch.Failed())
    return StopCancelled(port, window, condition, selected, cancelled);
  port.PROGRESS_SHUTDOWN(window);
  if (watch.Failed()) {
    // Scoring on probabilities that were not written would report results
    // of whatever the columns held before.
    session.ReportDatabaseFailure();
    condition.clear();
    if (selected) *selected = SelectedRows();
    return false;
  }

  session.Append("Vocabulary size = " + TrimmedNumber(vocabulary) + " ");
  if (options.Stemmed != 1) session.Append("un");
  session.Append("stemmed");
  session.Append(KindLabel(kind));
  session.Append("\r\n");
  return true;
}

}  // namespace tarne
