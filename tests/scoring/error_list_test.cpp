#include <string>
#include <vector>

#include "scoring_fixture.h"

namespace tarne::testing {
namespace {

TEST(ErrorList, FlaggedFilesKeepListOrderAndTrueGroups) {
  std::vector<ErrorEntry> errors = {{"/t/a.txt", "", 1}, {"/t/b.txt", "", 2}, {"/t/c.txt", "", 3}};
  EXPECT_EQ(FlaggedFiles(errors, {true, false, true}),
            (std::vector<std::string>{" 1/t/a.txt", " 3/t/c.txt"}));
  EXPECT_TRUE(FlaggedFiles(errors, {false, false, false}).empty());
  // A short tick list leaves the rest unticked rather than reading past it.
  EXPECT_EQ(FlaggedFiles(errors, {false, true}), (std::vector<std::string>{" 2/t/b.txt"}));
}

TEST(ErrorList, HeadingLinesUpWithTheProbabilityText) {
  GroupScores s;
  s.value[1] = 0.125L;
  s.value[2] = 0.875L;
  s.value[3] = 0;
  const std::string text = ProbabilityText(2, 2, s, 3);
  const std::string heading = ProbabilityHeading(3);
  ASSERT_EQ(heading.size(), text.size());
  EXPECT_EQ(heading.substr(0, 9), "True Pred");
  // "   12.50": the group number sits over the units digit.
  EXPECT_EQ(text.substr(9, 8), "   12.50");
  EXPECT_EQ(heading.substr(9, 8), "    1   ");
  EXPECT_EQ(ErrorAnalysisTitle(2), "Tarne - select files to remove");
  EXPECT_EQ(ErrorAnalysisTitle(1), "Tarne - error analysis");
}

}  // namespace
}  // namespace tarne::testing
