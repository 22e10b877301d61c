#include "text/word_lists.h"

#include <gtest/gtest.h>

namespace tarne {
namespace {

TEST(WordLists, TablesHaveTheirSizesAndOrder) {
  LoadWordLists();
  const WordLists& w = Words();
  EXPECT_EQ(w.stopWords.size(), 319u);
  EXPECT_EQ(w.prefixes.size(), 9u);
  EXPECT_EQ(w.step2Rules.size(), 22u);
  EXPECT_EQ(w.step3Rules.size(), 8u);
  EXPECT_EQ(w.step4Suffixes.size(), 21u);
  int short_entries = 0;
  for (size_t i = 0; i < w.stopWords.size(); ++i) {
    if (i > 0) {
      EXPECT_LT(w.stopWords[i - 1], w.stopWords[i]) << "order broken at " << i;
    }
    if (w.stopWords[i].size() <= 2) ++short_entries;
    EXPECT_TRUE(IsStopWord(w.stopWords[i])) << w.stopWords[i];
  }
  EXPECT_EQ(short_entries, 32);
  EXPECT_EQ(w.prefixes.front(), "kilo");
  EXPECT_EQ(w.prefixes.back(), "pseudo");
  EXPECT_EQ(w.step2Rules[21], std::make_pair(std::string("biliti"), std::string("ble")));
  EXPECT_EQ(w.step4Suffixes.back(), "ise");
  // Loading again leaves the same tables.
  LoadWordLists();
  EXPECT_EQ(Words().stopWords.size(), 319u);
}

TEST(IsStopWord, ExactByteMatchOnly) {
  struct Case {
    const char* word;
    bool stop;
  };
  const Case cases[] = {
      {"amoungst", true}, {"fify", true},     {"fifty", false},   {"amongst", true},
      {"bill", true},     {"computer", true}, {"system", true},   {"fire", true},
      {"interest", true}, {"detail", true},   {"thick", true},    {"because", true},
      {"Because", false}, {"because ", false}, {"a", true},       {"yourselves", true},
      {"", false},        {"aa", false},      {"zzz", false},     {"systems", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsStopWord(c.word), c.stop) << '"' << c.word << '"';
}

}  // namespace
}  // namespace tarne
