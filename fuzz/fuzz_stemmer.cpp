// Any bytes as a word: the stem is empty or made of a-z and 0-9 only, never
// longer than the word, and stemming is deterministic.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "text/stemmer.h"
#include "text/word_lists.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tarne;
  static const bool loaded = (LoadWordLists(), true);
  (void)loaded;
  const std::string word(reinterpret_cast<const char*>(data), size);
  std::string stem = word;
  StemWord(stem);
  if (stem.size() > word.size()) std::abort();
  for (char c : stem)
    if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'))) std::abort();
  std::string again = word;
  StemWord(again);
  if (again != stem) std::abort();
  // The suffix steps alone take any clean word.
  ApplySuffixSteps(stem);
  return 0;
}
