#include <string>
#include <vector>

#include "scoring_fixture.h"

namespace tarne::testing {
namespace {

TEST(ErrorList, HeadingLinesUpWithTheProbabilityText) {
  GroupScores s;
  s.value[1] = 0.125L;
  s.value[2] = 0.875L;
  const std::string text = ProbabilityText(2, 2, s, 3);
  const std::string heading = ProbabilityHeading(3);
  ASSERT_EQ(heading.size(), text.size());
  // "   12.50": the group number sits over the units digit.
  EXPECT_EQ(text.substr(9, 8), "   12.50");
  EXPECT_EQ(heading.substr(0, 17), "True Pred    1   ");
  // A short tick list leaves the rest unticked rather than reading past it.
  std::vector<ErrorEntry> errors = {{"/a", "", 1}, {"/b", "", 2}, {"/c", "", 3}};
  EXPECT_EQ(FlaggedFiles(errors, {false, true}), (std::vector<std::string>{" 2/b"}));
}

}  // namespace
}  // namespace tarne::testing
