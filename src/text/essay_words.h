// The kept words of every sentence of an essay, cut once for both tables: a
// training run counts each essay as written and stemmed, and the two passes
// differ only in the stemming of the pieces they keep.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "text/token_index.h"
#include "text/token_store.h"
#include "text/tokenizer.h"

namespace tarne {

// Each distinct piece's stem (as StemWord gives it, blanks trimmed), worked
// out once: the same words recur in every essay, and the suffix steps are
// most of tokenizing.  The views handed out stay valid until the next Trim.
class StemCache {
 public:
  std::string_view Stem(std::string_view piece);
  // Starts again once the cache holds too many pieces; call between essays
  // only, while no view of it is held.
  void Trim();

 private:
  static constexpr size_t kMaxPieces = size_t{1} << 20;
  TokenIndex pieces_;
  std::vector<std::string_view> stems_;  // by piece number
  TokenStore store_;
};

// The kept words of an essay's sentences, in sentence order.
class SentenceWords {
 public:
  size_t Sentences() const { return ends_.size(); }
  std::span<const std::string_view> Sentence(size_t i) const {
    const size_t begin = i == 0 ? 0 : ends_[i - 1];
    return {words_.data() + begin, ends_[i] - begin};
  }
  void Clear() {
    words_.clear();
    ends_.clear();
  }
  void Add(std::string_view word) { words_.push_back(word); }
  void EndSentence() { ends_.push_back(words_.size()); }

 private:
  std::vector<std::string_view> words_;
  std::vector<size_t> ends_;  // one past each sentence's last word
};

// Cuts a normalised text into sentences and their kept words, as written
// into written and stemmed into stemmed (either may be null), the pieces cut
// once for both: the same words as KeptWords gives.  Views point into the
// text and into stems.  Under the classic rules the cutting ends after the
// first sentence too short to count in either form (fewer than two kept
// words): no sentence after it is counted.
void CutEssay(std::string_view normalised, const CountingRules& rules, SentenceWords* written,
              SentenceWords* stemmed, StemCache& stems);

}  // namespace tarne
