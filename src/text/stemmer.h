// The stemmer: a Porter-style reduction of one word to its stem.
#pragma once

#include <string>

namespace tarne {

// Replaces word by its stem; an empty stem means the word yields no token.
void StemWord(std::string& word);

}  // namespace tarne
