// A project's counting rules: which sentences and words training counts,
// that scoring and untraining count the same, and that the rules stay fixed
// while the database holds trained essays.
#include <gtest/gtest.h>

#include "project/project_dialog_rules.h"
#include "project/save_project.h"
#include "scoring/scoring.h"
#include "support/training_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class CountingRulesTest : public TrainingFixture {
 protected:
  // The rows with counts, both tables, and the training records.
  Lines Counted() {
    Lines out;
    for (const char* table : {"run1", "stem"})
      for (const std::string& row :
           Rows(std::string("SELECT Vocab, isword, isphrase, isarg, isstop, v1, v2, w1, w2 FROM ") +
                    table + " WHERE v1<>0 OR v2<>0 OR w1<>0 OR w2<>0 ORDER BY Vocab, isword",
                9))
        out.push_back(table + std::string(":") + row);
    for (const std::string& row :
         Rows("SELECT filen, isinwords, isinphrases, isinargs FROM calib WHERE "
              "isinwords<>0 OR isinphrases<>0 OR isinargs<>0 ORDER BY filen",
              4))
      out.push_back("calib:" + row);
    out.push_back("trainsize:" + Rows("SELECT g1, g2 FROM trainsize", 2).at(0));
    return out;
  }
};

TEST_F(CountingRulesTest, SentencesAndWordsCountedUnderEachRule) {
  MakeProject(2);
  // Sentences: "mr", "bold dogs run", "big cats sat on it", "dogs run on".
  const std::string essay = "Mr. Bold dogs run. Big cats sat on it. Dogs run on.";
  struct Case {
    CountingRules rules;
    Lines words;  // Vocab|v1 of run1
  };
  const Case cases[] = {
      // "mr" has no two kept words: it ends the essay.
      {{false, 4}, {}},
      {{false, 2}, {}},
      // Skipped instead; sentences 3 and 4 keep one word of 4 letters each.
      {{true, 4}, {"bold|1.0", "dogs|1.0"}},
      {{true, 3}, {"big|1.0", "bold|1.0", "cats|1.0", "dogs|2.0", "run|2.0", "sat|1.0"}},
      {{true, 2},
       {"big|1.0", "bold|1.0", "cats|1.0", "dogs|2.0", "it|1.0", "on|2.0", "run|2.0",
        "sat|1.0"}},
  };
  for (const Case& c : cases) {
    Sql("DELETE FROM run1");
    session->settings.rules = c.rules;
    std::string text = essay;
    AddEssay(*session, text, "1", 1, 0);
    EXPECT_EQ(Rows("SELECT Vocab, v1 FROM run1 WHERE isword=1 ORDER BY Vocab", 2), c.words)
        << c.rules.allSentences << c.rules.minWordLength;
    // Scoring marks the same tokens as often as training counted them.
    WriteEssayMarks(*session, essay, 1);
    EXPECT_EQ(Value("SELECT count(*) FROM run1 WHERE thisessay<>v1"), 0);
  }
}

TEST_F(CountingRulesTest, UntrainingLeavesTheTablesOfNeverHavingTrained) {
  MakeProject(2);
  session->settings.rules = {true, 2};
  Essay(1, "a.txt", "Mr. Dogs run on it. We sat. Big dogs and cats ran on.");
  Essay(2, "c.txt", "E.g. so on. Cats ran to it and we sat.");
  TrainKind(*session, TokenKind::Words);
  TrainKind(*session, TokenKind::Pairs);
  const Lines without = Counted();

  const std::string b =
      Essay(1, "b.txt", "Oh. It is so. Dogs ran on. Cats sat on it... Big cats and dogs ran.");
  TrainKind(*session, TokenKind::Words);
  TrainKind(*session, TokenKind::Pairs);
  ASSERT_NE(Counted(), without);
  ASSERT_EQ(RemoveFlaggedFiles(*session, {" 1" + b}), 1);
  EXPECT_EQ(Counted(), without);
}

TEST_F(CountingRulesTest, FixedWhileTheDatabaseHoldsTrainedEssays) {
  MakeProject(2);
  const std::string a = Essay(1, "a.txt", "Players walking quickly. Alpha zulu players.");
  TrainKind(*session, TokenKind::Words);
  ProjectDialogValues values = OpeningDialogValues(session->settings, SaveMode::Edit);
  values.rules = {true, 3};
  EXPECT_FALSE(SaveProject(*session, values, SaveMode::Edit));
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages.back().text, kCountingRulesFixed);
  EXPECT_TRUE(session->settings.rules.Classic());
  // With every essay untrained the rules may change again.
  ASSERT_EQ(RemoveFlaggedFiles(*session, {" 1" + a}), 1);
  EXPECT_TRUE(SaveProject(*session, values, SaveMode::Edit));
  EXPECT_EQ(session->settings.rules, (CountingRules{true, 3}));
}

}  // namespace
}  // namespace tarne::testing
