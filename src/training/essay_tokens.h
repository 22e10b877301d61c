// An essay's tokens as training, untraining and scoring count them, worked
// out in memory: the same sentences, token lists and argument tokens as the
// statements over IN lists find, without asking the database per sentence.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

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
  bool Load(Database& db, const char* table);
  bool Contains(std::string_view word) const { return words_.find(word) != words_.end(); }

 private:
  std::unordered_set<std::string, TokenHash, std::equal_to<>> words_;
};

// The argument tokens of a quoted list of words: every pair of its distinct
// frequent words, in ascending byte order ("alpha beta" before "alpha gamma"),
// as views into buffer.
void ArgumentTokens(const std::string& list, const FrequentWords& frequent, std::string& buffer,
                    std::vector<std::string_view>& tokens);

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

// Calls counted(runs) for each sentence of a normalised text that is
// counted: its distinct tokens in quoted order, with their occurrences.
// Under the classic rules the first sentence without tokens ends the essay;
// with rules.allSentences such a sentence is skipped.  frequent is needed
// for arguments only.  The views are valid during the call.
template <class Counted>
void ForEachCountedSentence(std::string_view normalised, int kind, bool stemmed,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted);

// What ForEachCountedSentence does for one sentence; false when the sentence
// has no tokens.  Exposed for the template above.
bool SentenceRuns(std::string_view sentence, int kind, bool stemmed, int minWordLength,
                  const FrequentWords* frequent, std::string& list, std::string& arguments,
                  std::vector<std::string_view>& tokens, std::vector<TokenRun>& runs);

template <class Counted>
void ForEachCountedSentence(std::string_view normalised, int kind, bool stemmed,
                            const FrequentWords* frequent, const CountingRules& rules,
                            Counted&& counted) {
  std::string list;
  std::string arguments;
  std::vector<std::string_view> tokens;
  std::vector<TokenRun> runs;
  for (std::string_view sentence : SplitSentences(normalised)) {
    if (!SentenceRuns(sentence, kind, stemmed, rules.minWordLength, frequent, list, arguments,
                      tokens, runs)) {
      if (rules.allSentences) continue;
      break;
    }
    counted(runs);
  }
}

}  // namespace tarne
