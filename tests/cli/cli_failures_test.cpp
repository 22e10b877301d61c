// Failures tarne-cli must not report as success, and projects it must not
// destroy without being told to.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>

#include "console_port.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class CliFailures : public ::testing::Test {
 protected:
  void SetUp() override {
    CliResult demo = RunCli({"demo", dir}, home.Path());
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
  }
  CliResult Cli(std::vector<std::string> args) {
    args.insert(args.begin() + 1, project);
    return RunCli(args, home.Path());
  }
  TempFolder home, work;
  const std::string dir = work.Path() + "demo";
  const std::string project = dir + "/demo.trn";
};

TEST_F(CliFailures, NewOverATrainedProjectNeedsYesAndKeepsABackup) {
  const auto size = std::filesystem::file_size(dir + "/demo.db");
  const std::vector<std::string> again = {"new",     "--name",  "demo",  "--root",
                                          dir,       "--groups", "2",    "--train",
                                          dir + "/t1", "--train", dir + "/t2", "--trial",
                                          dir + "/r1", "--trial", dir + "/r2"};
  CliResult r = RunCli(again, home.Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "already has a database")) << r.err;
  EXPECT_EQ(std::filesystem::file_size(dir + "/demo.db"), size);
  std::vector<std::string> yes = again;
  yes.push_back("--yes");
  {
    // A run holding the project (here: its lock) keeps its database.
    const int fd = ::open((dir + "/demo.db.lock").c_str(), O_RDWR);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    r = RunCli(yes, home.Path());
    ::close(fd);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(Has(r.err, "Project demo is in use by another Tarne run")) << r.err;
    EXPECT_EQ(std::filesystem::file_size(dir + "/demo.db"), size);
  }
  r = RunCli(yes, home.Path());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(FileExists(dir + "/demo0.db"));
}

TEST_F(CliFailures, AResultLogThatCannotBeWrittenFailsTheRun) {
  std::filesystem::create_directories(dir + "/demonew.csv");
  CliResult r = Cli({"score", "new"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "Could not write file " + dir + "/demonew.csv")) << r.err;
  EXPECT_FALSE(Has(r.out, "Results are in file"));
  EXPECT_TRUE(Has(r.out, "The results could not be written to file")) << r.out;
}

TEST_F(CliFailures, AMissingTrainingOrTrialFolderIsAnError) {
  std::filesystem::remove_all(dir + "/essays/trial/g2");
  CliResult r = Cli({"score", "trial"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "The trial folder of group 2 does not exist")) << r.err;
  std::filesystem::remove_all(dir + "/essays/train/g1");
  r = Cli({"train", "words"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "The training folder of group 1 does not exist")) << r.err;
}

TEST_F(CliFailures, ReportsFromAnEmptiedDatabaseAreDatabaseErrors) {
  for (const char* extra : {"", "-wal", "-shm"}) std::filesystem::remove(dir + "/demo.db" + extra);
  work.Write("demo/demo.db", "");
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"stats"}, {"top", "words"},
        {"remove", dir + "/essays/train/g1/essay01.txt"}}) {
    CliResult r = Cli(args);
    EXPECT_EQ(r.exitCode, 1) << args[0];
    EXPECT_TRUE(Has(r.out, "Database error: no such table")) << args[0] << ": " << r.out;
    EXPECT_FALSE(Has(r.out, "Files read:") || Has(r.out, "Top Words") || Has(r.out, "Not trained"))
        << r.out;
  }
}

TEST_F(CliFailures, ARunThatScoredNoEssayFails) {
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir + "/essays/trial"))
    if (entry.is_regular_file()) work.Write(entry.path().string().substr(work.Path().size()),
                                            std::string(64, '\0'));
  CliResult r = Cli({"score", "trial"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.out, "No essay was scored.")) << r.out;
  EXPECT_FALSE(Has(r.out, "Accuracy =")) << r.out;
}

TEST_F(CliFailures, TrainingAGroupWithNoEssaySaysSo) {
  std::filesystem::remove_all(dir + "/essays/train/g3");
  std::filesystem::create_directories(dir + "/essays/train/g3");
  CliResult r = Cli({"train", "words"});
  EXPECT_TRUE(Has(r.out, "The training folder of group 3 holds no essay: " + dir +
                             "/essays/train/g3/"))
      << r.out;
}

TEST_F(CliFailures, AFolderThatCannotBeListedIsAnError) {
  if (::geteuid() == 0) GTEST_SKIP() << "root lists every folder";
  std::filesystem::permissions(dir + "/essays/trial/g2", std::filesystem::perms::none);
  CliResult r = Cli({"score", "trial"});
  std::filesystem::permissions(dir + "/essays/trial/g2", std::filesystem::perms::owner_all);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "The trial folder of group 2 cannot be read (Permission denied)"))
      << r.err;
}

TEST_F(CliFailures, AnEssayOverTheLimitIsRefusedNotRead) {
  const std::string big = dir + "/essays/train/g1/zz_big.txt";
  std::filesystem::resize_file(work.Write("demo/essays/train/g1/zz_big.txt", "x"), 17 << 20);
  CliResult r = Cli({"train", "words"});
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "Essay too large: " + big + " (over 16 MB)")) << r.out;
  EXPECT_TRUE(Has(ReadFile(dir + "/demo.log"), "Essay too large: " + big)) << big;
  r = Cli({"score", "one", "/dev/zero"});
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_TRUE(Has(r.err, "Essay too large: /dev/zero (over 16 MB)")) << r.err;
}

TEST(CliNew, RelativeFoldersAreSavedAsAbsoluteOnes) {
  TempFolder home, work;
  CliResult r = RunCli({"new", "--name", "rel", "--root", "proj", "--groups", "2", "--train",
                        "t1/", "--train", "t2", "--trial", "r1", "--trial", "r2"},
                       home.Path(), "", work.Path());
  ASSERT_EQ(r.exitCode, 0) << r.err;
  const std::string file = ReadFile(work.Path() + "proj/rel.trn");
  EXPECT_TRUE(Has(file, "path2root=" + work.Path() + "proj/\r\n")) << file;
  EXPECT_TRUE(Has(file, "path2train1=" + work.Path() + "t1/\r\n")) << file;
  EXPECT_TRUE(Has(file, "path2trial2=" + work.Path() + "r2/\r\n")) << file;
}

TEST(CliNew, AConfigurationFolderThatCannotBeWrittenDoesNotUndoTheProject) {
  TempFolder work;
  const std::string notAFolder = work.Write("config", "a file where a folder belongs");
  CliResult r = RunCli({"new", "--name", "p", "--root", work.Path() + "proj", "--groups", "2",
                        "--train", "t1", "--train", "t2", "--trial", "r1", "--trial", "r2"},
                       notAFolder, "", work.Path());
  EXPECT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(r.out, "Project p created\n");
  EXPECT_TRUE(FileExists(work.Path() + "proj/p.db"));
}

TEST(ConsoleUntraining, ListsTheFlaggedEssaysAndNeedsYes) {
  const std::vector<ErrorEntry> errors = {{"/e/a.txt", "  1   2   0.50  99.50", 1},
                                          {"/e/b.txt", "  1   2  40.00  60.00", 1}};
  std::vector<std::string> flagged;
  cli::ConsolePort refused;
  refused.untrainFlagged = true;
  EXPECT_EQ(refused.ShowErrorAnalysis(errors, 2, 2, flagged), 0);
  EXPECT_TRUE(flagged.empty());
  EXPECT_TRUE(refused.refusedConfirmation);
  cli::ConsolePort confirmed;
  confirmed.untrainFlagged = true;
  confirmed.confirm = true;
  EXPECT_EQ(confirmed.ShowErrorAnalysis(errors, 2, 2, flagged), 1);
  EXPECT_EQ(flagged, std::vector<std::string>{" 1/e/a.txt"});
}

}  // namespace
}  // namespace tarne::testing
