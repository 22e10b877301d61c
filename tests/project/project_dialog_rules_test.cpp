// The project dialog's opening values and fill buttons.
#include <gtest/gtest.h>

#include "project/project_dialog_rules.h"
#include "shell/numbers.h"

namespace tarne {
namespace {

ProjectSettings ThreeGroups() {
  ProjectSettings s;
  s.incats = 3;
  s.sname = "grade7";
  s.path2root = "/p/";
  s.path2msa = "/m/";
  s.path2new = "/n/";
  s.path2train = {"/t1/", "/t2/", "/t3/"};
  s.path2trial = {"/r1/", "/r2/", "/r3/"};
  s.priors = {0.25, 0.25, 0.5};
  s.common = 1000;
  s.rare = 40;
  s.lowinfo = kLowInfoDefault;
  return s;
}

TEST(ProjectDialogOpening, EditModeShowsTheProjectUnderItsMasks) {
  ProjectDialogValues v = OpeningDialogValues(ThreeGroups(), SaveMode::Edit);
  EXPECT_EQ(v.groups, 3);
  EXPECT_EQ(v.sname, "grade7");
  EXPECT_EQ(v.dbprogram, "MSACCESS");  // empty reads as the one program offered
  EXPECT_EQ(v.msa, "/m/");
  EXPECT_EQ(v.train, (std::vector<std::string>{"/t1/", "/t2/", "/t3/", "", ""}));
  EXPECT_EQ(v.trial[2], "/r3/");
  EXPECT_EQ(v.priors, (std::vector<std::string>{".25", ".25", ".5", "", ""}));
  EXPECT_EQ(v.common, "1000.0");
  EXPECT_EQ(v.rare, "40.0");
  EXPECT_EQ(v.lowinfo, ".30");
}

TEST(ProjectDialogOpening, NewModeStartsEmptyAtTheProjectsGroupCount) {
  ProjectSettings s = ThreeGroups();
  s.dbprogram = "EXCEL";
  ProjectDialogValues v = OpeningDialogValues(s, SaveMode::New);
  EXPECT_EQ(v.groups, 3);
  EXPECT_EQ(v.dbprogram, "EXCEL");
  EXPECT_TRUE(v.sname.empty() && v.root.empty() && v.common.empty());
  EXPECT_EQ(v.priors, std::vector<std::string>(5));
  // No project (or a damaged count) opens at 2 groups.
  EXPECT_EQ(OpeningDialogValues(ProjectSettings{}, SaveMode::New).groups, 2);
  s.incats = 9;
  EXPECT_EQ(OpeningDialogValues(s, SaveMode::Edit).groups, 2);
}

TEST(ProjectDialogButtons, SetUniformAndUseDefaults) {
  EXPECT_EQ(UniformPriorText(3), ".333333");
  EXPECT_EQ(UniformPriorText(2), ".5");
  EXPECT_EQ(UniformPriorText(5), ".2");
  ProjectDialogValues v;
  UseDefaultThresholds(v);
  EXPECT_EQ(v.common + "|" + v.rare + "|" + v.lowinfo, "1000.0|30.0|0.30");
}

}  // namespace
}  // namespace tarne
