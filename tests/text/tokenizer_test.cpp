#include "text/tokenizer.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "text/word_lists.h"

namespace tarne {
namespace {

using Words_ = std::vector<std::string>;

std::string Normalized(std::string text) {
  NormalizeEssayText(text);
  return text;
}

std::vector<std::string> Sentences(const std::string& text) {
  std::vector<std::string> out;
  for (std::string_view s : SplitSentences(text)) out.emplace_back(s);
  return out;
}

// The token list of a raw one-sentence text.
std::string List(const std::string& raw, int kind, bool stemmed = false) {
  return BuildSentenceTokenList(Normalized(raw), kind, stemmed);
}

// The blank passes as five plain left-to-right replacements, each over the
// whole text: what the one-pass normaliser must give byte for byte.
std::string FivePasses(std::string text) {
  for (auto [from, to] : {std::pair{"    ", " "}, {"   ", " "}, {"  ", " "}, {"  ", " "},
                          {". ", "."}}) {
    const std::string pattern = from;
    std::string out;
    size_t pos = 0;
    for (size_t hit; (hit = text.find(pattern, pos)) != std::string::npos; pos = hit + pattern.size())
      out.append(text, pos, hit - pos).append(to);
    text = out.append(text, pos);
  }
  return text;
}

// Every piece of a sentence that a word could come from.
std::vector<std::string> Pieces(std::string_view sentence) { return KeptWords(sentence, false, 1); }

// Random texts over the bytes that matter: the one-pass normaliser shortens
// blanks exactly as the five passes do, and where normalising again is said
// to keep the words, every sentence has the pieces of the text normalised
// twice.
TEST(NormalizeEssayText, OnePassMatchesFivePassesOnRandomText) {
  const std::string ascii = "     ....aZ9\t\r\n'!";
  const std::string bytes = ascii + "\x80\x9A\xC3\xA9\xF4\x90";
  std::mt19937 random(19);
  int keeps = 0;
  for (int round = 0; round < 20000; ++round) {
    const std::string& alphabet = round % 2 ? ascii : bytes;
    std::string raw(random() % 100, ' ');
    for (char& c : raw) c = alphabet[random() % alphabet.size()];
    if (round % 4 == 0) raw.insert(random() % (raw.size() + 1), std::string(random() % 300, ' '));
    const std::string once = Normalized(raw);
    if (round % 2) {
      // Each ASCII byte maps alone as it does in a text.
      std::string mapped;
      for (char c : raw) mapped += c == ' ' ? " " : Normalized(std::string(1, c));
      ASSERT_EQ(once, FivePasses(mapped)) << round;
    }
    if (NormalisingAgainKeepsWords(once)) {
      ++keeps;
      const auto a = SplitSentences(once);
      const std::string twice = Normalized(once);
      const auto b = SplitSentences(twice);
      ASSERT_EQ(a.size(), b.size());
      for (size_t i = 0; i < a.size(); ++i) ASSERT_EQ(Pieces(a[i]), Pieces(b[i])) << round;
    }
  }
  EXPECT_GT(keeps, 10000);
  // Most essays: ASCII, or UTF-8 with curly quotes and accents.
  EXPECT_TRUE(NormalisingAgainKeepsWords(Normalized("\xE2\x80\x9CQuoted\xE2\x80\x9D  \xC3\x89T\xC3\x89.  ")));
  // Code page bytes lowered into valid UTF-8, whose second normalisation
  // lowers a letter again: here only normalising again can tell.
  const std::string once = Normalized("\xF4\x90\x80\x80 \xC3\x9A" "abcd");
  EXPECT_FALSE(NormalisingAgainKeepsWords(once));
  EXPECT_NE(Pieces(once), Pieces(Normalized(once)));
}

TEST(NormalizeEssayText, LowerCasesAndBlanksSeparators) {
  EXPECT_EQ(Normalized("ABC xyz"), "abc xyz");
  EXPECT_EQ(Normalized("\x80\x8E\x8F\x90\x99\x9A\xA5"), "\x87\x84\x86\x82\x94\x81\xA4");
  EXPECT_EQ(Normalized("\xC4\xE9\x81\x7F"), "\xC4\xE9\x81\x7F");  // other bytes stay
  // Each separator alone between two letters becomes the one blank.
  const std::string separators = "{}[],;'!@#$%^&*()_-+=<>?\\|:/~`\n\r\"\f";
  for (char c : separators) EXPECT_EQ(Normalized(std::string("a") + c + "b"), "a b") << int(c);
  EXPECT_EQ(Normalized("a\tb0.9"), "a\tb0.9");
}

TEST(NormalizeEssayText, ShortensBlankRunsInFivePasses) {
  struct Case {
    int blanks;
    int left;
  };
  // 4 -> 1, 3 -> 1, 2 -> 1 twice: most runs shrink to one blank, some do not.
  const Case cases[] = {{1, 1}, {2, 1}, {3, 1}, {4, 1}, {5, 1}, {8, 1},
                        {9, 1}, {16, 1}, {64, 2}, {72, 2}};
  for (const Case& c : cases)
    EXPECT_EQ(Normalized("a" + std::string(c.blanks, ' ') + "b"), "a" + std::string(c.left, ' ') + "b")
        << c.blanks;
  EXPECT_EQ(Normalized("one. two"), "one.two");
  EXPECT_EQ(Normalized("one.   two"), "one.two");
  EXPECT_EQ(Normalized("one . two"), "one .two");
  EXPECT_EQ(Normalized("end.\r\n\r\nNext"), "end.next");
  EXPECT_EQ(Normalized(". . ."), "...");
}

TEST(SplitSentences, CutsAtEveryFullStop) {
  EXPECT_EQ(Sentences("no stop here"), Words_({"no stop here"}));
  EXPECT_EQ(Sentences(Normalized("e.g.")), Words_({"e", "g", ""}));
  EXPECT_EQ(Sentences(Normalized("3.75")), Words_({"3", "75"}));
  EXPECT_EQ(Sentences(""), Words_({""}));
  // Exclamation and question marks separate words but end no sentence.
  EXPECT_EQ(Sentences(Normalized("Stop here! Go now? Then this.")),
            Words_({"stop here go now then this", ""}));
}

TEST(KeptWords, WordFilterOnPiecesAndOnStems) {
  struct Case {
    const char* sentence;
    bool stemmed;
    Words_ kept;
  };
  const Case cases[] = {
      {"don t stop ", false, {"stop"}},
      {"the cat sat", false, {}},
      {"1999 2nd 4th 0000 00ab abc1 12345", false, {"0000", "00ab", "abc1"}},
      {"\t1999 \t\tabcd 0e55 1e5x", false, {"\t\tabcd", "0e55"}},
      {"big\tdog  runs", false, {"big\tdog", "runs"}},
      {"because itself cats falling students teachers", true, {"student", "teacher"}},
      {"big\tdogs 1999s", true, {"bigdog"}},
      {"systems thickness kilometers", true, {"system", "thick", "meter"}},
  };
  for (const Case& c : cases) EXPECT_EQ(KeptWords(c.sentence, c.stemmed), c.kept) << c.sentence;
}

TEST(BuildSentenceTokenList, KindsOfOneSentence) {
  struct Case {
    const char* raw;
    bool stemmed;
    const char* words;
    const char* phrases;
    const char* arguments;
  };
  const Case cases[] = {
      {"The students wrote the essays", false, "'essays','students','wrote'",
       "'students wrote','wrote essays'", "'students','wrote','essays'"},
      {"The students wrote the essays", true, "'essai','student','wrot'",
       "'student wrot','wrot essai'", "'student','wrot','essai'"},
      {"the cat sat", false, "", "", ""},
      {"just one", false, "", "", ""},  // one kept word gives no word token either
      {"word word word", false, "'word'", "'word word','word word'", "'word','word','word'"},
      {"happy puppy happy puppy happy", false, "'happy','puppy'",
       "'happy puppy','puppy happy','happy puppy','puppy happy'",
       "'happy','puppy','happy','puppy','happy'"},
      {"don't STOP! don't stop now", false, "'stop'", "'stop stop'", "'stop','stop'"},
      // Stop words are tokens in the unstemmed pass and vanish in the stemmed one.
      {"because students because", false, "'because','students'",
       "'because students','students because'", "'because','students','because'"},
      {"because students because", true, "", "", ""},
      // Byte order compares bytes as unsigned values.
      {"\xE9tude zebra", false, "'zebra','\xE9tude'", "'\xE9tude zebra'", "'\xE9tude','zebra'"},
      {"with\ttabs here", false, "'here','with\ttabs'", "'with\ttabs here'",
       "'with\ttabs','here'"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.raw) + (c.stemmed ? " (stemmed)" : ""));
    EXPECT_EQ(List(c.raw, kWords, c.stemmed), c.words);
    EXPECT_EQ(List(c.raw, kPhrases, c.stemmed), c.phrases);
    EXPECT_EQ(List(c.raw, kArguments, c.stemmed), c.arguments);
  }
  EXPECT_EQ(BuildSentenceTokenList("some more words", 0, false), "");
}

// Training normalises once and then hands the normalised text on; a second
// normalisation must not change a single token.  Real essays are used when
// the shared data are present.
TEST(Tokenizer, NormalisingTwiceKeepsTheTokensOfRealEssays) {
  const std::vector<std::string> essays = testing::SharedEssayTexts(300);
  if (essays.empty()) GTEST_SKIP() << "no shared essays";
  for (std::string once : essays) {
    NormalizeEssayText(once);
    std::string twice = once;
    NormalizeEssayText(twice);
    auto a = SplitSentences(once);
    auto b = SplitSentences(twice);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
      for (bool stemmed : {false, true})
        for (int kind : {kWords, kPhrases, kArguments})
          ASSERT_EQ(BuildSentenceTokenList(a[i], kind, stemmed),
                    BuildSentenceTokenList(b[i], kind, stemmed));
  }
  EXPECT_EQ(essays.size(), 300u);
}

}  // namespace
}  // namespace tarne
