// The training commands of tarne-cli, run as a child process: their output,
// exit codes and confirmations, and runs stopped by Ctrl-C or killed outright.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>
#include <thread>

#include "db/database_files.h"
#include "support/run_cli.h"
#include "support/training_fixture.h"

namespace tarne::testing {
namespace {

using Lines = std::vector<std::string>;

class CliTraining : public TrainingFixture {
 protected:
  void SetUp() override { MakeProject(2); }
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin() + 1, session->settings.ProjectFilePath());
    return RunCli(args, ConfigHome());
  }
  bool Has(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
  }
  // Starts tarne-cli in the background, its output thrown away.
  pid_t Start(const std::vector<std::string>& args) {
    pid_t pid = fork();
    if (pid == 0) {
      int null = open("/dev/null", O_RDWR);
      dup2(null, 0);
      dup2(null, 1);
      dup2(null, 2);
      setenv("XDG_CONFIG_HOME", ConfigHome().c_str(), 1);
      std::string program = TARNE_CLI_PATH;
      std::vector<std::string> copy = args;
      std::vector<char*> argv{program.data()};
      for (std::string& a : copy) argv.push_back(a.data());
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
    return pid;
  }
  // Waits until the calib table holds at least n rows or the child ended.
  bool WaitForRecords(pid_t pid, int n) {
    for (int i = 0; i < 20000; ++i) {
      if (Value("SELECT count(*) FROM calib") >= n) return true;
      int status;
      if (waitpid(pid, &status, WNOHANG) == pid) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }
  void ManyEssays(int perGroup) {
    const char* words[] = {"alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf",
                           "hotel", "india", "juliet", "kilo", "lima", "mike", "november"};
    for (int g = 1; g <= 2; ++g)
      for (int i = 0; i < perGroup; ++i) {
        std::string text;
        for (int s = 0; s < 12; ++s) {
          for (int w = 0; w < 8; ++w) text += std::string(words[(i * 7 + s * 3 + w * g) % 14]) + " ";
          text += "sentence" + std::to_string(i % 9) + ". ";
        }
        Essay(g, "e" + std::to_string(1000 + i) + ".txt", text);
      }
  }
  std::string SecondProject(const std::string& sname) {
    ProjectSettings s = MakeSettings(temp.Sub(sname), sname, temp.Path() + "essays/", 2);
    std::ofstream(s.ProjectFilePath(), std::ios::binary) << ProjectFileText(s);
    EXPECT_TRUE(CreateProjectDatabase(s.path2root, s.sname, session->configFolder));
    return s.ProjectFilePath();
  }
  Lines DumpOf(const std::string& file) {
    Database db;
    EXPECT_TRUE(db.OpenFile(file));
    return DumpTrainingState(db);
  }
};

TEST_F(CliTraining, CommandsEndToEnd) {
  const std::string a = Essay(1, "a.txt", "Players walking quickly. Alpha zulu.");
  Essay(1, "b.txt", "Players walking slowly.");
  Essay(2, "c.txt", "Players walking.");

  CliResult r = Cli({"train", "words"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Training group 1 words 2 files completed")) << r.out;
  r = Cli({"train", "pairs"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinphrases=1"), 3);

  r = Cli({"recompute", "words"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Vocabulary size = 6 unstemmed words\n");
  r = Cli({"recompute", "pairs", "--stemmed", "--bernoulli", "--no-rare"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  // 1 of 3 essays is 333 per 1000, above the rare threshold: all pairs stay.
  EXPECT_EQ(r.out, "Vocabulary size = 4 stemmed phrases\n");
  EXPECT_DOUBLE_EQ(Value("SELECT p2 FROM stem WHERE Vocab='player walk'"), 2.0 / 3);

  r = Cli({"remove", "--group", "1", a});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Has(r.err, "Done removing 1 files.")) << r.err;
  EXPECT_EQ(r.out, "Removed: " + a + "\n\n 1 files removed\n");
  EXPECT_EQ(Rows("SELECT isinwords, isinphrases FROM calib WHERE filen='" + a + "'", 2),
            (Lines{"0|0"}));

  const Lines before = Dump();
  r = Cli({"purge", "words"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "--yes")) << r.err;
  EXPECT_EQ(Dump(), before);
  r = Cli({"erase", "all"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "--yes")) << r.err;
  EXPECT_EQ(Dump(), before);

  r = Cli({"purge", "words", "--yes", "--no-backup"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Has(r.err, "Purge: Purge complete")) << r.err;
  EXPECT_FALSE(BackupExists("proj0"));

  r = Cli({"erase", "pairs", "--yes"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(Value("SELECT count(*) FROM run1 WHERE isphrase=1"), 0);
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinphrases=1"), 0);

  r = Cli({"compact"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.err, "Database compacted\n");

  r = Cli({"erase", "all", "--yes"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(BackupExists("proj0"));
  EXPECT_EQ(Value("SELECT count(*) FROM calib"), 0);
  r = Cli({"recompute", "words"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.err, "Tarne: Database error. Nothing trained?\n");
}

TEST_F(CliTraining, UsageAndHelp) {
  for (const char* command : {"train", "recompute", "remove", "purge", "erase", "compact"}) {
    CliResult r = RunCli({command, "--help"}, ConfigHome());
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_TRUE(Has(r.out, std::string("usage: tarne-cli ") + command)) << command;
  }
  EXPECT_EQ(Cli({"train"}).exitCode, 2);
  EXPECT_EQ(Cli({"train", "sentences"}).exitCode, 2);
  EXPECT_EQ(Cli({"recompute", "words", "--fast"}).exitCode, 2);
  EXPECT_EQ(Cli({"remove", "/x.txt"}).exitCode, 1);  // not trained: nothing removed
  EXPECT_EQ(Cli({"remove", "--group", "3", "/x.txt"}).exitCode, 2);  // a 2-group project
  EXPECT_EQ(Cli({"erase", "words", "--yes"}).exitCode, 2);
  EXPECT_EQ(Cli({"purge", "words", "--backup", "--no-backup"}).exitCode, 2);
  EXPECT_EQ(RunCli({"train", temp.Path() + "none.trn", "words"}, ConfigHome()).exitCode, 1);
}

// Enough essays that a run is still going when it is stopped, though
// essays are counted many per transaction.
constexpr int kManyEssays = 2000;

TEST_F(CliTraining, KilledRunThenSecondRunEqualsOneRun) {
  ManyEssays(kManyEssays);
  const std::string whole = SecondProject("whole");
  // Killed twice, at different moments of an essay.
  for (int records : {40, 130}) {
    pid_t pid = Start({"train", session->settings.ProjectFilePath(), "words"});
    const bool midRun = WaitForRecords(pid, records);
    // Not right after a record: the kill should land inside an essay.
    std::this_thread::sleep_for(std::chrono::milliseconds(records == 40 ? 23 : 11));
    kill(pid, SIGKILL);
    int status = 0;
    waitpid(pid, &status, 0);
    // Every recorded essay is counted, and no essay is counted unrecorded.
    const double recorded = Value("SELECT count(*) FROM calib");
    EXPECT_EQ(Value("SELECT g1 + g2 FROM trainsize"), recorded);
    if (!midRun || recorded >= 2 * kManyEssays) GTEST_SKIP() << "the run ended before it could be killed";
  }

  for (const char* kind : {"words", "pairs"}) {
    EXPECT_EQ(Cli({"train", kind}).exitCode, 0);
    EXPECT_EQ(RunCli({"train", whole, kind}, ConfigHome()).exitCode, 0);
  }
  const Lines one = DumpOf(temp.Path() + "whole/whole.db");
  EXPECT_EQ(Dump(), one);
  EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinphrases=1"), 2 * kManyEssays);
}

TEST_F(CliTraining, RunsKilledAtRandomMomentsEndLikeOneRun) {
  ManyEssays(kManyEssays);
  const std::string whole = SecondProject("whole");
  const unsigned seed = static_cast<unsigned>(std::random_device{}());
  std::mt19937 random(seed);
  SCOPED_TRACE("seed " + std::to_string(seed));
  for (const char* kind : {"words", "pairs"}) {
    for (int kill = 0; kill < 4; ++kill) {
      pid_t pid = Start({"train", session->settings.ProjectFilePath(), kind});
      // Anywhere in the run: loading, counting, writing a batch, committing.
      std::this_thread::sleep_for(std::chrono::microseconds(random() % 400000));
      ::kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
      // Whatever was kept is whole: every record has its count.
      EXPECT_EQ(Value("SELECT count(*) FROM calib WHERE isinwords=1"),
                Value("SELECT g1 + g2 FROM trainsize"));
    }
    EXPECT_EQ(Cli({"train", kind}).exitCode, 0);
    EXPECT_EQ(RunCli({"train", whole, kind}, ConfigHome()).exitCode, 0);
  }
  EXPECT_EQ(Dump(), DumpOf(temp.Path() + "whole/whole.db"));
}

TEST_F(CliTraining, CtrlCStopsAfterTheEssayInProgress) {
  // Group 1 must take longer than the first commit interval, or its
  // essays are recorded only when the whole group is done.
  constexpr int kLongGroup = 5 * kManyEssays;
  ManyEssays(kLongGroup);
  pid_t pid = Start({"train", session->settings.ProjectFilePath(), "words"});
  const bool midRun = WaitForRecords(pid, 20);
  kill(pid, SIGINT);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!midRun) GTEST_SKIP() << "the run ended before Ctrl-C";
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const double recorded = Value("SELECT count(*) FROM calib");
  if (recorded >= kLongGroup) GTEST_SKIP() << "group 1 was done before Ctrl-C";
  EXPECT_EQ(Value("SELECT g1 FROM trainsize"), recorded);
  EXPECT_EQ(Value("SELECT g2 FROM trainsize"), 0);
  const std::string log = ReadFile(session->settings.LogFilePath());
  EXPECT_TRUE(Has(log, "Training group 1 words " + std::to_string(int(recorded)) +
                           " files completed"))
      << log;
  EXPECT_TRUE(Has(log, "Training group 2 words started"));
  EXPECT_FALSE(Has(log, "Training group 2 words " + std::to_string(kLongGroup) + " files"));
}

}  // namespace
}  // namespace tarne::testing
