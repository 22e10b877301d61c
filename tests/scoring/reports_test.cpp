#include <ctime>
#include <string>

#include "scoring_fixture.h"
#include "shell/log_file.h"

namespace tarne::testing {
namespace {

class Reports : public ScoringFixture {
 protected:
  void AddCounts(const std::string& table, const std::string& vocab, const char* flag, int v1,
                 int v2, int stop = 0) {
    Sql("INSERT INTO " + table + " (Vocab," + flag + ",isstop,v1,v2) VALUES ('" + vocab +
        "',1," + std::to_string(stop) + "," + std::to_string(v1) + "," + std::to_string(v2) +
        ")");
  }
};

// Nine characters, right-aligned, as the count columns show them.
std::string C(int n) {
  std::string s = std::to_string(n);
  return Spaces(9 - static_cast<int>(s.size())) + s;
}
std::string C13(int n) {
  std::string s = std::to_string(n);
  return Spaces(13 - static_cast<int>(s.size())) + s;
}

TEST_F(Reports, DatabaseStatisticsWholeText) {
  MakeProject(2);
  SetTrainSize({3, 2});
  AddCounts("run1", "alpha", "isword", 4, 1);
  AddCounts("run1", "beta", "isword", 0, 2);
  AddCounts("run1", "also", "isword", 3, 3, 1);
  AddCounts("run1", "gamma", "isword", 0, 0);
  AddCounts("run1", "alpha beta", "isphrase", 1, 0);
  AddCounts("stem", "alph", "isword", 4, 1);
  AddCounts("stem", "alph beta", "isphrase", 1, 0);

  const std::time_t now = 1700000000;
  ShowDatabaseStatistics(*session, now);

  const std::string gap = "     ";
  std::string expected =
      "Database Statistics  Project proj  " + LocalTimestamp(now) + "\r\n\r\n" +
      "Files read:\r\n" + Spaces(10) + "   Total   Grp 1   Grp 2\r\n" + Spaces(10) + C(5) + C(3) +
      C(2) + "\r\n\r\n" + "Unstemmed words and phrases\r\n" +
      "             Unstemmed Words    Unstemmed Phrases   Unstemmed Arguments       Combined\r\n" +
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n" +
      " Total     " + C(13) + C(4) + gap + C(1) + C(1) + gap + C(0) + C(0) + gap + C(14) + C(5) +
      "\r\n" + " Group 1   " + C(7) + C(2) + gap + C(1) + C(1) + gap + C(0) + C(0) + gap + C(8) +
      C(3) + "\r\n" + " Group 2   " + C(6) + C(3) + gap + C(0) + C(0) + gap + C(0) + C(0) + gap +
      C(6) + C(3) + "\r\n" + "\r\n\r\n" + "Stemmed words and phrases\r\n" +
      "              Stemmed Words       Stemmed Phrases    Stemmed Arguments        Combined\r\n" +
      "              Total  Unique        Total  Unique        Total  Unique        Total  "
      "Unique\r\n\r\n" +
      " Total     " + C(5) + C(1) + gap + C(1) + C(1) + gap + C(0) + C(0) + gap + C(6) + C(2) +
      "\r\n" + " Group 1   " + C(4) + C(1) + gap + C(1) + C(1) + gap + C(0) + C(0) + gap + C(5) +
      C(2) + "\r\n" + " Group 2   " + C(1) + C(1) + gap + C(0) + C(0) + gap + C(0) + C(0) + gap +
      C(1) + C(1) + "\r\n" + "\r\n" +
      "Number of rare tokens (occurs less than   40.0 times per 1000):\r\n" +
      "   unstemmed words:    " + C13(1) + "\r\n" + "   unstemmed phrases:  " + C13(0) + "\r\n" +
      "   unstemmed arguments:" + C13(0) + "\r\n" + "   unstemmed total:    " + C13(1) +
      "\r\n\r\n" + "   stemmed words:      " + C13(0) + "\r\n" + "   stemmed phrases:    " +
      C13(0) + "\r\n" + "   stemmed arguments:  " + C13(0) + "\r\n" +
      "   stemmed total:      " + C13(0) + "\r\n\r\n" +
      "Number of common terms (occurs   1000 times per 1000 or more):\r\n" +
      "   unstemmed: " + C(2) + "\r\n" + "   stemmed:   " + C(1) + "\r\n\r\n" +
      "Number of stop words: " + C(1) + " (unstemmed)\r\n";
  EXPECT_EQ(port.PaneText(), expected);
  EXPECT_EQ(session->db.FailureCount(), 0);
}

TEST_F(Reports, RateExactlyAtTheThresholds) {
  MakeProject(2);
  SetTrainSize({50, 50});  // T = 100
  AddCounts("run1", "atrare", "isword", 2, 2);      // 40 per 1000: not rare
  AddCounts("run1", "belowrare", "isword", 1, 2);   // 30 per 1000: rare
  AddCounts("run1", "atcommon", "isword", 50, 50);  // 1000 per 1000: common
  ShowDatabaseStatistics(*session, 0);
  const std::string& text = port.PaneText();
  EXPECT_NE(text.find("   unstemmed words:    " + C13(1) + "\r\n"), std::string::npos);
  EXPECT_NE(text.find("   unstemmed: " + C(1) + "\r\n"), std::string::npos);
}

TEST_F(Reports, TopWordsWholeText) {
  MakeProject(2, {0.5, 0.5});
  SetTrainSize({2, 2});
  AddCounts("run1", "alpha", "isword", 3, 1);
  AddCounts("run1", "beta", "isword", 1, 1);
  AddCounts("run1", "gamma", "isword", 0, 2);
  session->options.CodePhrases = 1;
  session->options.Stemmed = 1;
  session->options.IncludeCommon = 0;
  session->options.IncludeRare = 0;
  ShowTopTokens(*session, TokenKind::Words);

  // p = (v + 1) / (4 + 3); beta has equal odds and no information gain.
  EXPECT_EQ(PaneFrom("Top Words"),
            "Top Words\r\n"
            "\r\n" +
                Spaces(15) + Spaces(4) + "Frequency  " + "  Probability     Adjusted" +
                "\r\n     term           " + "     1     2" + "     1       2  " +
                " Info Gain\r\n\r\n" + "   1 " + "gamma" + Spaces(10) + "     0     2" +
                "  .14286  .42857" + "    .1887\r\n" + "   2 " + "alpha" + Spaces(10) +
                "     3     1" + "  .57143  .28571" + "    .0817\r\n");
  const ScoringOptions& o = session->options;
  EXPECT_EQ(o.CodeWords, 1);
  EXPECT_EQ(o.CodePhrases, 0);
  EXPECT_EQ(o.Stemmed, 0);
  EXPECT_EQ(o.IncludeCommon, 1);
  EXPECT_EQ(o.IncludeRare, 0);  // keeps its value
}

TEST_F(Reports, TopReportsOfOtherKindsAndGroupCounts) {
  MakeProject(5);
  SetTrainSize({1, 1, 1, 1, 1});
  AddCounts("run1", "even split", "isarg", 0, 0);  // trained, but tells no group apart
  ShowTopTokens(*session, TokenKind::Arguments);
  EXPECT_EQ(PaneFrom("Top Arguements"),
            "Top Arguements\r\n\r\n" + Spaces(15) + Spaces(28) + "Frequency  " + Spaces(24) +
                "  Probability     Adjusted\r\n     term           " +
                "     1     2     3     4     5" + "     1       2       3       4       5  " +
                " Info Gain\r\n\r\n");
  // No pairs trained: no recomputation, no empty table, but what to do.
  ShowTopTokens(*session, TokenKind::Pairs);
  EXPECT_EQ(PaneFrom("Top Phrases"),
            "Top Phrases\r\nNo word pairs are trained yet: tick Options > Allow Train Word "
            "Pairs, then choose Train > Word Pairs.\r\n");
  EXPECT_EQ(session->options.CodePhrases, 1);
  EXPECT_EQ(session->options.CodeWords, 0);
  EXPECT_EQ(session->options.CodeArguments, 0);
}

TEST_F(Reports, TopTokensCutsLongTokensAndNumbersUpToAHundredRows) {
  MakeProject(2, {0.5, 0.5});
  SetTrainSize({2, 2});
  for (int i = 0; i < 120; ++i)
    AddCounts("run1", "verylongtokenname" + std::to_string(1000 + i), "isword", i % 7 + 1, 0);
  ShowTopTokens(*session, TokenKind::Words);
  const std::string text = PaneFrom("Top Words");
  EXPECT_NE(text.find("\r\n  10 verylongtokenna"), std::string::npos);
  EXPECT_NE(text.find("\r\n 100 verylongtokenna"), std::string::npos);
  EXPECT_EQ(text.find("\r\n 101 "), std::string::npos);
}

}  // namespace
}  // namespace tarne::testing
