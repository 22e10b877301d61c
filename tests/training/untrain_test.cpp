// Taking essays out again: what removal subtracts, its guards, its texts,
// and that training again restores the same state.
#include <gtest/gtest.h>

#include "support/training_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class Untrain : public TrainingFixture {
 protected:
  void SetUp() override {
    MakeProject(2);
    a = Essay(1, "a.txt", "Players walking quickly. Alpha zulu players.");
    b = Essay(1, "b.txt", "Players walking slowly. Bravo alpha walking.");
    c = Essay(2, "c.txt", "Players walking. Alpha bravo.");
  }
  void TrainAll() {
    TrainKind(*session, TokenKind::Words);
    TrainKind(*session, TokenKind::Pairs);
    TrainKind(*session, TokenKind::Arguments);
  }
  std::string Flags(const std::string& path) {
    return Rows("SELECT isinwords, isinphrases, isinargs FROM calib WHERE filen='" + path + "'", 3)
        .at(0);
  }
  std::string a, b, c;
};

TEST_F(Untrain, TrainUntrainTrainAgainGivesTheSameTables) {
  TrainAll();
  const Lines trained = Dump();
  ASSERT_GT(Value("SELECT count(*) FROM run1 WHERE isarg=1"), 0);
  RemoveFlaggedFiles(*session, {" 1" + b});
  EXPECT_EQ(Flags(b), "0|0|0");
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), 1);
  EXPECT_NE(Dump(), trained);
  TrainAll();
  EXPECT_EQ(Dump(), trained);
}

TEST_F(Untrain, RemovingAWordsOnlyFileLowersExactlyItsRows) {
  Essay(1, "b.txt", "Delta echo.");
  TrainKind(*session, TokenKind::Words);
  const Lines before = Rows("SELECT Vocab, v1, w1 FROM run1 ORDER BY Vocab", 3);
  const Lines stemBefore = Rows("SELECT Vocab, v1, w1 FROM stem ORDER BY Vocab", 3);
  RemoveFlaggedFiles(*session, {" 1" + a});
  EXPECT_EQ(Rows("SELECT Vocab, v1, w1 FROM run1 ORDER BY Vocab", 3),
            (Lines{"alpha|0.0|0.0", "bravo|0.0|0.0", "delta|1.0|1.0", "echo|1.0|1.0", "players|0.0|0.0",
                   "quickly|0.0|0.0", "walking|0.0|0.0", "zulu|0.0|0.0"}));
  EXPECT_EQ(Rows("SELECT Vocab, v1 FROM stem WHERE v1 > 0 ORDER BY Vocab", 2),
            (Lines{"delta|1.0", "echo|1.0"}));
  EXPECT_EQ(Rows("SELECT g1, g2 FROM trainsize", 2), (Lines{"1|1"}));
  EXPECT_EQ(Flags(a), "0|0|0");
  TrainKind(*session, TokenKind::Words);
  EXPECT_EQ(Rows("SELECT Vocab, v1, w1 FROM run1 ORDER BY Vocab", 3), before);
  EXPECT_EQ(Rows("SELECT Vocab, v1, w1 FROM stem ORDER BY Vocab", 3), stemBefore);
}

TEST_F(Untrain, WordsAndPhrasesComeOutOfBothTables) {
  TrainKind(*session, TokenKind::Words);
  TrainKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Flags(c), "1|1|0");
  RemoveFlaggedFiles(*session, {" 2" + c});
  EXPECT_EQ(Flags(c), "0|0|0");
  EXPECT_EQ(Value("SELECT sum(v2) + sum(w2) FROM run1"), 0);
  EXPECT_EQ(Value("SELECT sum(v2) + sum(w2) FROM stem"), 0);
  EXPECT_EQ(Value("SELECT g2 FROM trainsize"), 0);
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='players walking' AND isphrase=1"), 2);
}

TEST_F(Untrain, GuardsKeepCountsFromGoingNegative) {
  TrainKind(*session, TokenKind::Words);
  // Pretend the counts of one word were lost already.
  Sql("UPDATE run1 SET w1=0, v1=0 WHERE Vocab='zulu'");
  Sql("UPDATE run1 SET v1=1 WHERE Vocab='players'");  // the essay counts it twice
  RemoveFlaggedFiles(*session, {" 1" + a});
  EXPECT_EQ(Rows("SELECT Vocab, v1, w1 FROM run1 WHERE Vocab IN ('zulu','players','walking')"
                 " ORDER BY Vocab",
                 3),
            (Lines{"players|1.0|1.0", "walking|2.0|1.0", "zulu|0.0|0.0"}));
  EXPECT_EQ(Value("SELECT min(v1) FROM run1"), 0);
}

TEST_F(Untrain, RemoveEssayLeavesTheCallersTextAsItWas) {
  TrainKind(*session, TokenKind::Words);
  std::string text = "Players WALKING quickly.";
  RemoveEssay(*session, text, "1", 1);
  EXPECT_EQ(text, "Players WALKING quickly.");
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='walking'"), 2);  // a 1, b 2, less 1
  EXPECT_EQ(Value("SELECT thisessay FROM run1 WHERE Vocab='walking'"), 1);
}

TEST_F(Untrain, ReportsAndCancel) {
  TrainKind(*session, TokenKind::Words);
  port.logLines.clear();
  port.appends.clear();
  port.messages.clear();
  port.cancelCaption = "Removing";
  port.cancelAtPollOfCaption = 3;  // the first poll of the second entry
  RemoveFlaggedFiles(*session, {" 1" + a, " 1" + b, " 2" + c});
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text, "Done removing 3 files.");
  EXPECT_EQ(port.messages[0].caption, "");
  EXPECT_EQ(LogLines(), (Lines{"Remove files started 3 files flagged", "Done removing 1 files"}));
  EXPECT_EQ(port.appends, (Lines{"Removed: " + a + "\r\n", "\r\n 1 files removed\r\n"}));
  EXPECT_EQ(port.progress.back().caption, "Removing");
  EXPECT_EQ(port.progress.back().texts, (Lines{"Working on file 1 of  3"}));
  EXPECT_EQ(port.progress.back().percents, (std::vector<int>{34}));
  EXPECT_EQ(Flags(a), "0|0|0");
  EXPECT_EQ(Flags(b), "1|0|0");
}

TEST_F(Untrain, UnknownAndUnreadableEntriesChangeNothing) {
  TrainKind(*session, TokenKind::Words);
  const Lines before = Dump();
  const std::string moved = temp.Path() + "moved.txt";
  ASSERT_EQ(std::rename(b.c_str(), moved.c_str()), 0);
  port.logLines.clear();
  RemoveFlaggedFiles(*session, {" 1" + TrainFolder(1) + "never.txt", " 1" + b});
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(LogLines(), (Lines{"Remove files started 2 files flagged",
                               "Not trained: " + TrainFolder(1) + "never.txt",
                               "Could not read file " + b, "Done removing 0 files"}));
}

}  // namespace
}  // namespace tarne::testing
