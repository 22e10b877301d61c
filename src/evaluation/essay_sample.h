// A project's training and trial essays, each read and counted once, held in
// memory for cross-validation.  Nothing here touches the project's database:
// the essays come from the project's folders, counted the way a training run
// and a scoring run count them (words and word pairs, unstemmed).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "shell/kinds.h"
#include "text/token_index.h"

namespace tarne {

struct ProjectSettings;

// The kinds cross-validation scores with: words, and word pairs.
inline constexpr int kSampleKinds = 2;
inline int KindSlot(TokenKind kind) { return kind == TokenKind::Words ? 0 : 1; }

// One token of an essay.  count is what scoring counts (each sentence adds
// its occurrences, at most 101); a training run counts a token that is new
// to the table only once in the sentence that brings it, so the first essay
// to bring a token counts extra fewer occurrences.
struct EssayToken {
  std::uint32_t id;
  int count;
  int extra;
};

struct SampleEssay {
  std::string path;
  int group = 0;  // 1..G
  int fold = 0;   // 0..K-1 (training essays)
  std::vector<EssayToken> tokens[kSampleKinds];
};

class EssaySample {
 public:
  // Reads the training folders (essays a training run counts: readable
  // text, more than 5 characters once trimmed) and the trial folders.
  // progress(done, total) is called after each essay and answers false to
  // stop; Load then answers false.
  bool Load(const ProjectSettings& settings,
            const std::function<bool(int done, int total)>& progress);

  // Deals the training essays of each group, shuffled with seed, in turn to
  // folds 0..K-1, so that every fold holds each group's share.
  void AssignFolds(int folds, std::uint32_t seed);

  int Groups() const { return groups_; }
  int Folds() const { return folds_; }
  size_t Tokens(int slot) const { return index_[slot].Size(); }
  const std::vector<SampleEssay>& Training() const { return training_; }
  const std::vector<SampleEssay>& Trial() const { return trial_; }
  // Essays that could not be read or were no text, training and trial.
  int NotRead() const { return notRead_; }
  // Training essays too short to be trained.
  int Short() const { return short_; }

 private:
  int groups_ = 0;
  int folds_ = 0;
  TokenIndex index_[kSampleKinds];
  std::vector<SampleEssay> training_;  // in the order a training run takes them
  std::vector<SampleEssay> trial_;
  int notRead_ = 0;
  int short_ = 0;
};

}  // namespace tarne
