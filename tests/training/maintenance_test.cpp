// Purges, erase and compaction, with their questions, texts and thresholds.
#include <gtest/gtest.h>

#include "support/training_fixture.h"
#include "training/training.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class Maintenance : public TrainingFixture {
 protected:
  void SetUp() override {
    MakeProject(2);
    Sql("UPDATE trainsize SET g1=30, g2=20");  // 50 essays
    for (const char* table : {"run1", "stem"}) {
      const std::string t = table;
      // 1 in 50 essays is 20 per 1000; 2 in 50 is exactly 40, not below it.
      Sql("INSERT INTO " + t + " (Vocab, isword, v1) VALUES ('once', 1, 1)");
      Sql("INSERT INTO " + t + " (Vocab, isword, v1, v2) VALUES ('twice', 1, 1, 1)");
      Sql("INSERT INTO " + t + " (Vocab, isphrase, v1) VALUES ('once once', 1, 1)");
      Sql("INSERT INTO " + t + " (Vocab, isarg, v2) VALUES ('once twice', 1, 1)");
    }
    Sql("INSERT INTO calib (filen, gr, isinwords, isinphrases, isinargs) VALUES ('/x', 1, 1, 1, 1)");
  }
  Lines Vocab(const std::string& table) {
    return Rows("SELECT Vocab FROM " + table + " ORDER BY Vocab", 1);
  }
};

TEST_F(Maintenance, PurgeInfrequentWordsAtTheThreshold) {
  port.answers = {Answer::Ok, Answer::No};
  PurgeInfrequent(*session, TokenKind::Words);
  const Lines kept{"once once", "once twice", "twice"};
  EXPECT_EQ(Vocab("run1"), kept);
  EXPECT_EQ(Vocab("stem"), kept);
  EXPECT_EQ(Rows("SELECT * FROM calib", 5), (Lines{"/x|1|1|1|1"}));
  EXPECT_EQ(Rows("SELECT g1, g2 FROM trainsize", 2), (Lines{"30|20"}));

  ASSERT_EQ(port.messages.size(), 3u);
  EXPECT_EQ(port.messages[0].text,
            "This will purge infrequent words from the \r\ndatabase. \r\n\r\nAre you sure?");
  EXPECT_EQ(port.messages[0].caption, "Erase database");
  EXPECT_EQ(port.messages[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(port.messages[0].icon, Icon::Question);
  EXPECT_EQ(port.messages[1].text, "Do you want to quickly back-up the database before proceeding?");
  EXPECT_EQ(port.messages[2].text, "Purge complete");
  EXPECT_EQ(port.messages[2].caption, "Purge");
  EXPECT_EQ(LogLines(), (Lines{"Purge Infrequent words started",
                               "Purge infrequent  - 50 words to purge", "Database compacted",
                               "Purge complete"}));
  EXPECT_EQ(port.appends, (Lines{"\r\nPurge infrequent words\r\n"}));
  ASSERT_EQ(port.progress.size(), 1u);
  EXPECT_EQ(port.progress[0].caption, "Purging infrequent words");
  EXPECT_TRUE(port.progress[0].texts.empty());
  EXPECT_TRUE(port.progress[0].shutDown);
  EXPECT_EQ(port.polls, 0);
}

TEST_F(Maintenance, PurgeInfrequentPairsTouchesOnlyPairs) {
  port.answers = {Answer::Ok, Answer::No};
  session->settings.rare = 40.5;  // now "twice" would go too, were it a pair
  PurgeInfrequent(*session, TokenKind::Pairs);
  EXPECT_EQ(Vocab("run1"), (Lines{"once", "once twice", "twice"}));
  EXPECT_EQ(Vocab("stem"), (Lines{"once", "once twice", "twice"}));
  EXPECT_EQ(LogLines()[1], "Purge infrequent  - 50 phrases to purge");
}

TEST_F(Maintenance, CancelAtEitherQuestionChangesNothing) {
  const Lines before = Dump();
  port.answers = {Answer::Cancel};
  PurgeInfrequent(*session, TokenKind::Arguments);
  port.answers = {Answer::Ok, Answer::Cancel};
  PurgeInfrequent(*session, TokenKind::Arguments);
  port.answers = {Answer::Ok, Answer::Cancel};
  EraseDatabase(*session);
  port.answers = {Answer::Cancel};
  PurgeAllOfKind(*session, TokenKind::Pairs);
  EXPECT_EQ(Dump(), before);
  EXPECT_TRUE(port.logLines.empty());
  EXPECT_TRUE(port.progress.empty());
  EXPECT_EQ(port.messages.size(), 6u);
}

TEST_F(Maintenance, PurgeWithBackup) {
  port.answers = {Answer::Ok, Answer::Yes};
  PurgeInfrequent(*session, TokenKind::Arguments);
  const std::string backup =
      ProjectsOnServer() ? "proj0" : session->settings.path2root + "proj0.db";
  EXPECT_TRUE(BackupExists("proj0"));
  EXPECT_EQ(port.messages[2].text, "Backed up as \r\n" + backup);
  EXPECT_EQ(LogLines()[0], "Database backed up as " + backup);
  EXPECT_EQ(Vocab("run1"), (Lines{"once", "once once", "twice"}));
}

TEST_F(Maintenance, PurgeWithoutTrainsizeRow) {
  Sql("DELETE FROM trainsize");
  port.answers = {Answer::Ok, Answer::No};
  PurgeInfrequent(*session, TokenKind::Words);
  EXPECT_EQ(port.messages.back().text, "Nothing happened. Database problem");
  EXPECT_EQ(port.messages.back().caption, "Purge");
  EXPECT_EQ(LogLines(), (Lines{"Purge Infrequent words started", "Purge failure"}));
  EXPECT_EQ(Vocab("run1").size(), 4u);
  EXPECT_TRUE(port.progress[0].shutDown);
}

TEST_F(Maintenance, PurgeWithNothingTrainedDeletesNothing) {
  Sql("UPDATE trainsize SET g1=0, g2=0");
  port.answers = {Answer::Ok, Answer::No};
  PurgeInfrequent(*session, TokenKind::Words);
  EXPECT_EQ(Vocab("run1").size(), 4u);
  EXPECT_EQ(port.messages.back().text, "Purge complete");
  EXPECT_EQ(LogLines()[1], "Purge infrequent  - 0 words to purge");
}

TEST_F(Maintenance, PurgeAllPhrasesAndAllArguments) {
  PurgeAllOfKind(*session, TokenKind::Pairs);
  EXPECT_EQ(port.messages[0].text, "This will purge all phrases. \r\n\r\nAre you sure?");
  EXPECT_EQ(port.messages[0].caption, "Erase database");
  EXPECT_EQ(port.messages[0].icon, Icon::Question);
  EXPECT_EQ(port.messages[1].text, "Purge complete");
  EXPECT_EQ(port.messages[1].caption, "Purge");
  EXPECT_EQ(Vocab("stem"), (Lines{"once", "once twice", "twice"}));
  EXPECT_EQ(Rows("SELECT * FROM calib", 5), (Lines{"/x|1|1|0|1"}));
  PurgeAllOfKind(*session, TokenKind::Arguments);
  EXPECT_EQ(port.messages[2].text, "This will purge all arguments. \r\n\r\nAre you sure?");
  EXPECT_EQ(Vocab("run1"), (Lines{"once", "twice"}));
  EXPECT_EQ(Rows("SELECT * FROM calib", 5), (Lines{"/x|1|1|0|0"}));
  EXPECT_TRUE(port.logLines.empty());
  EXPECT_TRUE(port.progress.empty());
}

TEST_F(Maintenance, EraseEverything) {
  port.answers = {Answer::Ok, Answer::No};
  EraseDatabase(*session);
  EXPECT_EQ(port.messages[0].text, "This will totally erase your \r\ndatabase. Are you Sure?");
  EXPECT_EQ(port.messages[0].caption, "Erase database");
  EXPECT_EQ(port.messages[2].text, "Database erased");
  EXPECT_EQ(port.messages[2].caption, "Erase database");
  EXPECT_EQ(LogLines(), (Lines{"Database erased"}));
  EXPECT_EQ(port.appends, (Lines{"\r\nDatabase erased \r\n"}));
  EXPECT_EQ(Vocab("run1").size() + Vocab("stem").size(), 0u);
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 0);
  EXPECT_EQ(Rows("SELECT * FROM trainsize", 5), (Lines{"0|0|0|0|0"}));
  std::string condition;
  Recompute(*session, condition, TokenKind::Words, false);
  EXPECT_EQ(port.messages.back().text, "Database error. Nothing trained?");
}

}  // namespace
}  // namespace tarne::testing
