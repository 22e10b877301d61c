// The stem and tokens commands of tarne-cli, run in process with standard
// input and output redirected.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>

#include "commands.h"
#include "support/temp_folder.h"

namespace tarne {
namespace {

struct CliRun {
  int code;
  std::string out;
  std::string err;
};

CliRun RunCli(const cli::CommandArgs& args, const std::string& input = {}) {
  std::istringstream in(input);
  std::ostringstream out, err;
  auto* oldIn = std::cin.rdbuf(in.rdbuf());
  auto* oldOut = std::cout.rdbuf(out.rdbuf());
  auto* oldErr = std::cerr.rdbuf(err.rdbuf());
  int code = cli::RunCommandLine(args);
  std::cin.rdbuf(oldIn);
  std::cout.rdbuf(oldOut);
  std::cerr.rdbuf(oldErr);
  return {code, out.str(), err.str()};
}

TEST(StemCommand, StemsArgumentsAndInputLines) {
  CliRun r = RunCli({"stem", "students", "kilo", "Don't"});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "student\n\ndont\n");

  // CR LF and LF both end a line; an empty line gives an empty stem.
  r = RunCli({"stem"}, "cats\r\n\nhopping\nessays");
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "cat\n\nhop\nessai\n");

  EXPECT_EQ(RunCli({"stem"}, "").out, "");
}

TEST(TokensCommand, OneLinePerSentence) {
  testing::TempFolder tmp;
  std::string essay = tmp.Write("essay.txt", "The students wrote the essays.\r\nThe cat sat. Wow");
  CliRun r = RunCli({"tokens", essay});
  EXPECT_EQ(r.code, 0);
  EXPECT_EQ(r.out, "1\t'essays','students','wrote'\n2\t\n3\t\n");

  r = RunCli({"tokens", "--kind", "pairs", "--stemmed", essay});
  EXPECT_EQ(r.out, "1\t'student wrot','wrot essai'\n2\t\n3\t\n");
  EXPECT_EQ(RunCli({"tokens", "--kind=phrases", essay}).out,
            "1\t'students wrote','wrote essays'\n2\t\n3\t\n");
  EXPECT_EQ(RunCli({"tokens", "--kind", "arguments", "-"}, "essays wrote essays").out,
            "1\t'essays','wrote','essays'\n");
  EXPECT_EQ(RunCli({"tokens"}, "").out, "1\t\n");
}

TEST(TextCommands, HelpAndUsageErrors) {
  struct Case {
    cli::CommandArgs args;
    int code;
  };
  const Case cases[] = {
      {{"stem", "--help"}, 0},           {{"tokens", "--help"}, 0},
      {{"stem", "--bogus"}, 2},          {{"tokens", "--kind", "letters"}, 2},
      {{"tokens", "a.txt", "b.txt"}, 2}, {{"tokens", "--kind"}, 2},
      {{"tokens", "/no/such/essay.txt"}, 1},
  };
  for (const Case& c : cases) {
    CliRun r = RunCli(c.args);
    EXPECT_EQ(r.code, c.code) << c.args.back();
    if (c.code == 0) {
      EXPECT_TRUE(r.out.starts_with("usage: tarne-cli ")) << r.out;
    } else {
      EXPECT_FALSE(r.err.empty());
    }
  }
}

}  // namespace
}  // namespace tarne
