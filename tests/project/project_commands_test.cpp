// The new and show commands of tarne-cli, run in process with a temporary
// configuration folder.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <sstream>

#include "commands.h"
#include "console_port.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

using testing::FileExists;
using testing::ReadFile;

struct CliRun {
  int code;
  std::string out, err;
};

CliRun RunCli(const cli::CommandArgs& args) {
  std::ostringstream out, err;
  auto* oldOut = std::cout.rdbuf(out.rdbuf());
  auto* oldErr = std::cerr.rdbuf(err.rdbuf());
  int code = cli::RunCommandLine(args);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  return {code, out.str(), err.str()};
}

TEST(ProjectCommands, NewShowAndTheirRefusals) {
  testing::TempFolder tmp;
  const std::string t = tmp.Path();
  const char* old = std::getenv("XDG_CONFIG_HOME");
  const std::string saved = old ? old : "";
  setenv("XDG_CONFIG_HOME", (t + "xdg").c_str(), 1);

  CliRun r = RunCli({"new", "--name", "demo", "--root", t + "proj", "--groups", "2", "--train",
                  t + "tr1", "--train", t + "tr2", "--trial", t + "ts1", "--trial", t + "ts2",
                  "--prior", "3", "--prior", "1", "--rare", "12"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "Project demo created\n");
  EXPECT_NE(r.err.find("Warning: the training folder of group 2 did not exist and was created "
                       "empty: " + t + "tr2/\n"),
            std::string::npos) << r.err;
  EXPECT_TRUE(FileExists(t + "proj/demo.db"));
  EXPECT_NE(ReadFile(t + "proj/demo.log").find("Database demo created"), std::string::npos);
  EXPECT_EQ(ReadFile(t + "xdg/tarne/tarne.ini"), t + "proj/demo.trn\r\n");
  const std::string file = ReadFile(t + "proj/demo.trn");
  EXPECT_NE(file.find("priors1=.75\r\n"), std::string::npos);
  EXPECT_NE(file.find("rare= 12\r\n"), std::string::npos);

  r = RunCli({"show", t + "proj/demo.trn"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, cli::ForConsole(file));

  r = RunCli({"new", "--groups", "2", "--train", t, "--train", t, "--trial", t, "--trial", t});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "More information needed: You need to specify a short name\n");
  r = RunCli({"show", t + "none.trn"});
  EXPECT_EQ(r.code, 1);
  EXPECT_EQ(r.err, "Tarne: Could not open project file " + t + "none.trn\n");

  EXPECT_EQ(RunCli({"new", "--name", "x", "--groups", "6"}).code, 2);
  EXPECT_EQ(RunCli({"new", "--name", "x", "--groups", "2", "--train", t, "--trial", t}).code, 2);
  EXPECT_EQ(RunCli({"new", "--name", "x", "--groups", "2", "--train", t, "--train", t, "--trial", t,
                 "--trial", t, "--prior", "1"})
                .code,
            2);
  EXPECT_EQ(RunCli({"show"}).code, 2);
  EXPECT_EQ(RunCli({"new", "--help"}).code, 0);

  if (old)
    setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
  else
    unsetenv("XDG_CONFIG_HOME");
}

}  // namespace
}  // namespace tarne
