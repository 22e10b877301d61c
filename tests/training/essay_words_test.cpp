#include "text/essay_words.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "support/temp_folder.h"
#include "text/word_lists.h"
#include "training/essay_tokens.h"

namespace tarne {
namespace {

// A quoted token list's tokens, in the order training counts them.
std::vector<std::string> ListTokens(const std::string& list) {
  std::vector<std::string> tokens;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    tokens.push_back(list.substr(start + 1, comma - start - 2));
    start = comma + 1;
  }
  std::sort(tokens.begin(), tokens.end(), QuotedLess);
  return tokens;
}

std::vector<std::string> RunTokens(std::span<const std::string_view> words, int kind) {
  std::string buffer;
  std::vector<std::string_view> views;
  std::vector<TokenRun> runs;
  std::vector<std::string> tokens;
  if (!SentenceRuns(words, kind, nullptr, buffer, views, runs)) return tokens;
  for (const TokenRun& run : runs)
    for (int i = 0; i < run.occurrences; ++i) tokens.emplace_back(run.token);
  return tokens;
}

// Every sentence the cut must hold (under the classic rules up to the first
// too short in both forms) gets the words and tokens of the sentence's own
// token lists, in both forms.  One stem cache serves all essays, as in a run.
void ExpectCutAsLists(const std::string& raw, StemCache& stems) {
  std::string text = raw;
  NormalizeEssayText(text);
  for (const CountingRules rules :
       {CountingRules{}, CountingRules{true, 2}, CountingRules{false, 3}}) {
    SentenceWords written, stemmed;
    CutEssay(text, rules, &written, &stemmed, stems);
    const std::vector<std::string_view> sentences = SplitSentences(text);
    bool ended[2] = {false, false};
    for (size_t i = 0; i < sentences.size() && !(ended[0] && ended[1] && !rules.allSentences);
         ++i) {
      ASSERT_LT(i, written.Sentences()) << raw;
      for (const bool stem : {false, true}) {
        const std::span<const std::string_view> cut = (stem ? stemmed : written).Sentence(i);
        const std::vector<std::string> kept = KeptWords(sentences[i], stem, rules.minWordLength);
        ASSERT_EQ(std::vector<std::string>(cut.begin(), cut.end()), kept) << sentences[i];
        for (const int kind : {kWords, kPhrases})
          ASSERT_EQ(RunTokens(cut, kind),
                    ListTokens(BuildSentenceTokenList(sentences[i], kind, stem,
                                                      rules.minWordLength)))
              << sentences[i] << " kind " << kind;
        ended[stem] = ended[stem] || kept.size() < 2;
      }
    }
  }
}

TEST(EssayWords, OneCutForBothFormsGivesEachSentencesTokenLists) {
  LoadWordLists();
  StemCache stems;
  const std::vector<std::string> texts = {
      "The running runners ran quickly, quickly running home.  Alpha beta alpha beta alpha.",
      "Numbers 1999 and 0000 and 12.5e-400 and 0.000 stay apart from words like these.",
      "Twin  twin\ttabs\there and there. A. Then nothing happened here at all, really.",
      "Short. Sentences cut early for classic rules but counted with all sentences kept.",
      "\xC3\x84rger \xC3\xBC""ber gro\xC3\x9F""e Stra\xC3\x9F""en. caf\xE9 na\xEFve r\xE9sum\xE9 resumes.",
      "abc abc abc. ab ab ab ab abc abcd. unbelievable reconditioned happiness generalization.",
      "", ".", "...", "one", "words without any stop",
  };
  for (const std::string& text : texts) ExpectCutAsLists(text, stems);

  // Real essays, when the shared data are present.
  const std::vector<std::string> essays = testing::SharedEssayTexts(400);
  if (essays.empty()) GTEST_SKIP() << "no shared essays";
  for (const std::string& text : essays) ExpectCutAsLists(text, stems);
}

}  // namespace
}  // namespace tarne
