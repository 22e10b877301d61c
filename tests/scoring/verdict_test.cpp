#include <gtest/gtest.h>

#include <string>

#include "scoring/scoring.h"

namespace tarne {
namespace {

GroupScores Scores(long double a, long double b, long double c = 0, long double d = 0) {
  GroupScores s;
  s.value[1] = a;
  s.value[2] = b;
  s.value[3] = c;
  s.value[4] = d;
  return s;
}

std::string Line(int g, const std::string& what) {
  return "   The probability of this essay coming from group " + std::to_string(g) + " is " + what +
         "\r\n";
}

TEST(Verdict, WholeTextOfACertainVerdict) {
  const std::string text = VerdictText(Scores(0.05L, 0.95L), 2, "LISTING\r\n", "The essay.");
  EXPECT_EQ(text,
            "According to my calculations:\r\n\r\n" + Line(1, ".0500") + Line(2, ".9500") +
                "\r\n"
                "Therefore, I am very certain that the essay belongs in group 2\r\n\r\n"
                "-------------------------\r\n"
                "Words in the essay that were potentially the most revealing\r\n\r\n"
                "LISTING\r\n"
                "\r\n---------------\r\n"
                "The essay.\r\n\r\n");
}

TEST(Verdict, ProbabilityWordings) {
  const std::string text = VerdictText(Scores(0.005L, 0.995L), 2, "", "");
  EXPECT_NE(text.find(Line(1, "less than .01")), std::string::npos);
  EXPECT_NE(text.find(Line(2, "greater than .99")), std::string::npos);
  // Exactly the bounds are neither below .01 nor above .99.
  const std::string bounds = VerdictText(Scores(0.01, 0.99), 2, "", "");
  EXPECT_NE(bounds.find(Line(1, ".0100")), std::string::npos);
  EXPECT_NE(bounds.find(Line(2, ".9900")), std::string::npos);
  // Trailing zeros are shown to the mask's four places.
  const std::string half = VerdictText(Scores(0.5L, 0.25L, 0.25L), 3, "", "");
  EXPECT_NE(half.find(Line(1, ".5000")), std::string::npos);
  EXPECT_NE(half.find(Line(3, ".2500")), std::string::npos);
}

TEST(Verdict, ThinkBelowTheSinglePrecisionBound) {
  // 0.9 as a double lies above the single-precision 0.9 (0.899999976...).
  EXPECT_NE(VerdictText(Scores(0.1L, 0.9L), 2, "", "")
                .find("Therefore, I am very certain that the essay belongs in group 2\r\n"),
            std::string::npos);
  EXPECT_NE(VerdictText(Scores(0.10000002L, 0.89999997L), 2, "", "")
                .find("Therefore, I think the essay belongs in group 2\r\n"),
            std::string::npos);
  EXPECT_NE(VerdictText(Scores(0.3L, 0.7L), 2, "", "")
                .find("Therefore, I think the essay belongs in group 2\r\n"),
            std::string::npos);
}

TEST(Verdict, AGroupMustBeatTheUniformShare) {
  EXPECT_EQ(VerdictWinner(Scores(0.5L, 0.5L), 2), 0);
  EXPECT_NE(VerdictText(Scores(0.5L, 0.5L), 2, "", "").find("Therefore, I don't know.\r\n\r\n"),
            std::string::npos);
  // Four groups: 0.25 is not above 1/4, 0.26 is.
  EXPECT_EQ(VerdictWinner(Scores(0.25L, 0.25L, 0.25L, 0.25L), 4), 0);
  EXPECT_EQ(VerdictWinner(Scores(0.24L, 0.25L, 0.25L, 0.26L), 4), 4);
  // Every score underflowed: nothing beats 1/G.
  EXPECT_EQ(VerdictWinner(Scores(0, 0, 0), 3), 0);
}

TEST(Verdict, TiesGoToTheLowerGroup) {
  EXPECT_EQ(VerdictWinner(Scores(0.1L, 0.45L, 0.45L), 3), 2);
  EXPECT_EQ(VerdictWinner(Scores(0.45L, 0.1L, 0.45L), 3), 1);
}

TEST(BatchWinner, HighestPosteriorLowerGroupOnTies) {
  EXPECT_EQ(PredictedGroup(Scores(0.4L, 0.4L, 0.2L), 3), 1);
  EXPECT_EQ(PredictedGroup(Scores(0.2L, 0.4L, 0.4L), 3), 2);
  // Unlike the verdict, no share needs beating.
  EXPECT_EQ(PredictedGroup(Scores(0.5L, 0.5L), 2), 1);
  EXPECT_EQ(PredictedGroup(Scores(0.3L, 0.3L, 0.4L), 3), 3);
  EXPECT_EQ(PredictedGroup(Scores(0, 0, 0), 3), 0);
}

}  // namespace
}  // namespace tarne
