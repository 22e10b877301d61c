// Importing a spreadsheet of scored essays through tarne-cli, and the
// binning of scores into groups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "import/import_essays.h"
#include "support/run_cli.h"
#include "support/temp_folder.h"

namespace tarne::testing {
namespace {

TEST(Import, QuotesLineBreaksBomAndBadRows) {
  TempFolder t;
  // Line numbers: 1 header, 2-3 the quoted essay over two lines, 4 empty
  // text, 5 unreadable score, 6 no score (a new essay), 7 another set.
  const std::string csv =
      "\xEF\xBB\xBF" "id,Essay,score,set\r\n"
      "a1,\"Dear editor, \"\"computers\"\" help.\r\nSecond line.\",3,1\r\n"
      "a2,,4,1\r\n"
      "a3,Fine text here.,n/a,1\r\n"
      "a4,Unscored essay text.,,1\r\n"
      "b1,Other set essay.,2,2\r\n"
      "a5,Low essay text.,1,1\r\n"
      "a1,Same id again.,4,1\r\n";
  const std::string file = t.Write("essays.csv", csv);
  const std::string root = t.Path() + "proj/";
  CliResult r = RunCli({"import", file, "--name", "imp", "--root", root, "--text", "essay",
                        "--score", "Score", "--id", "id", "--where", "set=1", "--groups",
                        "1-2,3-4", "--trial", "0"},
                       t.Sub("home"));
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_NE(r.out.find("Skipped line 4: empty text\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Skipped line 5: unreadable score \"n/a\"\n"), std::string::npos);
  EXPECT_NE(r.out.find("Group 1 (scores 1-2): 1 essays, 1 to train, 0 for trial\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("Group 2 (scores 3-4): 2 essays, 2 to train, 0 for trial\n"),
            std::string::npos);
  EXPECT_NE(r.out.find("New essays (no score): 1\n"), std::string::npos);
  EXPECT_NE(r.out.find("Rows left out by --where: 1\n"), std::string::npos);
  EXPECT_EQ(ReadFile(root + "train/g2/a1.txt"),
            "Dear editor, \"computers\" help.\r\nSecond line.");
  EXPECT_EQ(ReadFile(root + "train/g2/a1-2.txt"), "Same id again.");
  EXPECT_EQ(ReadFile(root + "new/a4.txt"), "Unscored essay text.");
  EXPECT_TRUE(FileExists(root + "imp.trn"));
  EXPECT_EQ(RunCli({"train", root + "imp.trn", "words"}, t.Path() + "home/").exitCode, 0);

  // The folders now hold essays: a second import into them is refused.
  CliResult again = RunCli({"import", file, "--name", "imp", "--root", root, "--text", "essay",
                            "--score", "score", "--groups", "1-2,3-4"},
                           t.Path() + "home/");
  EXPECT_EQ(again.exitCode, 1);
  EXPECT_NE(again.err.find("already holds files"), std::string::npos);
}

TEST(Import, TabsWindows1252AndAMissingColumn) {
  TempFolder t;
  const std::string file =
      t.Write("essays.tsv", "essay_id\tessay\tscore\n1\tCaf\xE9 essay one.\t2\n2\tSecond.\t9\n");
  const std::string home = t.Sub("home");
  CliResult missing = RunCli({"import", file, "--name", "x", "--root", t.Path() + "p", "--text",
                              "text", "--score", "score", "--quantiles", "2"},
                             home);
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("no column text; the columns are: essay_id essay score"),
            std::string::npos)
      << missing.err;
  CliResult r = RunCli({"import", file, "--name", "x", "--root", t.Path() + "p", "--text",
                        "essay", "--score", "score", "--id", "essay_id", "--quantiles", "2",
                        "--trial", "0"},
                       home);
  ASSERT_EQ(r.exitCode, 0) << r.err;
  EXPECT_EQ(ReadFile(t.Path() + "p/train/g1/1.txt"), "Caf\xC3\xA9 essay one.");
  EXPECT_EQ(ReadFile(t.Path() + "p/train/g2/2.txt"), "Second.");
}

TEST(Import, GroupRangesAndQuantiles) {
  struct Case {
    std::string text;
    bool ok;
    size_t groups;
  };
  for (const Case& c : std::vector<Case>{{"2-7,8,9,10,11-12", true, 5},
                                         {"0,1,2,3", true, 4},
                                         {"1-3", false, 0},
                                         {"1-3,3-4", false, 0},
                                         {"1-3,x", false, 0},
                                         {"5-1,6", false, 0},
                                         {"1,2,3,4,5,6", false, 0}}) {
    std::vector<ScoreRange> ranges;
    std::string why;
    EXPECT_EQ(ParseGroupRanges(c.text, ranges, why), c.ok) << c.text;
    if (c.ok) {
      EXPECT_EQ(ranges.size(), c.groups) << c.text;
    }
  }
  // Ties stay in one group: 1 1 2 3 3 3 4 5 in two groups.
  std::vector<ScoreRange> ranges;
  std::string why;
  ASSERT_TRUE(QuantileRanges({3, 1, 2, 3, 1, 4, 3, 5}, 2, ranges, why));
  EXPECT_EQ(ranges[0].low, 1);
  EXPECT_EQ(ranges[0].high, 2);
  EXPECT_EQ(ranges[1].low, 3);
  EXPECT_EQ(ranges[1].high, 5);
  EXPECT_FALSE(QuantileRanges({1, 1, 1, 2}, 3, ranges, why));
}

}  // namespace
}  // namespace tarne::testing
