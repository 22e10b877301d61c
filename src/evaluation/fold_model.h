// Naive Bayes trained in memory on the essays of some folds of an
// EssaySample, with the arithmetic of the project's own recomputation and
// scoring: the counts a fresh project trained on those essays would hold,
// the same selection, smoothing, priors, extended precision and rescaling,
// so that a setting scores an essay here as `tarne-cli score` scores it.
#pragma once

#include <cstdint>
#include <vector>

#include "evaluation/essay_sample.h"
#include "scoring/essay_product.h"
#include "scoring/scoring.h"
#include "shell/kinds.h"

namespace tarne {

// One point of the grid of settings.
struct Setting {
  Model model = Model::Multinomial;
  bool pairs = false;      // words and word pairs, else words only
  double alpha = 1;        // additive smoothing
  bool rare = true;        // rare tokens included
  bool trainingPriors = false;  // priors from the training essays, else the project's
};

// The counts of one kind over the training essays of all folds but one.
class FoldCounts {
 public:
  // heldOut: the fold left out, or -1 for none.
  FoldCounts(const EssaySample& sample, int slot, int heldOut);

  int Groups() const { return groups_; }
  // Per token and group (1..G): occurrences v and essays w.
  int V(std::uint32_t id, int g) const { return v_[id * 6 + g]; }
  int W(std::uint32_t id, int g) const { return w_[id * 6 + g]; }
  size_t Tokens() const { return v_.size() / 6; }
  // Training essays per group ([1..G]) and in all.
  const int* Essays() const { return essays_; }
  int Total() const { return total_; }

 private:
  int groups_;
  std::vector<int> v_, w_;
  int essays_[6] = {0, 0, 0, 0, 0, 0};
  int total_ = 0;
};

// The probabilities of one kind under one setting.
class KindProbabilities {
 public:
  KindProbabilities(const FoldCounts& counts, const Setting& setting, double rareThreshold);
  // Multiplies scores (the priors) by the essay's likelihood and normalises.
  void Score(const std::vector<EssayToken>& tokens, GroupScores& scores) const;

 private:
  int groups_;
  bool multinomial_;
  std::vector<std::uint8_t> selected_;
  std::vector<double> p_;  // [id * 6 + g]
  AbsentProduct absent_;
};

// The priors a setting scores with.
std::vector<double> SettingPriors(const Setting& setting, const std::vector<double>& project,
                                  const FoldCounts& counts);

// The predicted group of an essay: every kind of the setting scored from the
// priors, the kinds multiplied and normalised, the highest posterior (the
// lower group on ties, 0 when all are 0).
int PredictEssay(const SampleEssay& essay, const KindProbabilities* const (&kinds)[kSampleKinds],
                 const std::vector<double>& priors, int groups, GroupScores* posterior = nullptr);

}  // namespace tarne
