#include "scoring/essay_product.h"

#include <cmath>
#include <limits>

namespace tarne {

namespace {

// An unseen-in-group token must not zero its group.
double Probability(const ProductRow& row, int g) { return row.p[g] == 0 ? 1 : row.p[g]; }

// The essay's scores from start as MultiplyEssay works them out, but summed
// in logarithms and scaled so that the best group is 1.  The factorials of
// the multinomial are the same in every group and are left out.
void ScoreInLogs(const std::vector<ProductRow>& present, bool multinomial, int groups,
                 const AbsentProduct& absent, const GroupScores& start, GroupScores& scores) {
  long double logs[6] = {0, 0, 0, 0, 0, 0};
  long double best = -std::numeric_limits<long double>::infinity();
  for (int g = 1; g <= groups; ++g) {
    long double sum = std::log(start.value[g]);
    for (const ProductRow& row : present) {
      const long double n = multinomial ? row.count : 1;
      sum += n * std::log(static_cast<long double>(Probability(row, g)));
    }
    if (!multinomial) {
      if (absent.zeros[g] > 0) sum = -std::numeric_limits<long double>::infinity();
      sum += std::log(absent.mantissa[g]) + absent.exponent[g] * std::log(2.0L);
      for (const ProductRow& row : present) sum -= std::log1p(-static_cast<long double>(row.p[g]));
    }
    logs[g] = sum;
    best = std::max(best, sum);
  }
  for (int g = 1; g <= groups; ++g)
    scores.value[g] = std::isfinite(best) ? std::exp(logs[g] - best) : 0;
}

}  // namespace

long double PowerOfCount(long double p, unsigned count) {
  switch (count) {
    case 1: return p;
    case 2: return p * p;
    case 3: return p * (p * p);
    default: return std::pow(p, static_cast<long double>(count));
  }
}

void AbsentProduct::Add(const double* p, int groups) {
  for (int g = 1; g <= groups; ++g) {
    const long double factor = 1.0L - static_cast<long double>(p[g]);
    if (factor == 0) {
      ++zeros[g];
      continue;
    }
    mantissa[g] *= factor;
    if (std::fabs(mantissa[g]) < 1e-1000L) Rebase(mantissa[g], exponent[g]);
  }
}

void AbsentProduct::Finish(int groups) {
  for (int g = 1; g <= groups; ++g) Rebase(mantissa[g], exponent[g]);
}

void MultiplyEssay(const std::vector<ProductRow>& present, bool multinomial, int groups,
                   const AbsentProduct& absent, GroupScores& scores) {
  // A group whose score leaves the range of the type on the way is lost
  // for good, though later tokens may favour it by far (a very long essay:
  // thousands of rare tokens first, then the frequent ones).  Such an essay
  // is scored again in logarithms.
  const GroupScores start = scores;
  bool lost = false;
  auto watch = [&lost](long double before, long double after) {
    if (before > 0 && after < std::numeric_limits<long double>::min()) lost = true;
  };
  for (const ProductRow& row : present) {
    for (int g = 1; g <= groups; ++g) {
      long double& s = scores.value[g];
      const long double before = s;
      if (multinomial) {
        s *= PowerOfCount(Probability(row, g), row.count);
        for (unsigned k = 2; k <= row.count; ++k) s /= k;
      } else {
        s *= Probability(row, g);
      }
      watch(before, s);
    }
    KeepScoresInRange(scores, groups);
  }

  if (!multinomial) {
    // The absent tokens are all selected tokens but the essay's own.  The
    // product over the essay's own keeps an exponent of its own: an essay
    // holding tens of thousands of tokens takes it out of range.
    long double held[6] = {1, 1, 1, 1, 1, 1};
    long heldExponent[6] = {0, 0, 0, 0, 0, 0};
    int zeros[6] = {0, 0, 0, 0, 0, 0};
    long top = 0;
    for (int g = 1; g <= groups; ++g) {
      zeros[g] = absent.zeros[g];
      for (const ProductRow& row : present) {
        const long double factor = 1.0L - static_cast<long double>(row.p[g]);
        if (factor == 0) {
          --zeros[g];
          continue;
        }
        held[g] *= factor;
        if (std::fabs(held[g]) < 1e-1000L) Rebase(held[g], heldExponent[g]);
      }
      const long exponent = absent.exponent[g] - heldExponent[g];
      if (g == 1 || exponent > top) top = exponent;
    }
    for (int g = 1; g <= groups; ++g) {
      long double& s = scores.value[g];
      const long double before = s;
      if (zeros[g] > 0) {
        s = 0;
        continue;
      }
      s = s *
          std::ldexp(absent.mantissa[g],
                      static_cast<int>(absent.exponent[g] - heldExponent[g] - top)) /
          held[g];
      watch(before, s);
    }
    KeepScoresInRange(scores, groups);
  }
  if (lost) ScoreInLogs(present, multinomial, groups, absent, start, scores);

  long double total = 0;
  for (int g = 1; g <= groups; ++g) total += scores.value[g];
  if (total > 0)
    for (int g = 1; g <= groups; ++g) scores.value[g] /= total;
}

}  // namespace tarne
