// Recomputation: the selection condition, probabilities, frequencies and
// information gain against values worked out by hand.
#include <gtest/gtest.h>

#include <cmath>

#include "support/test_server.h"
#include "support/training_fixture.h"
#include "shell/numbers.h"
#include "training/model_settings.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class RecomputeTest : public TrainingFixture {
 protected:
  void Token(const std::string& table, const std::string& vocab, const std::string& flag,
             const std::string& counts) {
    Sql("INSERT INTO " + table + " (Vocab, " + flag + ", " + counts.substr(0, counts.find('=')) +
        ") VALUES ('" + vocab + "', 1, " + counts.substr(counts.find('=') + 1) + ")");
  }
  double Col(const std::string& column, const std::string& vocab, const std::string& table = "run1") {
    return Value("SELECT " + column + " FROM " + table + " WHERE Vocab='" + vocab + "'");
  }
  std::string Run(int kind, int conditionOnly = 0) {
    std::string condition = "unchanged";
    Recompute(*session, condition, KindOf(kind), conditionOnly == 1);
    return condition;
  }
  void AllOff() {
    ScoringOptions& o = session->options;
    o.IncludeStopWords = o.IncludeCommon = o.IncludeRare = o.IncludeLowInfo = 0;
  }
  std::string Pane() const { return port.PaneText(); }
};

TEST_F(RecomputeTest, SelectionConditionText) {
  MakeProject(3);
  Sql("UPDATE trainsize SET g1=20, g2=25, g3=15");
  AllOff();
  EXPECT_EQ(Run(1, 1),
            "( isword ) AND (isstop<>1) AND ((1000* (v1+v2+v3)/ 60)< 1000) AND "
            "((1000* (v1+v2+v3)/ 60)> 40)");
  EXPECT_TRUE(port.progress.empty());
  EXPECT_EQ(Pane(), "");

  session->options.Model = 2;
  session->options.IncludeStopWords = 1;
  session->options.IncludeCommon = 1;
  session->settings.rare = 2.5;
  session->settings.wkeep = 1;
  EXPECT_EQ(Run(2, 1), "(  isphrase ) AND ((1000* (w1+w2+w3)/ 60)> 2.5) AND keep=1");
  session->options = ScoringOptions{};
  session->settings.wkeep = 0;
  EXPECT_EQ(Run(3, 1), "( isarg )");
  EXPECT_EQ(Run(0, 1), "( isword )");
  EXPECT_EQ(Run(4, 1), "( isword )");
}

TEST_F(RecomputeTest, MultinomialProbabilitiesAndTheTwoGroupGain) {
  MakeProject(2);
  Sql("UPDATE trainsize SET g1=12, g2=8");
  // S1 = 498, S2 = 998 and V = 2, so the unseen token gets p1 = 1/500 and
  // p2 = 1/1000: q1 = 2/3, q2 = 1/3 and a gain of 1 - 0.9183 bits.
  Token("run1", "seen", "isword", "v1, v2=498, 998");
  Token("run1", "unseen", "isword", "v1, v2=0, 0");
  EXPECT_EQ(Run(1), "( isword )");
  EXPECT_DOUBLE_EQ(Col("p1", "unseen"), 0.002);
  EXPECT_DOUBLE_EQ(Col("p2", "unseen"), 0.001);
  EXPECT_NEAR(Col("entropy", "unseen"), 0.0817042, 1e-7);
  EXPECT_NEAR(Col("entropy", "unseen"), 1 - (2.0 / 3 * std::log2(1.5) + 1.0 / 3 * std::log2(3)),
              1e-12);
  EXPECT_DOUBLE_EQ(Col("p1", "seen"), 499.0 / 500);
  EXPECT_DOUBLE_EQ(Col("p2", "seen"), 999.0 / 1000);
  EXPECT_DOUBLE_EQ(Col("sum", "seen"), 1000.0 * 1496 / 20);
  EXPECT_DOUBLE_EQ(Col("sum", "unseen"), 0);
  ASSERT_EQ(port.progress.size(), 1u);
  EXPECT_EQ(port.progress[0].caption, "Recomputing");
  EXPECT_TRUE(port.progress[0].shutDown);
  EXPECT_EQ(port.appends, (Lines{"Vocabulary size = 2 ", "un", "stemmed", " words", "\r\n"}));
}

TEST_F(RecomputeTest, PriorsWeighTheGain) {
  MakeProject(2, {0.25, 0.75});
  Sql("UPDATE trainsize SET g1=1");
  Token("run1", "seen", "isword", "v1, v2=498, 998");
  Token("run1", "unseen", "isword", "v1, v2=0, 0");
  Run(1);
  // q1 = .25 * .002 / (.25 * .002 + .75 * .001) = .4
  EXPECT_NEAR(Col("entropy", "unseen"), 1 - (0.4 * std::log2(1 / 0.4) + 0.6 * std::log2(1 / 0.6)),
              1e-12);
}

TEST_F(RecomputeTest, EqualCountsGiveNoGain) {
  MakeProject(3);
  Sql("UPDATE trainsize SET g1=5, g2=5, g3=5");
  Token("stem", "even", "isword", "v1, v2, v3=4, 4, 4");
  Token("stem", "odd", "isword", "v1, v2, v3=1, 1, 1");
  session->options.Stemmed = 1;
  Run(1);
  EXPECT_DOUBLE_EQ(Col("p1", "even", "stem"), Col("p3", "even", "stem"));
  EXPECT_NEAR(Col("entropy", "even", "stem"), 0, 1e-12);
  EXPECT_EQ(port.appends, (Lines{"Vocabulary size = 2 ", "stemmed", " words", "\r\n"}));
}

TEST_F(RecomputeTest, BernoulliEstimateIsTheShareOfTheGroupsEssays) {
  MakeProject(3);
  Sql("UPDATE trainsize SET g1=48, g2=10, g3=0");
  Token("run1", "token", "isword", "w1, w2, w3, v1=4, 0, 1, 9");
  Token("run1", "other", "isword", "w1, w2, w3=20, 5, 0");
  session->options.Model = 2;
  Run(1);
  EXPECT_DOUBLE_EQ(Col("p1", "token"), 5.0 / 50);
  EXPECT_DOUBLE_EQ(Col("p2", "token"), 1.0 / 12);
  EXPECT_DOUBLE_EQ(Col("p3", "token"), 2.0 / 2);
  EXPECT_DOUBLE_EQ(Col("p1", "other"), 21.0 / 50);
  EXPECT_DOUBLE_EQ(Col("sum", "token"), 1000.0 * 5 / 58);
}

TEST_F(RecomputeTest, BernoulliPhrasesCountTheEssaysTrainedForPhrases) {
  MakeProject(2);
  Sql("UPDATE trainsize SET g1=10, g2=10");
  for (const char* row : {"'a', 1, 1, 1", "'b', 1, 1, 1", "'c', 1, 1, 1", "'d', 1, 1, 0",
                          "'e', 2, 1, 0"})
    Sql(std::string("INSERT INTO calib (filen, gr, isinwords, isinphrases) VALUES (") + row + ")");
  Token("run1", "alpha bravo", "isphrase", "w1, w2=2, 0");
  session->options.Model = 2;
  Run(2);
  EXPECT_DOUBLE_EQ(Col("p1", "alpha bravo"), 3.0 / 5);
  EXPECT_DOUBLE_EQ(Col("p2", "alpha bravo"), 1.0 / 2);
  EXPECT_EQ(port.appends[3], " phrases");
}

TEST_F(RecomputeTest, SmoothingPriorsFromTrainingAndStopWordsOnly) {
  MakeProject(2);
  Sql("UPDATE trainsize SET g1=12, g2=8");
  Token("run1", "seen", "isword", "v1, v2, w1, w2=498, 998, 3, 0");
  Token("run1", "unseen", "isword", "v1, v2=0, 0");
  Sql("INSERT INTO run1 (Vocab, isword, isstop, v1, v2) VALUES ('very', 1, 1, 2, 0)");
  ScoringOptions& o = session->options;
  o.IncludeStopWords = 0;  // only the two tokens without the stop flag
  o.Alpha = 0.5;
  Run(1);
  // (v + a) / (N + a V): N1 = 498, N2 = 998, V = 2.
  EXPECT_DOUBLE_EQ(Col("p1", "unseen"), 0.5 / 499);
  EXPECT_DOUBLE_EQ(Col("p2", "seen"), 998.5 / 999);
  EXPECT_DOUBLE_EQ(Col("p1", "seen"), MultinomialProbability(498, 498, 2, 0.5));
  o.Model = 2;
  Run(1);
  // (w + a) / (n + 2a) over the 12 and 8 essays trained.
  EXPECT_DOUBLE_EQ(Col("p1", "seen"), 3.5 / 13);
  EXPECT_DOUBLE_EQ(Col("p2", "seen"), 0.5 / 9);
  EXPECT_DOUBLE_EQ(Col("p2", "seen"), BernoulliProbability(0, 8, 0.5));

  // Priors .6 and .4 from 12 and 8 essays: with p1 = 2 p2 the unseen token
  // gives q1 = .75.
  o = ScoringOptions{};
  o.IncludeStopWords = 0;
  o.PriorsFromTraining = 1;
  Run(1);
  EXPECT_DOUBLE_EQ(Col("p1", "unseen"), 0.002);
  EXPECT_NEAR(Col("entropy", "unseen"), 1 - (0.75 * std::log2(1 / 0.75) + 0.25 * std::log2(4)),
              1e-12);

  o.StopWordsOnly = 1;  // wins over the Stop Words box
  EXPECT_EQ(Run(1), "( isword ) AND (isstop=1)");
  // The one stop token: p1 = 3 / (2 + 1), p2 = 1 / (0 + 1).
  EXPECT_DOUBLE_EQ(Col("p1", "very"), 1);
  EXPECT_EQ(port.appends.back(), "\r\n");
  EXPECT_EQ(port.appends[port.appends.size() - 5], "Vocabulary size = 1 ");
}

TEST_F(RecomputeTest, RowsOutsideTheConditionKeepTheirValues) {
  MakeProject(3);
  Sql("UPDATE trainsize SET g1=20, g2=20, g3=20");
  // 2 in 60 essays is 33.3 per 1000, below the rare threshold of 40.
  Sql("INSERT INTO run1 (Vocab, isword, v1, v2, p1, p2, p3, sum, entropy) "
      "VALUES ('rare', 1, 1, 1, 7, 7, 7, 7, 7)");
  Token("run1", "often", "isword", "v1, v2, v3=2, 2, 2");
  session->options.IncludeCommon = 0;
  session->options.IncludeRare = 0;
  Run(1);
  EXPECT_EQ(Rows("SELECT p1, p2, p3, sum, entropy FROM run1 WHERE Vocab='rare'", 5),
            (Lines{"7.0|7.0|7.0|7.0|7.0"}));
  EXPECT_DOUBLE_EQ(Col("sum", "often"), 100);
  // The selected vocabulary alone is the denominator: V = 1.
  EXPECT_DOUBLE_EQ(Col("p1", "often"), 3.0 / 3);
  EXPECT_EQ(port.appends[0], "Vocabulary size = 1 ");
}

TEST_F(RecomputeTest, LowInformationTokensLeaveTheVocabularySize) {
  MakeProject(2);
  Sql("UPDATE trainsize SET g1=3, g2=3");
  Token("run1", "first", "isword", "v1, v2=40, 0");
  Token("run1", "second", "isword", "v1, v2=0, 40");
  Token("run1", "both", "isword", "v1, v2=20, 20");
  Run(1);
  EXPECT_EQ(port.appends[0], "Vocabulary size = 3 ");
  EXPECT_GT(Col("entropy", "first"), 0.3);
  EXPECT_NEAR(Col("entropy", "both"), 0, 1e-12);
  port.appends.clear();
  session->options.IncludeLowInfo = 0;
  Run(1);
  EXPECT_EQ(port.appends[0], "Vocabulary size = 2 ");
}

// The values worked out in memory must be, bit for bit, those of the
// statement written out over the count columns, after any sequence of
// option changes, and a run that changes nothing must leave every row.
TEST_F(RecomputeTest, InMemoryValuesEqualTheWrittenOutStatement) {
  MakeProject(3, {.2, .3, .5});
  Sql("UPDATE trainsize SET g1=7, g2=11, g3=13");
  for (int i = 0; i < 60; ++i)
    Token("run1", "t" + std::to_string(i), i % 7 == 0 ? "isphrase" : "isword",
          "v1, v2, v3, w1, w2, w3=" + std::to_string(i % 5) + ", " + std::to_string(i * 7 % 11) +
              ", " + std::to_string(i % 3 ? 0 : i) + ", " + std::to_string(i % 4) + ", " +
              std::to_string(i % 6) + ", " + std::to_string(i % 2));
  struct Case {
    int model;
    double alpha;
    int rare;
    int priorsFromTraining;
  };
  const Case cases[] = {{1, 1, 1, 0}, {2, 1, 1, 0}, {1, .1, 0, 0}, {2, .3, 1, 1},
                        {1, 1, 0, 1}, {1, 1, 0, 1}, {2, 1, 1, 0}};
  for (const Case& c : cases) {
    ScoringOptions& o = session->options;
    o.Model = c.model;
    o.Alpha = c.alpha;
    o.IncludeRare = c.rare;
    o.PriorsFromTraining = c.priorsFromTraining;
    const std::string condition = Run(1, 1);
    const std::string x = c.model == 1 ? "v" : "w";
    const std::string sums[] = {"", "(SELECT sum(" + x + "1) FROM run1 WHERE " + condition + ")",
                                "(SELECT sum(" + x + "2) FROM run1 WHERE " + condition + ")",
                                "(SELECT sum(" + x + "3) FROM run1 WHERE " + condition + ")"};
    const int vocabulary = static_cast<int>(Value("SELECT count(*) FROM run1 WHERE " + condition));
    const std::vector<double> priors = ScoringPriors(*session);
    std::string set, gain = "gain( 1.58496250072116";
    for (int g = 1; g <= 3; ++g) {
      const double n = Value("SELECT g" + std::to_string(g) + " FROM trainsize");
      const std::string p = c.model == 1
                                ? MultinomialExpression(g, Value("SELECT " + sums[g]), vocabulary,
                                                        c.alpha)
                                : BernoulliExpression(g, n, c.alpha);
      set += "p" + std::to_string(g) + "=" + p + ", ";
      gain += ", " + TrimmedNumber(priors[g - 1]) + ", " + p;
    }
    Sql("DROP TABLE IF EXISTS expected");
    Sql("CREATE TABLE expected AS SELECT rowid AS r, * FROM run1");
    Sql("UPDATE expected SET " + set + "sum=1000*(" + x + "1+" + x + "2+" + x + "3)/ 31, entropy=" +
        gain + ", entropy) WHERE " + condition);
    Run(1);
    Run(1);  // nothing left to change
    EXPECT_EQ(Value("SELECT count(*) FROM run1 JOIN expected ON run1.rowid = r WHERE "
                    "run1.p1 IS DISTINCT FROM expected.p1 OR run1.p2 IS DISTINCT FROM expected.p2 OR "
                    "run1.p3 IS DISTINCT FROM expected.p3 OR run1.sum IS DISTINCT FROM expected.sum OR "
                    "run1.entropy IS DISTINCT FROM expected.entropy"),
              0)
        << "model " << c.model << " alpha " << c.alpha;
  }
}

// A server writes again only the rows whose values change, however many
// of the selection they are: a row written again gets a new version.
TEST_F(RecomputeTest, OnTheServerOnlyChangedRowsGetANewVersion) {
  if (!ProjectsOnServer()) GTEST_SKIP() << "row versions are the server's";
  MakeProject(2);
  Sql("UPDATE trainsize SET g1=10, g2=10");
  for (int i = 0; i < 8; ++i) Token("run1", "t" + std::to_string(i), "isword", "w1, w2=2, 3");
  session->options.Model = 2;  // a row's estimate depends on its own counts alone
  Run(1);
  const Lines before = Rows("SELECT xmin FROM run1 ORDER BY rowid", 1);
  Sql("UPDATE run1 SET w1=w1+1 WHERE Vocab IN ('t1', 't4', 't6')");
  const Lines counted = Rows("SELECT xmin FROM run1 ORDER BY rowid", 1);
  Run(1);
  const Lines after = Rows("SELECT xmin FROM run1 ORDER BY rowid", 1);
  ASSERT_EQ(after.size(), 8u);
  int rewritten = 0;
  for (size_t i = 0; i < after.size(); ++i) rewritten += after[i] != counted[i];
  EXPECT_EQ(rewritten, 3);
  EXPECT_NE(before, counted);
}

// A Cancel while a large vocabulary is read (poll 1) or written (poll 3,
// after the first stretch of rows) ends the recomputation with nothing of
// it kept and no message; without a place to say so, it is not looked for.
TEST_F(RecomputeTest, ACancelStopsALargeRecomputationAndKeepsNothing) {
  for (const int poll : {1, 3, 0}) {
    MakeProject(2);
    Sql("UPDATE trainsize SET g1=20, g2=25");
    Sql("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000) "
        "INSERT INTO run1 (Vocab, isword, v1, v2) SELECT 'w' || i, 1, i % 7, i % 5 FROM n");
    port.cancelCaption = "Recomputing";
    port.cancelAtPollOfCaption = poll == 0 ? 1 : poll;
    std::string condition = "unchanged";
    bool cancelled = false;
    const bool done = Recompute(*session, condition, TokenKind::Words, false, nullptr, {},
                                poll == 0 ? nullptr : &cancelled);
    if (poll == 3 && ProjectsOnServer()) continue;  // a server's write is one statement
    EXPECT_EQ(done, poll == 0) << poll;
    EXPECT_EQ(cancelled, poll != 0) << poll;
    EXPECT_EQ(Value("SELECT count(*) FROM run1 WHERE p1<>0"), poll == 0 ? 20000 : 0) << poll;
    EXPECT_TRUE(port.messages.empty()) << poll;
    EXPECT_EQ(Pane().find("Database error"), std::string::npos) << poll;
    EXPECT_EQ(condition.empty(), poll != 0) << poll;
  }
}

TEST_F(RecomputeTest, NothingTrained) {
  MakeProject(2);
  Token("run1", "word", "isword", "v1=3");
  EXPECT_EQ(Run(1), "unchanged");
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Database error. Nothing trained?");
  EXPECT_EQ(port.messages[0].caption, "Tarne");
  EXPECT_EQ(port.messages[0].buttons, Buttons::Ok);
  EXPECT_EQ(Pane(), "");
  EXPECT_TRUE(port.progress.empty());
  EXPECT_EQ(Col("p1", "word"), 0);
}

}  // namespace
}  // namespace tarne::testing
