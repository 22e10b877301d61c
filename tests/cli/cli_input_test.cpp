// What tarne-cli does with input people really give it: folders where files
// belong, essays in other encodings, files that are no text.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

class CliInput : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    home_ = new TempFolder;
    CliResult demo = RunCli({"demo", home_->Path() + "demo"}, home_->Path());
    ASSERT_EQ(demo.exitCode, 0) << demo.err;
  }
  static void TearDownTestSuite() { delete home_; }
  static std::string Project() { return home_->Path() + "demo/demo.trn"; }
  static TempFolder* home_;
};
TempFolder* CliInput::home_ = nullptr;

TEST_F(CliInput, AFolderWhereAFileBelongsIsReportedWithExitOne) {
  TempFolder work;
  const std::string dir = work.Sub("essays");
  CliResult r = RunCli({"tokens", dir}, home_->Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find(dir + " is a folder, not a file"), std::string::npos) << r.err;
  r = RunCli({"score", Project(), "one", dir}, home_->Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("is a folder"), std::string::npos) << r.err;
  r = RunCli({"stats", work.Sub("folder.trn")}, home_->Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_FALSE(r.err.empty());

  // A data-source list that is a folder: the project without its own
  // database is reported, and one with its database still opens.
  TempFolder config;
  mkdir((config.Path() + "tarne").c_str(), 0700);
  mkdir((config.Path() + "tarne/datasources.ini").c_str(), 0700);
  const std::string lost = work.Write(
      "lost.trn", "incats= 2\r\nsname=lost\r\npath2root=" + work.Path() + "\r\n\r\n");
  r = RunCli({"stats", lost}, config.Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Could not open the database of project lost"), std::string::npos);
  EXPECT_EQ(RunCli({"stats", Project()}, config.Path()).exitCode, 0);
}

TEST_F(CliInput, EssayEncodingsScoreAlikeAndBinaryIsRefused) {
  TempFolder work;
  const std::string text = "The children read many interesting books. Libraries matter.";
  std::string utf16 = "\xFF\xFE";
  for (char c : text) utf16 += std::string{c, '\0'};
  const std::string plain = work.Write("plain.txt", text);
  const std::string wide = work.Write("wide.txt", utf16);
  CliResult a = RunCli({"score", Project(), "one", plain}, home_->Path());
  CliResult b = RunCli({"score", Project(), "one", wide}, home_->Path());
  ASSERT_EQ(a.exitCode, 0) << a.err;
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(RunCli({"tokens", plain}, home_->Path()).out,
            RunCli({"tokens", wide}, home_->Path()).out);

  const std::string binary = work.Write("a.bin", std::string(100, '\0') + "ELF");
  CliResult r = RunCli({"score", Project(), "one", binary}, home_->Path());
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_NE(r.err.find("Not a text file: " + binary), std::string::npos) << r.err;
}

}  // namespace
}  // namespace tarne::testing
