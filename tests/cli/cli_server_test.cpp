// tarne-cli with projects on a PostgreSQL server: a second process refused
// while a run holds the project, two people working on one project at once,
// a trained project copied to the server and back with its tables and
// reports unchanged, and a project imported onto the server.
#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "db/gateway.h"
#include "db/prepared_statement.h"
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

  // A server project trained for words and pairs; its project file.
  std::string TrainedOnServer(const std::string& root) const {
    std::vector<std::string> args = New(root);
    args.insert(args.end(), {"--server", server});
    EXPECT_EQ(RunCli(args, home.Path()).exitCode, 0);
    const std::string project = root + "/" + sname + ".trn";
    for (const char* kind : {"words", "pairs"})
      EXPECT_EQ(RunCli({"train", project, kind}, home.Path()).exitCode, 0);
    return project;
  }
  bool Refused(const CliResult& r) const {
    return r.exitCode != 0 &&
           (r.out + r.err).find("Project " + sname + " is in use by another Tarne run") !=
               std::string::npos;
  }

  std::string server;
  TempFolder home;
  TempFolder work;
};

// The report without its first line, which has the time.
std::string AfterHeading(const std::string& report) {
  const size_t end = report.find('\n');
  return end == std::string::npos ? report : report.substr(end);
}

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

// Two people on one server project, each with a project file of their own
// that gives other priors: one scores again and again while the other lists
// top words and statistics.  Every report is the one its command gives
// alone, or today's refusal when the other run held the project too long.
TEST_F(ServerCliTest, TwoPeopleAtOnceEachGetTheReportsTheyGetAlone) {
  const std::string mine = TrainedOnServer(work.Path() + "a");
  fs::create_directories(work.Path() + "b");
  const std::string theirs = work.Path() + "b/" + sname + ".trn";
  {
    std::string text = std::regex_replace(ReadFile(mine), std::regex("priors1=[^\n]*"), "priors1=.2");
    text = std::regex_replace(text, std::regex("priors2=[^\n]*"), "priors2=.3");
    text = std::regex_replace(text, std::regex("priors3=[^\n]*"), "priors3=.5");
    std::ofstream(theirs) << text;
  }
  const std::vector<std::string> score = {"score", mine, "trial", "--words", "--phrases"};
  const std::vector<std::string> top = {"top", theirs, "words"};
  const CliResult scoreAlone = RunCli(score, home.Path());
  const CliResult topAlone = RunCli(top, home.Path());
  const std::string statsAlone = AfterHeading(RunCli({"stats", theirs}, home.Path()).out);
  ASSERT_EQ(scoreAlone.exitCode, 0) << scoreAlone.err;
  ASSERT_EQ(topAlone.exitCode, 0) << topAlone.err;
  // The other priors give other gains: the two sides really differ.
  ASSERT_NE(RunCli({"top", mine, "words"}, home.Path()).out, topAlone.out);

  constexpr int kRounds = 4;
  std::vector<CliResult> scores, tops, stats;
  std::thread scorer([&] {
    for (int i = 0; i < kRounds; ++i) scores.push_back(RunCli(score, home.Path()));
  });
  for (int i = 0; i < kRounds; ++i) {
    tops.push_back(RunCli(top, home.Path()));
    stats.push_back(RunCli({"stats", theirs}, home.Path()));
  }
  scorer.join();
  for (const CliResult& r : scores) {
    if (!Refused(r)) {
      EXPECT_EQ(r.out, scoreAlone.out) << r.err;
    }
  }
  for (const CliResult& r : tops) {
    if (!Refused(r)) {
      EXPECT_EQ(r.out, topAlone.out) << r.err;
    }
  }
  for (const CliResult& r : stats) EXPECT_EQ(AfterHeading(r.out), statsAlone) << r.err;
}

// A score started while a training run holds the project waits for it and
// then scores what was trained (as a later run alone does), or is refused.
TEST_F(ServerCliTest, AScoreDuringTrainingWaitsForItOrIsRefused) {
  std::vector<std::string> args = New(work.Path() + "p");
  args.insert(args.end(), {"--server", server});
  ASSERT_EQ(RunCli(args, home.Path()).exitCode, 0);
  const std::string project = work.Path() + "p/" + sname + ".trn";
  const std::vector<std::string> score = {"score", project, "trial", "--words"};

  std::atomic<bool> trained = false;
  CliResult training;
  std::thread trainer([&] {
    training = RunCli({"train", project, "words"}, home.Path());
    trained = true;
  });
  // The score starts once the training run holds the project.
  Database probe;
  ASSERT_TRUE(probe.OpenServer(server, sname));
  PreparedStatement held(probe,
                         "SELECT count(*) FROM pg_locks WHERE locktype='advisory' AND "
                         "objsubid=2 AND objid=hashtext(?)::oid");
  for (bool seen = false; !seen && !trained;) {
    held.Bind(1, sname);
    seen = held.Step() && held.Int(0) > 0;
    held.Reset();
    if (!seen) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  const CliResult during = RunCli(score, home.Path());
  trainer.join();
  ASSERT_EQ(training.exitCode, 0) << training.err;
  EXPECT_NE(training.out.find("Training group 3 words 10 files completed"), std::string::npos);
  const CliResult later = RunCli(score, home.Path());
  ASSERT_EQ(later.exitCode, 0) << later.err;
  if (!Refused(during)) {
    EXPECT_EQ(during.out, later.out) << during.err;
  }
}

// import makes a server project as it makes a file project, and the two
// train, score and evaluate alike.
TEST_F(ServerCliTest, AnImportedServerProjectWorksAsAnImportedFileProject) {
  std::string csv = "id,text,score\n";
  int id = 0;
  for (const char* set : {"train", "trial"})
    for (int g = 1; g <= 3; ++g)
      for (const auto& entry : fs::directory_iterator(work.Path() + "essays/" + set + "/g" + std::to_string(g))) {
        std::string text = ReadFile(entry.path().string());
        for (size_t at = 0; (at = text.find('"', at)) != std::string::npos; at += 2) text.insert(at, 1, '"');
        csv += std::to_string(++id) + ",\"" + text + "\"," + std::to_string(g) + "\n";
      }
  std::ofstream(work.Path() + "essays.csv") << csv;
  std::vector<std::string> outputs[2];
  for (const char* engine : {"file", "server"}) {
    const std::string root = work.Path() + engine;
    std::vector<std::string> args = {"import", work.Path() + "essays.csv", "--name", sname,
                                     "--root", root, "--text", "text", "--score", "score",
                                     "--groups", "1,2,3", "--trial", "0.3"};
    if (std::string(engine) == "server") args.insert(args.end(), {"--server", server});
    const CliResult imported = RunCli(args, home.Path());
    ASSERT_EQ(imported.exitCode, 0) << imported.err;
    const std::string project = root + "/" + sname + ".trn";
    EXPECT_EQ(FileExists(root + "/" + sname + ".db"), std::string(engine) == "file");
    std::vector<std::string>& out = outputs[std::string(engine) == "server"];
    out.push_back(imported.out);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"train", project, "words"}, {"score", project, "trial", "--words"},
          {"evaluate", project, "--folds", "2"}}) {
      const CliResult r = RunCli(command, home.Path());
      EXPECT_EQ(r.exitCode, 0) << command[0] << ": " << r.err;
      out.push_back(r.out);
    }
    for (std::string& text : out)
      for (size_t at; (at = text.find(root)) != std::string::npos;) text.replace(at, root.size(), "ROOT");
  }
  EXPECT_EQ(outputs[1], outputs[0]);
}

}  // namespace
}  // namespace tarne::testing
