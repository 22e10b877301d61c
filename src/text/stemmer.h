// The stemmer: a Porter-style reduction of one word to its stem.
#pragma once

#include <string>

namespace tarne {

// Replaces word by its stem; an empty stem means the word yields no token.
void StemWord(std::string& word);

// One run of the five suffix steps alone (no cleaning, stop words or
// prefixes); StemWord runs it twice.  The word must already be clean.
void ApplySuffixSteps(std::string& word);

}  // namespace tarne
