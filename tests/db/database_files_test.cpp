#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "db/database_files.h"
#include "db/datasources.h"
#include "db/gateway.h"
#include "db_fixture.h"
#include "support/recording_port.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

using Strings = std::vector<std::string>;
namespace fs = std::filesystem;

const char* const kQuestion = "Do you want to quickly back-up the database before proceeding?";

// These check the project file itself, which a server project has none of.
class DatabaseFileTest : public DbTest {
 protected:
  void SetUp() override {
    if (ProjectsOnServer()) GTEST_SKIP() << kSqliteFilesOnly;
    DbTest::SetUp();
  }
};

// --- creation -------------------------------------------------------------------

TEST_F(DatabaseFileTest, CreationRegistersTheFileUnderTheShortName) {
  EXPECT_EQ(File(), tmp.Path() + "grade7.db");
  EXPECT_EQ(LookupDataSource(Config(), "grade7"), File());
  EXPECT_EQ(tmp.Read("config/datasources.ini"),
            "[grade7]\nDriver=SQLite3\nDatabase=" + File() + "\n");
}

TEST_F(DatabaseFileTest, CreatingOverAnExistingProjectEmptiesItsDatabase) {
  db.Statement(1, "insert into calib (filen, gr) values ('a.txt', 1)");
  db.Statement(1, "update trainsize set g1= 1");
  db.Close();
  tmp.Write("grade7.db-wal", "a stale log that must not be replayed");
  // What a creation cut short by a crash leaves beside the database.
  tmp.Write("grade7.db.new", "half a database");
  tmp.Write("grade7.db.new-wal", "its log");
  ASSERT_TRUE(CreateProjectDatabase(tmp.Path(), "grade7", Config()));
  for (const char* left : {"grade7.db-wal", "grade7.db.new", "grade7.db.new-wal"})
    EXPECT_FALSE(FileExists(tmp.Path() + left)) << left;
  ASSERT_TRUE(db.OpenFile(File()));
  EXPECT_EQ(Single("select count(*) from calib"), 0.0);
  EXPECT_EQ(Single("select g1 from trainsize"), 0.0);
  EXPECT_EQ(Single("select count(*) from trainsize"), 1.0);
}

TEST(DatabaseCreation, FailsInAMissingFolder) {
  TempFolder tmp;
  EXPECT_FALSE(CreateProjectDatabase(tmp.Path() + "nowhere/", "grade7", tmp.Path() + "config/"));
  EXPECT_EQ(LookupDataSource(tmp.Path() + "config/", "grade7"), "");
}

// --- backups --------------------------------------------------------------------

TEST_F(DatabaseFileTest, BackupsTakeTheFirstFreeNumber) {
  EXPECT_EQ(NextBackupPath(tmp.Path(), "grade7"), tmp.Path() + "grade70.db");
  ASSERT_TRUE(db.BackupTo(NextBackupPath(tmp.Path(), "grade7")));
  EXPECT_EQ(NextBackupPath(tmp.Path(), "grade7"), tmp.Path() + "grade71.db");
  ASSERT_TRUE(db.BackupTo(NextBackupPath(tmp.Path(), "grade7")));
  EXPECT_EQ(NextBackupPath(tmp.Path(), "grade7"), tmp.Path() + "grade72.db");
  fs::remove(tmp.Path() + "grade70.db");
  EXPECT_EQ(NextBackupPath(tmp.Path(), "grade7"), tmp.Path() + "grade70.db");
}

TEST_F(DatabaseFileTest, ABackupIsAUsableSnapshot) {
  db.Statement(1, "insert into calib (filen, gr, isinwords) values ('a.txt', 2, 1)");
  db.Statement(2, "select filen from calib");  // a list open meanwhile
  db.FetchResult(2);
  ASSERT_TRUE(db.BackupTo(tmp.Path() + "copy.db"));
  EXPECT_EQ(db.ColumnText(2, 1), "a.txt");
  db.Statement(1, "insert into calib (filen, gr) values ('b.txt', 1)");

  Database copy;
  ASSERT_TRUE(copy.OpenFile(tmp.Path() + "copy.db"));
  copy.Statement(1, "select filen, gr from calib");
  copy.FetchResult(1);
  EXPECT_EQ(copy.ColumnText(1, 1), "a.txt");
  EXPECT_EQ(copy.ColumnUInt(1, 2), 2u);
  copy.FetchResult(1);
  EXPECT_EQ(copy.EndOfData(1), -1);
}

TEST_F(DatabaseFileTest, ABackupNeverOverwrites) {
  const std::string taken = tmp.Write("grade70.db", "keep me");
  EXPECT_FALSE(db.BackupTo(taken));
  EXPECT_EQ(ReadFile(taken), "keep me");
  EXPECT_EQ(errors, Strings{"Database error: file already exists in: backup to " + taken});
  errors.clear();
}

TEST_F(DatabaseFileTest, OfferBackupOnYesCopiesTellsAndLogs) {
  RecordingPort port;
  Strings log;
  port.answers = {Answer::Yes};
  EXPECT_EQ(OfferBackup(port, db, tmp.Path(), "grade7", [&](const std::string& l) { log.push_back(l); }),
            Answer::Yes);
  const std::string path = tmp.Path() + "grade70.db";
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[0].text, kQuestion);
  EXPECT_EQ(port.messages[0].caption, "Checking");
  EXPECT_EQ(port.messages[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(port.messages[0].icon, Icon::Question);
  EXPECT_EQ(port.messages[1].text, "Backed up as \r\n" + path);
  EXPECT_EQ(port.messages[1].caption, "");
  EXPECT_EQ(port.messages[1].buttons, Buttons::Ok);
  EXPECT_EQ(port.messages[1].icon, Icon::None);
  EXPECT_EQ(log, Strings{"Database backed up as " + path});
  Database copy;
  EXPECT_TRUE(copy.OpenFile(path));
}

TEST_F(DatabaseFileTest, OfferBackupOnNoOrCancelCopiesNothing) {
  for (Answer a : {Answer::No, Answer::Cancel}) {
    RecordingPort port;
    Strings log;
    port.answers = {a};
    EXPECT_EQ(OfferBackup(port, db, tmp.Path(), "grade7", [&](const std::string& l) { log.push_back(l); }),
              a);
    EXPECT_EQ(port.messages.size(), 1u);
    EXPECT_TRUE(log.empty());
  }
  EXPECT_FALSE(FileExists(tmp.Path() + "grade70.db"));
}

TEST_F(DatabaseFileTest, AFailedBackupIsSaidAndCancelsTheCommand) {
  RecordingPort port;
  Strings log;
  port.answers = {Answer::Yes};
  db.Close();
  const std::string path = tmp.Path() + "grade70.db";
  EXPECT_EQ(OfferBackup(port, db, tmp.Path(), "grade7", [&](const std::string& l) { log.push_back(l); }),
            Answer::Cancel);
  ASSERT_EQ(port.messages.size(), 2u);
  EXPECT_EQ(port.messages[1].text, "Could not back up the database to " + path);
  EXPECT_EQ(port.messages[1].caption, "Checking");
  EXPECT_EQ(port.messages[1].icon, Icon::Exclamation);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(FileExists(path));
  EXPECT_EQ(errors, Strings{"Database error: no database is open in: backup to " + path});
  errors.clear();
}

// --- awkward paths ---------------------------------------------------------------

TEST(DatabasePaths, AQuoteAndBlanksInThePathWork) {
  TempFolder tmp;
  const std::string root = tmp.Sub("o'brien's essays/year 7");
  const std::string config = tmp.Path() + "my config/";
  ASSERT_TRUE(CreateProjectDatabase(root, "grade 7", config));
  Database db;
  Strings errors;
  db.SetErrorSink([&](const std::string& m) { errors.push_back(m); });
  ASSERT_TRUE(db.OpenDataSource("DSN=grade 7", "", config));
  EXPECT_EQ(db.FilePath(), root + "grade 7.db");

  const std::string essay = root + "it's mine.txt";
  db.Statement(1, "insert into calib (filen, gr) values ('" + SqlQuote(essay) + "', 1)");
  db.Statement(1, "select filen from calib where filen='" + SqlQuote(essay) + "'");
  db.FetchResult(1);
  EXPECT_EQ(db.ColumnText(1, 1), essay);

  RecordingPort port;
  port.answers = {Answer::Yes};
  EXPECT_EQ(OfferBackup(port, db, root, "grade 7", nullptr), Answer::Yes);
  EXPECT_TRUE(FileExists(root + "grade 70.db"));
  EXPECT_TRUE(CompactDatabase(db));
  EXPECT_TRUE(errors.empty());
}

}  // namespace
}  // namespace tarne::testing
