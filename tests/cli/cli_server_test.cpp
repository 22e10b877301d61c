// tarne-cli with projects on a PostgreSQL server: a second process refused
// while a run holds the project, and a trained project copied to the server
// and back with its tables and reports unchanged.
#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "db/gateway.h"
#include "project/run_lock.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"
#include "support/test_server.h"

namespace fs = std::filesystem;

namespace tarne::testing {
namespace {

// Every value of the four tables in row order, reals in full.
std::string Tables(Database& db) {
  std::string out;
  const std::vector<std::pair<std::string, int>> queries = {
      {"SELECT Vocab, v1, v2, v3, w1, w2, w3, p1, p2, sum, entropy, isword, isphrase, isarg, "
       "isstop, keep, thisessay, rowid FROM run1 ORDER BY rowid", 18},
      {"SELECT Vocab, v1, v2, v3, w1, w2, w3, p1, p2, sum, entropy, isword, isphrase, isarg, "
       "isstop, keep, thisessay, rowid FROM stem ORDER BY rowid", 18},
      {"SELECT filen, gr, isinwords, isinphrases, isinargs, rowid FROM calib ORDER BY rowid", 6},
      {"SELECT * FROM trainsize", 5}};
  for (const auto& [sql, columns] : queries) {
    db.Statement(1, sql);
    for (db.FetchResult(1); db.EndOfData(1) == 0; db.FetchResult(1)) {
      for (int c = 1; c <= columns; ++c) out += db.ColumnText(1, c) + "|";
      out += "\n";
    }
  }
  return out;
}

class ServerCliTest : public ::testing::Test {
 protected:
  // Named after the process, so that tests run side by side never share it.
  const std::string sname = "cliserver" + std::to_string(::getpid());
  void SetUp() override {
    server = TestServer();
    if (server.empty()) GTEST_SKIP() << kNoTestServer;
    DropServerProject(sname);
    fs::copy(std::string(TARNE_SOURCE_DIR) + "/examples", work.Path() + "essays",
             fs::copy_options::recursive);
  }
  void TearDown() override {
    if (!server.empty()) DropServerProject(sname);
  }
  std::vector<std::string> New(const std::string& root) const {
    std::vector<std::string> args = {"new", "--name", sname, "--root", root, "--groups", "3"};
    for (const char* g : {"g1", "g2", "g3"}) {
      args.insert(args.end(), {"--train", work.Path() + "essays/train/" + g});
      args.insert(args.end(), {"--trial", work.Path() + "essays/trial/" + g});
    }
    return args;
  }

  std::string server;
  TempFolder home;
  TempFolder work;
};

TEST_F(ServerCliTest, ASecondRunIsRefusedWhileAnotherHoldsTheProject) {
  std::vector<std::string> args = New(work.Path() + "p");
  args.insert(args.end(), {"--server", server + " password=secret"});
  CliResult refused = RunCli(args, home.Path());
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("A password is never kept in the project file"), std::string::npos)
      << refused.err;
  EXPECT_FALSE(FileExists(work.Path() + "p/" + sname + ".trn"));

  args.resize(args.size() - 1);
  args.push_back(server);
  ASSERT_EQ(RunCli(args, home.Path()).exitCode, 0);
  const std::string project = work.Path() + "p/" + sname + ".trn";
  EXPECT_FALSE(FileExists(work.Path() + "p/" + sname + ".db"));

  Database other;  // another Tarne run's connection, holding the project
  ASSERT_TRUE(other.OpenServer(server, sname));
  ASSERT_TRUE(TakeServerRunLock(other, sname));
  const auto started = std::chrono::steady_clock::now();
  CliResult waiting = RunCli({"train", project, "words"}, home.Path());
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
  EXPECT_NE(waiting.exitCode, 0);
  EXPECT_NE((waiting.out + waiting.err).find("Project " + sname + " is in use by another Tarne run"),
            std::string::npos)
      << waiting.out << waiting.err;

  ReleaseServerRunLock(other, sname);
  CliResult trained = RunCli({"train", project, "words"}, home.Path());
  EXPECT_EQ(trained.exitCode, 0) << trained.err;
  EXPECT_NE(trained.out.find("Training group 3 words 10 files completed"), std::string::npos);
}

TEST_F(ServerCliTest, CopyToTheServerAndBackKeepsTablesAndReports) {
  const std::string project = work.Path() + "file/" + sname + ".trn";
  ASSERT_EQ(RunCli(New(work.Path() + "file"), home.Path()).exitCode, 0);
  for (const char* kind : {"words", "pairs", "arguments"})
    ASSERT_EQ(RunCli({"train", project, kind}, home.Path()).exitCode, 0);
  // The scoring marks of the last essay are part of what is copied.
  const std::vector<std::string> score = {"score", project, "trial", "--words", "--phrases"};
  const CliResult scored = RunCli(score, home.Path());
  ASSERT_EQ(scored.exitCode, 0);
  const std::string stats = RunCli({"stats", project}, home.Path()).out;
  Database original;
  ASSERT_TRUE(original.OpenFile(work.Path() + "file/" + sname + ".db"));
  const std::string tables = Tables(original);

  // The file project is copied to the server and points there from then on.
  CliResult up = RunCli({"copy", project, "--server", server}, home.Path());
  ASSERT_EQ(up.exitCode, 0) << up.err;
  EXPECT_EQ(up.out, "Project " + sname + " copied to the server\n");
  EXPECT_NE(ReadFile(project).find("dbprogram=PostgreSQL"), std::string::npos);
  EXPECT_NE(RunCli({"copy", project, "--server", server}, home.Path()).exitCode, 0);
  Database onServer;
  ASSERT_TRUE(onServer.OpenServer(server, sname));
  EXPECT_EQ(Tables(onServer), tables);

  CliResult down = RunCli({"copy", project, "--sqlite", work.Path() + "back"}, home.Path());
  ASSERT_EQ(down.exitCode, 0) << down.err;
  Database back;
  ASSERT_TRUE(back.OpenFile(work.Path() + "back/" + sname + ".db"));
  EXPECT_EQ(Tables(back), tables);

  const std::string backProject = work.Path() + "back/" + sname + ".trn";
  for (const std::string& p : {project, backProject}) {
    std::vector<std::string> args = score;
    args[1] = p;
    EXPECT_EQ(RunCli(args, home.Path()).out, scored.out) << p;
    // After the heading, which has the time.
    const std::string again = RunCli({"stats", p}, home.Path()).out;
    EXPECT_EQ(again.substr(again.find('\n')), stats.substr(stats.find('\n'))) << p;
  }
}

}  // namespace
}  // namespace tarne::testing
