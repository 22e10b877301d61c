#include "scoring/kind_model.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "db/prepared_statement.h"
#include "project/session.h"
#include "shell/numbers.h"
#include "text/tokenizer.h"

namespace tarne {

KindModel::KindModel(Session& session, int kind, const std::string& condition)
    : kind_(kind),
      groups_(session.settings.Groups()),
      stemmed_(session.options.Stemmed == 1),
      rules_(session.settings.rules),
      multinomial_(session.options.Model == 1) {
  const char* table = stemmed_ ? "stem" : "run1";
  if (kind_ == 3) frequent_.Load(session.db, table);
  std::string lowInfo;
  if (!session.options.IncludeLowInfo)
    lowInfo = " AND entropy > " + PlainNumber(session.settings.lowinfo);
  PreparedStatement rows(session.db, std::string("select rowid, Vocab, p1,p2,p3,p4,p5 from ") +
                                         table + " WHERE " + condition + lowInfo);
  while (rows.Step()) {
    // A second row of the same text (never written by Tarne) is left out.
    if (!index_.Add(rows.Text(1)).second) continue;
    Row row;
    row.rowid = rows.Int(0);
    for (int g = 1; g <= 5; ++g) row.p[g] = rows.Real(g + 1);
    rows_.push_back(row);
  }
  counts_.assign(rows_.size(), 0);
  if (multinomial_) return;
  for (const Row& row : rows_) {
    for (int g = 1; g <= groups_; ++g) {
      const long double factor = 1.0L - static_cast<long double>(row.p[g]);
      if (factor == 0) {
        ++absentZeros_[g];
        continue;
      }
      absent_[g] *= factor;
      if (std::fabs(absent_[g]) < 1e-1000L) Rebase(absent_[g], absentExponent_[g]);
    }
  }
  for (int g = 1; g <= groups_; ++g) Rebase(absent_[g], absentExponent_[g]);
}

void KindModel::Score(const std::string& text, GroupScores& scores) {
  std::string normal = text;
  NormalizeEssayText(normal);
  present_.clear();
  ForEachCountedSentence(normal, kind_, stemmed_, &frequent_, rules_,
                         [this](const std::vector<TokenRun>& runs) {
                           for (const TokenRun& run : runs) {
                             const std::uint32_t id = index_.Find(run.token);
                             if (id == TokenIndex::kNone) continue;
                             int& count = counts_[id];
                             if (count == 0) present_.push_back(id);
                             count += std::min(run.occurrences, kMaxOccurrences);
                           }
                         });
  // The order in which the table gives the essay's rows: by their count in
  // the work column, then by row.
  std::sort(present_.begin(), present_.end(), [this](std::uint32_t a, std::uint32_t b) {
    if (counts_[a] != counts_[b]) return counts_[a] < counts_[b];
    return rows_[a].rowid < rows_[b].rowid;
  });

  // A group whose score leaves the range of the type on the way is lost
  // for good, though later tokens may favour it by far (a very long essay:
  // thousands of rare tokens first, then the frequent ones).  Such an essay
  // is scored again in logarithms.
  const GroupScores start = scores;
  bool lost = false;
  auto watch = [&lost](long double before, long double after) {
    if (before > 0 && after < std::numeric_limits<long double>::min()) lost = true;
  };
  for (std::uint32_t id : present_) {
    const unsigned n = static_cast<unsigned>(counts_[id]);
    for (int g = 1; g <= groups_; ++g) {
      long double& s = scores.value[g];
      const long double before = s;
      if (multinomial_) {
        s *= std::pow(static_cast<long double>(Probability(id, g)), static_cast<long double>(n));
        for (unsigned k = 2; k <= n; ++k) s /= k;
      } else {
        s *= Probability(id, g);
      }
      watch(before, s);
    }
    KeepScoresInRange(scores, groups_);
  }

  if (!multinomial_) {
    // The absent tokens are all selected tokens but the essay's own.  The
    // product over the essay's own keeps an exponent of its own: an essay
    // holding tens of thousands of tokens takes it out of range.
    long double held[6] = {1, 1, 1, 1, 1, 1};
    long heldExponent[6] = {0, 0, 0, 0, 0, 0};
    int zeros[6] = {0, 0, 0, 0, 0, 0};
    long top = 0;
    for (int g = 1; g <= groups_; ++g) {
      zeros[g] = absentZeros_[g];
      for (std::uint32_t id : present_) {
        const long double factor = 1.0L - static_cast<long double>(rows_[id].p[g]);
        if (factor == 0) {
          --zeros[g];
          continue;
        }
        held[g] *= factor;
        if (std::fabs(held[g]) < 1e-1000L) Rebase(held[g], heldExponent[g]);
      }
      const long exponent = absentExponent_[g] - heldExponent[g];
      if (g == 1 || exponent > top) top = exponent;
    }
    for (int g = 1; g <= groups_; ++g) {
      long double& s = scores.value[g];
      const long double before = s;
      if (zeros[g] > 0) {
        s = 0;
        continue;
      }
      s = s *
          std::ldexp(absent_[g], static_cast<int>(absentExponent_[g] - heldExponent[g] - top)) /
          held[g];
      watch(before, s);
    }
    KeepScoresInRange(scores, groups_);
  }
  if (lost) ScoreInLogs(start, scores);
  for (std::uint32_t id : present_) counts_[id] = 0;

  long double total = 0;
  for (int g = 1; g <= groups_; ++g) total += scores.value[g];
  if (total > 0)
    for (int g = 1; g <= groups_; ++g) scores.value[g] /= total;
}

double KindModel::Probability(std::uint32_t id, int g) const {
  const double p = rows_[id].p[g];
  // An unseen-in-group token must not zero its group.
  return p == 0 ? 1 : p;
}

void KindModel::ScoreInLogs(const GroupScores& start, GroupScores& scores) const {
  // The factorials of the multinomial are the same in every group and are
  // left out; so is everything else the groups share.
  long double logs[6] = {0, 0, 0, 0, 0, 0};
  long double best = -std::numeric_limits<long double>::infinity();
  for (int g = 1; g <= groups_; ++g) {
    long double sum = std::log(start.value[g]);
    for (std::uint32_t id : present_) {
      const long double n = multinomial_ ? counts_[id] : 1;
      sum += n * std::log(static_cast<long double>(Probability(id, g)));
    }
    if (!multinomial_) {
      if (absentZeros_[g] > 0) sum = -std::numeric_limits<long double>::infinity();
      sum += std::log(absent_[g]) + absentExponent_[g] * std::log(2.0L);
      for (std::uint32_t id : present_)
        sum -= std::log1p(-static_cast<long double>(rows_[id].p[g]));
    }
    logs[g] = sum;
    best = std::max(best, sum);
  }
  for (int g = 1; g <= groups_; ++g)
    scores.value[g] = std::isfinite(best) ? std::exp(logs[g] - best) : 0;
}

}  // namespace tarne
