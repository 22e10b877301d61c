// The project dialog's opening values.
#include <gtest/gtest.h>

#include "project/project_dialog_rules.h"
#include "shell/numbers.h"

namespace tarne {
namespace {

TEST(ProjectDialogOpening, EditModeShowsTheProjectNewModeNothing) {
  ProjectSettings s;
  s.incats = 3;
  s.sname = "grade7";
  s.path2train = {"/t1/", "/t2/", "/t3/"};
  s.priors = {0.25, 0.25};  // a file may hold fewer lines than its count
  s.common = 1000;
  s.rare = 40;
  s.lowinfo = kLowInfoDefault;
  ProjectDialogValues v = OpeningDialogValues(s, SaveMode::Edit);
  EXPECT_EQ(v.groups, 3);
  EXPECT_EQ(v.dbprogram, "MSACCESS");  // empty reads as the one program offered
  EXPECT_EQ(v.train, (std::vector<std::string>{"/t1/", "/t2/", "/t3/", "", ""}));
  EXPECT_EQ(v.priors, (std::vector<std::string>{".25", ".25", "", "", ""}));
  EXPECT_EQ(v.common + "|" + v.rare + "|" + v.lowinfo, "1000.0|40.0|.30");

  v = OpeningDialogValues(s, SaveMode::New);
  EXPECT_TRUE(v.sname.empty() && v.train[0].empty() && v.common.empty());
  s.incats = 9;  // no usable count opens at 2 groups
  EXPECT_EQ(OpeningDialogValues(s, SaveMode::New).groups, 2);
  EXPECT_EQ(UniformPriorText(3), ".333333");
}

}  // namespace
}  // namespace tarne
