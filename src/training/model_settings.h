// The model settings of scoring that need no retraining: the smoothing of
// the token probabilities and the priors the groups start from.  The
// recomputation writes the probabilities as SQL over the count columns;
// the same estimates are here as plain functions for whoever works them out
// in memory, so both give one number for one count.
#pragma once

#include <string>
#include <vector>

namespace tarne {

struct Session;

// Multinomial: (v + alpha) / (N + alpha V), where v is the token's count in
// the group, N the group's total over the selected tokens and V the number
// of selected tokens.  alpha 1 is the classic add-one estimate.
inline double MultinomialProbability(double count, double groupTotal, double vocabulary,
                                     double alpha) {
  return (count + alpha) / (groupTotal + alpha * vocabulary);
}

// Bernoulli: (w + alpha) / (n + 2 alpha), where w is the number of the
// group's essays that hold the token and n the group's trained essays.
inline double BernoulliProbability(double essaysWith, double groupEssays, double alpha) {
  return (essaysWith + alpha) / (groupEssays + 2 * alpha);
}

// The same estimates as the SQL expressions the recomputation writes for
// group g (count columns v<g> and w<g>).  alpha 1 gives the classic texts,
// character for character, so classic probabilities stay bit for bit.
std::string MultinomialExpression(int g, double groupTotal, double vocabulary, double alpha);
std::string BernoulliExpression(int g, double groupEssays, double alpha);
// The two constants of those expressions as SQL texts: the probability is
// (count + addend) / divisor, the texts being the ones the expressions hold,
// so the engine reads the same numbers from them.
struct EstimateTexts {
  std::string addend;
  std::string divisor;
};
EstimateTexts MultinomialTexts(double groupTotal, double vocabulary, double alpha);
EstimateTexts BernoulliTexts(double groupEssays, double alpha);

// The priors of groups 1..G (at [0]..[G-1]) that scoring starts from: the
// project's, or with PriorsFromTraining each group's share of the essays
// trained for words (trainsize).  The project's when nothing is trained.
std::vector<double> ScoringPriors(Session& session);
// The same from the trained-essay counts of groups 1..G.
std::vector<double> ScoringPriors(Session& session, const std::vector<double>& trainedPerGroup);

}  // namespace tarne
