// The fixed English word tables: stop words, prefixes and the suffix rules.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarne {

struct WordLists {
  std::vector<std::string> stopWords;  // 319, ascending byte order
  std::vector<std::string> prefixes;   // 9, in table order
  std::vector<std::pair<std::string, std::string>> step2Rules;  // 22
  std::vector<std::pair<std::string, std::string>> step3Rules;  // 8
  std::vector<std::string> step4Suffixes;  // 21
};

// Fills the tables (again); cheap after the first call.
void LoadWordLists();
const WordLists& Words();

// Exact, case-sensitive membership in the stop-word list (bisection).
bool IsStopWord(std::string_view word);

}  // namespace tarne
