#include "evaluation/fold_model.h"

#include <algorithm>
#include <cmath>

#include "scoring/essay_product.h"
#include "training/model_settings.h"

namespace tarne {

FoldCounts::FoldCounts(const EssaySample& sample, int slot, int heldOut)
    : groups_(sample.Groups()),
      v_(sample.Tokens(slot) * 6, 0),
      w_(sample.Tokens(slot) * 6, 0) {
  // A training run counts a token new to the table once in the sentence that
  // brings it: the first essay (in training order) to hold it counts extra
  // fewer occurrences.
  std::vector<std::uint8_t> seen(sample.Tokens(slot), 0);
  for (const SampleEssay& e : sample.Training()) {
    if (e.fold == heldOut) continue;
    ++essays_[e.group];
    ++total_;
    for (const EssayToken& t : e.tokens[slot]) {
      const size_t at = t.id * 6 + static_cast<size_t>(e.group);
      v_[at] += t.count;
      w_[at] += 1;
      if (!seen[t.id]) {
        seen[t.id] = 1;
        v_[at] -= t.extra;
      }
    }
  }
}

KindProbabilities::KindProbabilities(const FoldCounts& counts, const Setting& setting,
                                     double rareThreshold)
    : groups_(counts.Groups()),
      multinomial_(setting.model == Model::Multinomial),
      selected_(counts.Tokens(), 0),
      p_(counts.Tokens() * 6, 0) {
  const int G = groups_;
  const double total = counts.Total();
  // The selection: tokens of the training essays, without the rare ones
  // when they are left out (per 1000 essays of the model's count).
  double sum[6] = {0, 0, 0, 0, 0, 0};
  double vocabulary = 0;
  for (std::uint32_t id = 0; id < counts.Tokens(); ++id) {
    double x = 0;
    bool any = false;
    for (int g = 1; g <= G; ++g) {
      const int n = multinomial_ ? counts.V(id, g) : counts.W(id, g);
      x += n;
      any = any || counts.W(id, g) > 0;
    }
    if (!any) continue;
    if (!setting.rare && !(1000 * x / total > rareThreshold)) continue;
    selected_[id] = 1;
    vocabulary += 1;
    for (int g = 1; g <= G; ++g) sum[g] += counts.V(id, g);
  }
  const double a = setting.alpha;
  for (std::uint32_t id = 0; id < counts.Tokens(); ++id) {
    if (!selected_[id]) continue;
    for (int g = 1; g <= G; ++g) {
      double& p = p_[id * 6 + g];
      p = multinomial_ ? MultinomialProbability(counts.V(id, g), sum[g], vocabulary, a)
                       : BernoulliProbability(counts.W(id, g), counts.Essays()[g], a);
    }
  }
  if (multinomial_) return;
  for (std::uint32_t id = 0; id < counts.Tokens(); ++id)
    if (selected_[id]) absent_.Add(&p_[id * 6], G);
  absent_.Finish(G);
}

void KindProbabilities::Score(const std::vector<EssayToken>& tokens, GroupScores& scores) const {
  // Present tokens in the order the scoring run takes them: by count, then
  // by the order the table got them.
  std::vector<const EssayToken*> present;
  for (const EssayToken& t : tokens)
    if (t.id < selected_.size() && selected_[t.id]) present.push_back(&t);
  std::sort(present.begin(), present.end(), [](const EssayToken* a, const EssayToken* b) {
    return a->count != b->count ? a->count < b->count : a->id < b->id;
  });
  std::vector<ProductRow> rows;
  rows.reserve(present.size());
  for (const EssayToken* t : present)
    rows.push_back({&p_[t->id * 6], static_cast<unsigned>(t->count)});
  MultiplyEssay(rows, multinomial_, groups_, absent_, scores);
}

std::vector<double> SettingPriors(const Setting& setting, const std::vector<double>& project,
                                  const FoldCounts& counts) {
  std::vector<double> priors(7, 0);
  for (int g = 1; g <= counts.Groups(); ++g) {
    if (setting.trainingPriors)
      priors[g] = counts.Total() > 0 ? static_cast<double>(counts.Essays()[g]) / counts.Total() : 0;
    else
      priors[g] = g - 1 < static_cast<int>(project.size()) ? project[g - 1] : 0;
  }
  return priors;
}

int PredictEssay(const SampleEssay& essay, const KindProbabilities* const (&kinds)[kSampleKinds],
                 const std::vector<double>& priors, int groups, GroupScores* posterior) {
  GroupScores combined;
  for (int g = 1; g <= groups; ++g) combined.value[g] = 1.0L;
  for (int slot = 0; slot < kSampleKinds; ++slot) {
    if (!kinds[slot]) continue;
    GroupScores scores;
    for (int g = 1; g <= groups; ++g) scores.value[g] = priors[g];
    kinds[slot]->Score(essay.tokens[slot], scores);
    for (int g = 1; g <= groups; ++g) combined.value[g] *= scores.value[g];
    KeepScoresInRange(combined, groups);
  }
  long double total = 0;
  for (int g = 1; g <= groups; ++g) total += combined.value[g];
  if (total > 0)
    for (int g = 1; g <= groups; ++g) combined.value[g] /= total;
  if (posterior) *posterior = combined;
  return PredictedGroup(combined, groups);
}

}  // namespace tarne
