// Turning an essay into sentences and tokens.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarne {

// The kind numbers the token lists take (TokenKind of shell/kinds.h, as numbers).
inline constexpr int kWords = 1;
inline constexpr int kPhrases = 2;
inline constexpr int kArguments = 3;

// The shortest kept word of the classic rules, in bytes.
inline constexpr int kClassicMinWordLength = 4;
// The shortest a project may choose: single letters would make every
// initial and stray letter a token.
inline constexpr int kLeastMinWordLength = 2;

// A project's rules for counting an essay, fixed while its database holds
// trained essays: training, untraining and scoring must count alike.  The
// classic rules stop counting an essay at its first sentence without tokens
// and keep words of 4 bytes or more.
struct CountingRules {
  bool allSentences = false;                  // such a sentence is skipped instead
  int minWordLength = kClassicMinWordLength;  // 2, 3 or 4
  bool Classic() const { return !allSentences && minWordLength == kClassicMinWordLength; }
  bool operator==(const CountingRules&) const = default;
};

// Lower case (as Unicode does for valid UTF-8, byte-wise otherwise),
// separators and NUL to blanks, runs of blanks shortened, ". " to ".".
void NormalizeEssayText(std::string& text);

// Whether normalising a normalised text again leaves its sentences and their
// pieces as they are: true unless the second pass would map some character
// to another (which it can where code page bytes, lowered, make valid UTF-8
// that lowers further).  Runs of blanks may still shorten; that never
// changes a token.
bool NormalisingAgainKeepsWords(std::string_view normalised);

// The pieces of a normalised text between full stops (n stops, n + 1 pieces).
std::vector<std::string_view> SplitSentences(std::string_view text);

// The kept words of one sentence, in sentence order (stemmed when asked):
// pieces (or their stems) of at least minWordLength bytes that do not read
// as a non-zero number.
std::vector<std::string> KeptWords(std::string_view sentence, bool stemmed,
                                   int minWordLength = kClassicMinWordLength);

// Whether a piece (or a stem) is kept as a word: at least minWordLength
// bytes, and not readable as a non-zero number.
bool IsKeptWord(std::string_view piece, int minWordLength);

// The quoted token list ('a','b c') of one sentence for one kind; for
// arguments the quoted list of every kept word (the argument candidates).
std::string BuildSentenceTokenList(std::string_view sentence, int kind, bool stemmed,
                                   int minWordLength = kClassicMinWordLength);

}  // namespace tarne
