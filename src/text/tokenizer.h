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

// Lower case (as Unicode does for valid UTF-8, byte-wise otherwise),
// separators and NUL to blanks, runs of blanks shortened, ". " to ".".
void NormalizeEssayText(std::string& text);

// The pieces of a normalised text between full stops (n stops, n + 1 pieces).
std::vector<std::string_view> SplitSentences(std::string_view text);

// The kept words of one sentence, in sentence order (stemmed when asked).
std::vector<std::string> KeptWords(std::string_view sentence, bool stemmed);

// The quoted token list ('a','b c') of one sentence for one kind; for
// arguments the quoted list of every kept word (the argument candidates).
std::string BuildSentenceTokenList(std::string_view sentence, int kind, bool stemmed);

}  // namespace tarne
