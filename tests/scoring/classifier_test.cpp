#include <cmath>
#include <string>

#include "scoring_fixture.h"

namespace tarne::testing {
namespace {

class Classifier : public ScoringFixture {
 protected:
  GroupScores Score(const std::string& essay, const std::string& condition, int kind,
                    GroupScores start) {
    std::string listing;
    ScoreEssay(*session, essay, condition, kind, listing, 0, start);
    return start;
  }
  std::uint32_t Marks(const std::string& vocab) {
    return Count("select thisessay from run1 where vocab='" + vocab + "'");
  }
};

TEST_F(Classifier, RepeatedPhraseIsCountedAndRaisedToItsCount) {
  MakeProject(2);
  AddToken("run1", "good work", 2, {0.2, 0.1});
  // The pair "good work" is listed three times in the one sentence.
  GroupScores s = Score("Good work good work good work good", "( isphrase )", 2, Priors());
  EXPECT_EQ(Marks("good work"), 3u);
  // (0.2^3 / 3!) against (0.1^3 / 3!): 8 to 1.
  EXPECT_NEAR(static_cast<double>(s.value[1]), 8.0 / 9.0, 1e-15);
  EXPECT_NEAR(static_cast<double>(s.value[2]), 1.0 / 9.0, 1e-15);
}

TEST_F(Classifier, UnknownTokensAreIgnoredAndZeroProbabilityCountsAsOne) {
  MakeProject(2);
  AddToken("run1", "alpha", 1, {0.5, 0.25});
  AddToken("run1", "omega", 1, {0.0, 0.5});
  GroupScores s = Score("alpha omega nothing known here", "( isword )", 1, Priors());
  // Group 1: .5 x 1 (for 0), group 2: .25 x .5.
  EXPECT_NEAR(static_cast<double>(s.value[1]), 0.5 / 0.625, 1e-15);
  EXPECT_EQ(Marks("alpha"), 1u);
}

TEST_F(Classifier, BernoulliMultipliesInTheAbsentTokens) {
  MakeProject(2);
  session->options.Model = 2;
  AddToken("run1", "alpha", 1, {0.5, 0.25});
  AddToken("run1", "beta", 1, {0.2, 0.6});
  GroupScores s = Score("alpha gamma", "( isword )", 1, Priors());
  // Present alpha: .5 / .25; absent beta: (1 - .2) / (1 - .6).
  EXPECT_NEAR(static_cast<double>(s.value[1]), 0.2 / 0.25, 1e-15);
  EXPECT_NEAR(static_cast<double>(s.value[2]), 0.05 / 0.25, 1e-15);

  // The multinomial model sees the present token only.
  session->options.Model = 1;
  GroupScores m = Score("alpha gamma", "( isword )", 1, Priors());
  EXPECT_NEAR(static_cast<double>(m.value[1]), 2.0 / 3.0, 1e-15);
}

TEST_F(Classifier, AnEssayWhoseProductLeavesTheRangeStillGetsItsProbabilities) {
  MakeProject(2);
  AddToken("run1", "tiny", 1, {1e-9, 1e-3});
  AddToken("run1", "often", 1, {0.5, 1e-3});
  // "tiny" 2,000 times, scored first (the lower count), takes both groups out
  // of range; "often" 10,000 times favours group 1 by far more:
  // 2000 ln 1e-9 + 10000 ln .5 against 2000 ln 1e-3 + 10000 ln 1e-3.
  auto sentences = [](const std::string& word, int n) {
    std::string text;
    for (int i = 0; i < n; ++i) {
      for (int k = 0; k < 100; ++k) text += word + " ";
      text += ". ";
    }
    return text;
  };
  const std::string essay = sentences("tiny", 20) + sentences("often", 100);
  GroupScores s = Score(essay, "( isword )", 1, Priors());
  EXPECT_NEAR(static_cast<double>(s.value[1] + s.value[2]), 1.0, 1e-12);
  EXPECT_GT(static_cast<double>(s.value[1]), 0.99);
  // Bernoulli sees each token once: 1e-9 x .5 against 1e-3 x 1e-3.
  session->options.Model = 2;
  s = Score(essay, "( isword )", 1, Priors());
  EXPECT_NEAR(static_cast<double>(s.value[1]), 5e-10 / (5e-10 + 1e-6), 1e-12);
}

TEST_F(Classifier, AConditionWithoutRowsLeavesThePriors) {
  MakeProject(2, {0.3, 0.7});
  session->options.Model = 2;
  AddToken("run1", "alpha", 1, {0.5, 0.25});
  GroupScores s = Score("alpha beta", "( isarg )", 1, Priors());
  EXPECT_NEAR(static_cast<double>(s.value[1]), 0.3, 1e-15);
  EXPECT_NEAR(static_cast<double>(s.value[2]), 0.7, 1e-15);
}

TEST_F(Classifier, AFirstSentenceWithoutTokensEndsTheEssay) {
  MakeProject(2, {0.3, 0.7});
  AddToken("run1", "alpha", 1, {0.9, 0.1});
  AddToken("run1", "beta", 1, {0.9, 0.1});
  for (const char* essay : {"Essay. alpha beta", ". alpha beta", "The cat sat. alpha beta"}) {
    GroupScores s = Score(essay, "( isword )", 1, Priors());
    EXPECT_NEAR(static_cast<double>(s.value[1]), 0.3, 1e-15) << essay;
    EXPECT_EQ(Marks("alpha"), 0u) << essay;
  }
  // Once a sentence has counted, a later empty one still ends the counting.
  GroupScores later = Score("alpha beta. Word. beta alpha", "( isword )", 1, Priors());
  EXPECT_EQ(Marks("alpha"), 1u);
  EXPECT_NEAR(static_cast<double>(later.value[1]), 0.3 * 0.81 / (0.3 * 0.81 + 0.7 * 0.01),
              1e-15);
}

TEST_F(Classifier, LowInformationTokensLeaveWhenExcluded) {
  MakeProject(2);
  AddToken("run1", "alpha", 1, {0.5, 0.25}, 0.2);
  AddToken("run1", "beta", 1, {0.2, 0.6}, 0.9);
  session->options.IncludeLowInfo = 0;  // lowinfo .3: alpha drops out
  GroupScores s = Score("alpha beta", "( isword )", 1, Priors());
  EXPECT_NEAR(static_cast<double>(s.value[1]), 0.25, 1e-15);
}

TEST_F(Classifier, LongEssaysStillPredictInsteadOfUnderflowing) {
  MakeProject(2);
  // 2000 known words at 1E-4 and 5E-5: the product (1E-8000) lies below even
  // the extended range, yet group 1 is 2^2000 times more likely.
  std::string essay;
  for (int i = 0; i < 2000; ++i) {
    std::string word = "word" + std::to_string(10000 + i);
    AddToken("run1", word, 1, {1e-4, 5e-5});
    essay += word + " ";
  }
  GroupScores s = Score(essay, "( isword )", 1, Priors());
  EXPECT_GT(static_cast<double>(s.value[1]), 0.999999);
  EXPECT_EQ(PredictedGroup(s, 2), 1);
  EXPECT_EQ(VerdictWinner(s, 2), 1);

  // Bernoulli as well (present tokens and the absent one).
  session->options.Model = 2;
  AddToken("run1", "absentword", 1, {0.5, 0.5});
  GroupScores b = Score(essay, "( isword )", 1, Priors());
  EXPECT_GT(static_cast<double>(b.value[1]), 0.999999);
}

TEST_F(Classifier, RescalingDoesNotChangeResultsThatNeverUnderflowed) {
  MakeProject(2);
  std::string essay;
  for (int i = 0; i < 40; ++i) {
    std::string word = "term" + std::to_string(100 + i);
    AddToken("run1", word, 1, {1e-9, 2e-9});
    essay += word + " ";
  }
  // 1E-360: below the rescaling floor, well inside the extended range.
  GroupScores s = Score(essay, "( isword )", 1, Priors());
  const long double direct = 1.0L / (1.0L + std::pow(2.0L, 40.0L));
  EXPECT_NEAR(static_cast<double>(s.value[1] / direct), 1.0, 1e-12);
}

TEST_F(Classifier, RevealingTokenListing) {
  MakeProject(2);
  AddToken("run1", "alpha", 1, {0.3, 0.1}, 0.5, 12.5);
  AddToken("run1", "incomprehensibilitiesandmoreandmore", 1, {0.2, 0.2}, 0.1, 3);
  AddToken("run1", "unused", 1, {0.2, 0.2}, 0.9, 3);
  GroupScores s = Priors();
  std::string listing = "before\r\n";
  ScoreEssay(*session, "alpha incomprehensibilitiesandmoreandmore", "( isword )", 1, listing, 1, s);
  EXPECT_EQ(listing,
            "before\r\n"
            "Token                       Freq/1000          Odds for Group\r\n" +
                Spaces(38) + "     1       2  \r\n" +
                "alpha" + Spaces(28) + "12.50" + Spaces(9) + "75.0%" + Spaces(5) + "25.0%\r\n" +
                "incomprehensibilitiesandmorea" + Spaces(5) + "3.00" + Spaces(9) + "50.0%" +
                Spaces(5) + "50.0%\r\n");
  // Any other showTokens clears the listing.
  s = Priors();
  ScoreEssay(*session, "alpha beta", "( isword )", 1, listing, 0, s);
  EXPECT_EQ(listing, "");
}

TEST_F(Classifier, ListingStopsAtFortyNineRowsInInformationOrder) {
  MakeProject(2);
  std::string essay;
  for (int i = 0; i < 60; ++i) {
    std::string word = "tok" + std::to_string(100 + i);
    AddToken("run1", word, 1, {0.5, 0.5}, 0.001 * (i + 1));
    essay += word + " ";
  }
  GroupScores s = Priors();
  std::string listing;
  ScoreEssay(*session, essay, "( isword )", 1, listing, 1, s);
  int rows = 0;
  size_t at = 0;
  while ((at = listing.find("\r\n", at)) != std::string::npos) {
    ++rows;
    at += 2;
  }
  EXPECT_EQ(rows, 2 + 49);
  EXPECT_EQ(listing.find("tok159"), listing.find("\r\n", listing.find("\r\n") + 2) + 2);
  EXPECT_EQ(listing.find("tok110"), std::string::npos);  // the 50th
  EXPECT_NE(listing.find("tok111"), std::string::npos);  // the 49th
}

TEST_F(Classifier, ClassifyCombinesKindsFromThePriors) {
  MakeProject(2, {0.25, 0.75});
  SetTrainSize({2, 2});
  AddToken("run1", "alpha", 1, {0.6, 0.2});
  AddToken("run1", "beta", 1, {0.6, 0.2});
  AddToken("run1", "alpha beta", 2, {0.4, 0.1});
  GroupScores s;
  std::string listing;
  ClassifyEssay(*session, "alpha beta", 1, 1, 0, 0, listing, s);
  // Words: .25 x .36 against .75 x .04; phrases: .25 x .4 against .75 x .1.
  const double w1 = 0.09 / (0.09 + 0.03), p1 = 0.1 / (0.1 + 0.075);
  const double expected = w1 * p1 / (w1 * p1 + (1 - w1) * (1 - p1));
  EXPECT_NEAR(static_cast<double>(s.value[1]), expected, 1e-15);
  EXPECT_NEAR(static_cast<double>(s.value[1] + s.value[2]), 1.0, 1e-15);

  // No kind at all: every group gets the same share.
  ClassifyEssay(*session, "alpha beta", 0, 0, 0, 0, listing, s);
  EXPECT_NEAR(static_cast<double>(s.value[1]), 0.5, 1e-15);
  EXPECT_FALSE(session->db.InTransaction());
}

}  // namespace
}  // namespace tarne::testing
