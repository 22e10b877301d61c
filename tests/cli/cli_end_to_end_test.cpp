// tarne-cli as a user runs it: a separate process, real files, awkward paths.
#include <gtest/gtest.h>

#include "console_port.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

TEST(CliEndToEnd, UsageErrorsExitTwoAndHelpExitsZero) {
  TempFolder home;
  EXPECT_EQ(RunCli({}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"frobnicate"}, home.Path()).exitCode, 2);
  EXPECT_EQ(RunCli({"new", "--groups", "7"}, home.Path()).exitCode, 2);
  for (const char* command : {"stem", "tokens", "new", "show", "train", "recompute", "remove",
                              "purge", "erase", "compact", "score", "stats", "top", "demo"}) {
    CliResult r = RunCli({command, "--help"}, home.Path());
    EXPECT_EQ(r.exitCode, 0) << command;
    EXPECT_NE(r.out.find("usage"), std::string::npos) << command;
  }
}

TEST(CliEndToEnd, NewAndShowWorkUnderAPathWithBlanksAndAQuote) {
  TempFolder home;
  TempFolder work;
  const std::string root = work.Path() + "o'brien projects/class 7";
  const std::string train1 = work.Sub("essays/train one");
  const std::string train2 = work.Sub("essays/train two");
  const std::string trial1 = work.Sub("essays/trial one");
  const std::string trial2 = work.Sub("essays/trial two");
  CliResult made = RunCli({"new", "--name", "grade7", "--root", root, "--groups", "2", "--train",
                           train1, "--train", train2, "--trial", trial1, "--trial", trial2,
                           "--prior", "1", "--prior", "3"},
                          home.Path());
  ASSERT_EQ(made.exitCode, 0) << made.err;
  EXPECT_EQ(made.out, "Project grade7 created\n");
  EXPECT_NE(made.err.find("Warning: the trial folder of group 2 holds no essay: " + trial2),
            std::string::npos) << made.err;
  const std::string project = root + "/grade7.trn";
  ASSERT_TRUE(FileExists(project));
  EXPECT_TRUE(FileExists(root + "/grade7.db"));
  EXPECT_NE(ReadFile(root + "/grade7.log").find(" Database grade7 created\r\n"),
            std::string::npos);

  CliResult shown = RunCli({"show", project}, home.Path());
  ASSERT_EQ(shown.exitCode, 0) << shown.err;
  EXPECT_EQ(shown.out, cli::ForConsole(ReadFile(project)));
  EXPECT_NE(shown.out.find("priors1=.25\npath2train2="), std::string::npos);
  EXPECT_NE(shown.out.find("path2root=" + root + "/\n"), std::string::npos);
}

TEST(CliEndToEnd, AMissingProjectOrDatabaseIsReportedNotLoaded) {
  TempFolder home;
  TempFolder work;
  CliResult missing = RunCli({"show", work.Path() + "nothing.trn"}, home.Path());
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_FALSE(missing.err.empty());

  // A project file whose database is gone: the project is not reported loaded.
  const std::string project =
      work.Write("lost.trn",
                 "incats= 2\r\ndbprogram=MSACCESS\r\nsname=lost\r\npath2root=" + work.Path() +
                     "\r\n\r\n");
  CliResult stats = RunCli({"stats", project}, home.Path());
  EXPECT_EQ(stats.exitCode, 1);
  EXPECT_NE(stats.err.find("Could not open the database of project lost"), std::string::npos);
}

TEST(CliEndToEnd, StemReadsStandardInputWithEitherLineEnd) {
  TempFolder home;
  CliResult r = RunCli({"stem"}, home.Path(), "caresses\r\nponies\nit\n");
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.out, "caress\nponi\n\n");
}

}  // namespace
}  // namespace tarne::testing
