// The naive Bayes product of one essay, shared by a scoring run (rows read
// from the table) and cross-validation (rows estimated in memory), so that
// both give an essay the same probabilities to the last bit.
#pragma once

#include <vector>

#include "scoring/scoring.h"

namespace tarne {

// A row the essay holds: its probabilities (p[1] to p[5]) and how often the
// counted sentences list it.
struct ProductRow {
  const double* p;
  unsigned count;
};

// The Bernoulli model's product of (1 - p) over every selected row, as a
// mantissa and a binary exponent, with the factors that are exactly 0
// counted apart.
struct AbsentProduct {
  long double mantissa[6] = {1, 1, 1, 1, 1, 1};
  long exponent[6] = {0, 0, 0, 0, 0, 0};
  int zeros[6] = {0, 0, 0, 0, 0, 0};
  // Takes in one selected row.
  void Add(const double* p, int groups);
  // Called once every row is in.
  void Finish(int groups);
};

// p to the power count, as std::pow gives it in extended precision.  For
// the counts almost every token has (1 to 3) the C library's pow of long
// doubles multiplies, and so does this, at a fraction of the call.
long double PowerOfCount(long double p, unsigned count);

// Multiplies scores (the caller puts the priors there) by the essay's
// likelihood and normalises them.  present is in the order the table gives
// the essay's rows (by count, then by row).  absent is used by the Bernoulli
// model only.
void MultiplyEssay(const std::vector<ProductRow>& present, bool multinomial, int groups,
                   const AbsentProduct& absent, GroupScores& scores);

}  // namespace tarne
