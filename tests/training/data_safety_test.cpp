// What must never corrupt a project's counts: removal in the wrong group, a
// statement that fails in the middle of a run, a busy database, two runs at
// once, folder texts without their last "/".
#include <gtest/gtest.h>

#include "db/gateway.h"
#include "project/run_lock.h"
#include "scoring/scoring.h"
#include "support/training_fixture.h"
#include "text/word_lists.h"
#include "training/training.h"
#include "training/training_batches.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class DataSafety : public TrainingFixture {
 protected:
  void SetUp() override {
    MakeProject(2);
    a = Essay(1, "a.txt", "Players walking quickly. Alpha zulu players.");
    c = Essay(2, "c.txt", "Players walking. Alpha bravo.");
  }
  std::string Trainsize() { return Rows("SELECT g1, g2 FROM trainsize", 2).at(0); }
  std::string a, c;
};

TEST_F(DataSafety, RemovalTakesTheGroupFromTheTrainingRecordAndHappensOnce) {
  TrainKind(*session, TokenKind::Words);
  Essay(1, "b.txt", "Delta echo.");
  // The entry names group 2, the file was trained in group 1.
  EXPECT_EQ(RemoveFlaggedFiles(*session, {" 2" + a}), 1);
  EXPECT_EQ(Trainsize(), "0|1");
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='zulu'"), 0);
  EXPECT_EQ(Value("SELECT v2 FROM run1 WHERE Vocab='players'"), 1);
  port.appends.clear();
  EXPECT_EQ(RemoveFlaggedFiles(*session, {" 1" + a}), 0);
  EXPECT_EQ(Trainsize(), "0|1");
  EXPECT_EQ(port.appends, (Lines{"Not trained: " + a + "\r\n", "\r\n 0 files removed\r\n"}));
}

// A trigger that fails the statements of table matching when, with message:
// SQLite's RAISE or, on a server, a PL/pgSQL exception.
void FailingTrigger(Database& db, const std::string& name, const std::string& event,
                    const std::string& when, const std::string& message) {
  if (!db.IsServer()) {
    db.Statement(1, "CREATE TRIGGER " + name + " " + event + " WHEN " + when +
                        " BEGIN SELECT RAISE(ABORT, '" + message + "'); END");
    return;
  }
  db.Statement(1, "CREATE FUNCTION " + name + "_fails() RETURNS trigger LANGUAGE plpgsql AS $$ "
                  "BEGIN IF " + when + " THEN RAISE EXCEPTION '" + message + "'; END IF; "
                  "RETURN NEW; END $$");
  db.Statement(1, "CREATE TRIGGER " + name + " " + event + " FOR EACH ROW EXECUTE FUNCTION " +
                      name + "_fails()");
}

TEST_F(DataSafety, AFailedStatementStopsTheRunAndKeepsNothingOfTheEssay) {
  allowDatabaseErrors = true;
  Database& db = session->db;
  FailingTrigger(db, "disk_full", "BEFORE INSERT ON calib", "NEW.filen LIKE '%c.txt'",
                 "database or disk is full");
  EXPECT_FALSE(TrainKind(*session, TokenKind::Words));
  // Both essays went into one batch: the run keeps neither, reports the
  // group it stopped in with what was kept, and tells nothing after it.
  EXPECT_EQ(Trainsize(), "0|0");
  EXPECT_EQ(Value("SELECT count(*) FROM run1"), 0);
  const std::string pane = port.PaneText();
  const std::string stopped = "Training group 1 words 0 files completed\r\n\r\nDatabase error: ";
  ASSERT_NE(pane.find(stopped), std::string::npos) << pane;
  EXPECT_NE(pane.find("database or disk is full", pane.find(stopped)), std::string::npos) << pane;
  EXPECT_EQ(pane.find("group 2"), std::string::npos);

  // Scoring on probabilities that could not be written gives no report,
  // and leaves the table as it was.
  Sql(db.IsServer() ? "DROP TRIGGER disk_full ON calib" : "DROP TRIGGER disk_full");
  ASSERT_TRUE(TrainKind(*session, TokenKind::Words));
  const std::vector<std::string> before = Rows("SELECT Vocab, p1, p2, sum, entropy FROM run1 ORDER BY rowid", 5);
  FailingTrigger(db, "ro", "BEFORE UPDATE OF p1 ON run1", "1=1", "readonly");
  session->options.What = 1;
  temp.Sub("essays/trial1");
  temp.Sub("essays/trial2");
  port.pane.Clear();
  EXPECT_FALSE(ScoringCommand(*session));
  EXPECT_NE(port.PaneText().find("readonly"), std::string::npos) << port.PaneText();
  EXPECT_EQ(port.PaneText().find("Accuracy"), std::string::npos);
  EXPECT_EQ(Rows("SELECT Vocab, p1, p2, sum, entropy FROM run1 ORDER BY rowid", 5), before);
}

TEST_F(DataSafety, ABusyDatabaseStopsTheRunBeforeTheEssayIsCounted) {
  allowDatabaseErrors = true;
  Database other;
  // Another program's write in progress: on a server, a lock on the table
  // the run records its essays in.
  if (session->db.IsServer()) {
    ASSERT_TRUE(other.OpenServer(server.Connection(), "proj"));
    ASSERT_TRUE(other.Begin());
    ASSERT_TRUE(other.Exec("LOCK TABLE calib IN EXCLUSIVE MODE"));
  } else {
    ASSERT_TRUE(other.OpenFile(session->db.FilePath()));
    ASSERT_TRUE(other.Exec("BEGIN IMMEDIATE"));
  }
  session->db.SetBusyTimeout(50);
  EXPECT_FALSE(TrainKind(*session, TokenKind::Words));
  other.Rollback();
  EXPECT_EQ(Trainsize(), "0|0");
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 0);
  EXPECT_NE(port.PaneText().find(session->db.IsServer() ? "lock timeout" : "Database error: database is locked"),
            std::string::npos) << port.PaneText();
  EXPECT_TRUE(TrainKind(*session, TokenKind::Words));
  EXPECT_EQ(Trainsize(), "1|1");
}

// Others read a server project while it is scored: until the run is
// through they see the tables as they were, then all of its work at once.
TEST_F(DataSafety, OthersSeeAScoringRunWholeOrNotAtAll) {
  if (!ProjectsOnServer()) GTEST_SKIP() << "a file project has one run at a time and no other reader";
  ASSERT_TRUE(TrainKind(*session, TokenKind::Words));
  Database other;
  ASSERT_TRUE(other.OpenServer(server.Connection(), "proj"));
  const std::string state = "SELECT Vocab, p1, p2, sum, entropy, thisessay FROM run1 ORDER BY rowid";
  const std::vector<std::string> before = QueryRows(other, state, 6);
  std::vector<std::vector<std::string>> during;
  port.onSet = [&](const std::string&) { during.push_back(QueryRows(other, state, 6)); };
  session->options.What = 2;
  ASSERT_TRUE(ScoringCommand(*session));
  ASSERT_EQ(during.size(), 2u);  // one essay of each group
  for (const std::vector<std::string>& seen : during) EXPECT_EQ(seen, before);
  EXPECT_EQ(QueryRows(other, state, 6), Rows(state, 6));
  EXPECT_NE(Rows(state, 6), before);
}

TEST_F(DataSafety, TablesChangedByAnotherProgramDuringARunAreReadAgain) {
  // A run reads its vocabulary again when another connection changed the
  // file; a server's tables are changed only by runs that hold the
  // project's lock, so there a run reads them once.
  if (ProjectsOnServer()) GTEST_SKIP() << "a server project's tables change only under its run lock";
  Database other;
  ASSERT_TRUE(other.OpenFile(session->db.FilePath()));
  bool changed = false;
  port.onPendingMessages = [&] {
    if (!changed) other.Statement(1, "INSERT INTO run1 (Vocab, isword, v1, w1) VALUES ('zulu', 1, 5, 5)");
    changed = true;
  };
  EXPECT_TRUE(TrainKind(*session, TokenKind::Words));
  // Counted into the row the other program wrote, not into a second one.
  EXPECT_EQ(Rows("SELECT v1, w1 FROM run1 WHERE Vocab='zulu'", 2), (Lines{"6.0|6.0"}));
  EXPECT_EQ(Trainsize(), "1|1");
}

TEST_F(DataSafety, ASecondRunOnAProjectInUseIsRefused) {
  HookedPort otherPort;
  Session other(otherPort, session->configFolder);
  other.settings = session->settings;
  ASSERT_TRUE(other.OpenProjectDatabase());
  {
    RunLock held(other);
    ASSERT_TRUE(held.Held());
    EXPECT_FALSE(TrainKind(*session, TokenKind::Words));
    EXPECT_EQ(RemoveFlaggedFiles(*session, {" 1" + a}), -1);
    session->options.What = 1;
    EXPECT_FALSE(ScoringCommand(*session));
  }
  EXPECT_EQ(Trainsize(), "0|0");
  ASSERT_FALSE(port.messages.empty());
  EXPECT_EQ(port.messages[0].text,
            "Project proj is in use by another Tarne run.\r\nTry again when that run has finished.");
  EXPECT_TRUE(TrainKind(*session, TokenKind::Words));
  EXPECT_EQ(Trainsize(), "1|1");
}

TEST_F(DataSafety, AFolderTextWithoutItsSlashStillTrainsEveryFile) {
  std::string folder = TrainFolder(1);
  folder.pop_back();
  session->settings.path2train[0] = folder;
  EXPECT_TRUE(TrainKind(*session, TokenKind::Words));
  EXPECT_EQ(Rows("SELECT filen FROM calib WHERE gr=1", 1), (Lines{folder + "/a.txt"}));
  EXPECT_EQ(Trainsize(), "1|1");
  EXPECT_EQ(Value("SELECT v1 FROM run1 WHERE Vocab='zulu'"), 1);
}

TEST_F(DataSafety, CompactionThatFailsIsNotReportedDone) {
  allowDatabaseErrors = true;
  ASSERT_TRUE(session->db.Begin());
  EXPECT_FALSE(CompactCommand(*session));
  session->db.Rollback();
  ASSERT_EQ(port.messages.size(), 1u);
  EXPECT_EQ(port.messages[0].text.rfind("Could not compact the database: ", 0), 0u);
}

// A Cancel that cannot wait gives up what is not committed, whole essays
// only, and the essays added afterwards are counted against the tables as
// they really are: the end state is that of a run without the Cancel.
TEST_F(DataSafety, ACancelThatCannotWaitGivesUpWholeEssaysAndTrainingGoesOn) {
  const std::string textA = "players walking quickly. alpha zulu players.";
  const std::string textC = "players walking. alpha bravo.";
  ASSERT_TRUE(TrainKind(*session, TokenKind::Words));
  const std::vector<std::string> straight = Dump();
  // The order of the rows (a server does not number them from 1 again).
  const auto rowids = [this] { return Rows("SELECT Vocab FROM stem ORDER BY rowid", 1); };
  const std::vector<std::string> straightRows = rowids();
  for (const char* table : {"run1", "stem", "calib"}) Sql(std::string("DELETE FROM ") + table);
  Sql("UPDATE trainsize SET g1=0, g2=0");
  const std::vector<std::string> empty = Dump();

  LoadWordLists();
  TrainingBatches batches(session->db, 1, session->settings.rules);
  ASSERT_TRUE(batches.Load());
  ASSERT_TRUE(batches.Add(textA, a, 1));
  ASSERT_TRUE(batches.Cancel(std::chrono::milliseconds(0)));
  EXPECT_EQ(batches.Kept(1), 0);
  EXPECT_FALSE(batches.Pending(1));
  EXPECT_EQ(Dump(), empty);

  ASSERT_TRUE(batches.Add(textA, a, 1));
  ASSERT_TRUE(batches.Add(textC, c, 2));
  ASSERT_TRUE(batches.Cancel());  // time enough: both are kept
  EXPECT_EQ(batches.Kept(1) + batches.Kept(2), 2);
  EXPECT_EQ(Dump(), straight);
  EXPECT_EQ(rowids(), straightRows);
}

}  // namespace
}  // namespace tarne::testing
