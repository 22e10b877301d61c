// An essay's tokens as training, untraining and scoring count them, worked
// out in memory: the same sentences, token lists and argument tokens as the
// statements over IN lists find, without asking the database per sentence.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "text/essay_words.h"
#include "text/token_index.h"
#include "text/tokenizer.h"

namespace tarne {

class Database;

// Hashing for maps keyed by token text that are searched with views.
struct TokenHash {
  using is_transparent = void;
  size_t operator()(std::string_view text) const { return std::hash<std::string_view>()(text); }
};

// The words of one table whose sum is above 20: the ones arguments are built
// from.  Read once per run; a run that builds arguments changes no word.
class FrequentWords {
 public:
  static constexpr std::uint32_t kNone = TokenIndex::kNone;

  bool Load(Database& db, const char* table);
  bool Contains(std::string_view word) const { return Number(word) != kNone; }
  // The word's number (0, 1, ... in the order read), or kNone when it is not
  // frequent.
  std::uint32_t Number(std::string_view word) const { return words_.Find(word); }
  // True when no word holds a blank, so that an argument's text names its
  // two words: the part before its first blank and the rest.
  bool Blankless() const { return blankless_; }

 private:
  TokenIndex words_;
  bool blankless_ = true;
};

// The argument tokens of a sentence's kept words: every pair of its distinct
// frequent words, in ascending byte order ("alpha beta" before "alpha gamma"),
// as views into buffer.
void ArgumentTokens(std::span<const std::string_view> words, const FrequentWords& frequent,
                    std::string& buffer, std::vector<std::string_view>& tokens);

// The order in which a sentence's new tokens get their rows: ascending byte
// order of the quoted texts ('ab c' comes before 'ab').
bool QuotedLess(std::string_view a, std::string_view b);

// Counts a normalised essay's tokens of kind, under the project's counting
// rules, into the thisessay column of table ("run1" or "stem"), cleared
// first: every row of that kind whose token the counted sentences list gets
// the number of times they list it.  The counting is done in memory and
// written with one statement per distinct token, so a long essay costs what
// training it costs, not a statement per sentence.  A failed statement is
// seen by the caller's watch over its unit of work.
void MarkEssayTokens(Database& db, const char* table, int kind, bool stemmed,
                     const CountingRules& rules, std::string_view normalised);

// One distinct token of a sentence and how often the sentence lists it.
struct TokenRun {
  std::string_view token;
  int occurrences;
};

// A known token counts once per occurrence in a sentence, up to this many.
inline constexpr int kMaxOccurrences = 101;

// Calls counted(runs) for each sentence of an essay's kept words (CutEssay)
// that is counted: its distinct tokens in quoted order, with their
// occurrences.  Under the classic rules the first sentence without tokens
// ends the essay; with rules.allSentences such a sentence is skipped.
// frequent is needed for arguments only.  The views are valid during the
// call.
template <class Counted>
void ForEachCountedSentence(const SentenceWords& sentences, int kind,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted);

// The same over a normalised text, cut for the one form it is counted in.
template <class Counted>
void ForEachCountedSentence(std::string_view normalised, int kind, bool stemmed,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted);

// What ForEachCountedSentence does for one sentence's kept words: the tokens
// the sentence's quoted token list holds (BuildSentenceTokenList, and for
// arguments ArgumentTokens over it), without building the list.  False when
// the sentence has no tokens.  Exposed for the templates above.
bool SentenceRuns(std::span<const std::string_view> words, int kind,
                  const FrequentWords* frequent, std::string& buffer,
                  std::vector<std::string_view>& tokens, std::vector<TokenRun>& runs);

template <class Counted>
void ForEachCountedSentence(const SentenceWords& sentences, int kind,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted) {
  std::string buffer;
  std::vector<std::string_view> tokens;
  std::vector<TokenRun> runs;
  for (size_t i = 0; i < sentences.Sentences(); ++i) {
    if (!SentenceRuns(sentences.Sentence(i), kind, frequent, buffer, tokens, runs)) {
      if (rules.allSentences) continue;
      break;
    }
    counted(runs);
  }
}

template <class Counted>
void ForEachCountedSentence(std::string_view normalised, int kind, bool stemmed,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted) {
  StemCache stems;
  SentenceWords words;
  CutEssay(normalised, rules, stemmed ? nullptr : &words, stemmed ? &words : nullptr, stems);
  ForEachCountedSentence(words, kind, frequent, rules, counted);
}

}  // namespace tarne
