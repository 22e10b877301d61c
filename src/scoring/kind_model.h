// The rows of one token kind that a scoring run selects, read once and held
// in memory, and the scoring of essays against them.  The scores are worked
// out as the statements over the table would give them: present tokens in
// the order the table returns them (by count, then row), with the same
// extended precision and rescaling; for the Bernoulli model the product over
// the absent tokens is taken once for the whole selection and the tokens an
// essay holds are divided out again.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "scoring/scoring.h"
#include "text/token_index.h"
#include "training/essay_tokens.h"

namespace tarne {

struct Session;

class KindModel {
 public:
  // Reads the rows of table under condition (the selection condition of
  // kind); the low-information test and the model come from the options.
  KindModel(Session& session, int kind, const std::string& condition);

  // Multiplies scores (the caller puts the priors there) by the essay's
  // likelihood and normalises them, as the per-essay statements would.
  void Score(const std::string& text, GroupScores& scores);

 private:
  // The probability of row id in group g as the product uses it.
  double Probability(std::uint32_t id, int g) const;
  // The essay's scores from start (the priors) as Score works them out, but
  // summed in logarithms and scaled so that the best group is 1: for an
  // essay whose product leaves the range of the type.
  void ScoreInLogs(const GroupScores& start, GroupScores& scores) const;

  struct Row {
    std::int64_t rowid = 0;
    double p[6] = {0, 0, 0, 0, 0, 0};
  };

  int kind_;
  int groups_;
  bool stemmed_;
  CountingRules rules_;
  bool multinomial_;
  FrequentWords frequent_;
  TokenIndex index_;  // numbers the rows
  std::vector<Row> rows_;
  // The product of (1 - p) over all selected rows, as mantissa and binary
  // exponent, with the factors that are exactly 0 counted apart.
  long double absent_[6] = {1, 1, 1, 1, 1, 1};
  long absentExponent_[6] = {0, 0, 0, 0, 0, 0};
  int absentZeros_[6] = {0, 0, 0, 0, 0, 0};
  std::vector<int> counts_;
  std::vector<std::uint32_t> present_;
};

}  // namespace tarne
