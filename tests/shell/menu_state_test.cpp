#include "shell/menu_state.h"

#include <gtest/gtest.h>

#include <set>

namespace tarne {
namespace {

std::set<int> AvailableNow(const MenuState& m) {
  std::set<int> out;
  for (int c : MenuState::Commands())
    if (m.Available(c)) out.insert(c);
  return out;
}

TEST(MenuState, AtStartOnlyTheProjectFreeCommandsAreOffered) {
  MenuState m;
  std::set<int> expected = {cmd::NewProject, cmd::OpenProject, cmd::OpenLogText, cmd::ImportEssays, cmd::Exit,
                            cmd::Undo,       cmd::Cut,         cmd::Copy,        cmd::Paste,
                            cmd::Delete,     cmd::SelectAll,   cmd::Font,        cmd::Help,
                            cmd::WebSite,    cmd::About};
  for (int r = cmd::RecentFirst; r <= cmd::RecentLast; ++r) expected.insert(r);
  EXPECT_EQ(AvailableNow(m), expected);
  EXPECT_FALSE(m.Toggle(cmd::AllowTrainWords));  // greyed toggles do nothing
  EXPECT_FALSE(m.Checked(cmd::AllowTrainWords));
}

TEST(MenuState, NewProjectThenLoadDifferOnPurgesTopArgsAndCompact) {
  MenuState m;
  m.ProjectCreated();
  EXPECT_TRUE(m.Available(cmd::PurgeWords));
  EXPECT_FALSE(m.Available(cmd::PurgePairs));
  EXPECT_FALSE(m.Available(cmd::PurgeArguments));
  EXPECT_FALSE(m.Available(cmd::TopArgs));
  EXPECT_TRUE(m.Available(cmd::TopWords) && m.Available(cmd::Stats) && m.Available(cmd::Score) &&
              m.Available(cmd::CompareSettings));
  EXPECT_FALSE(m.Available(cmd::Compact));
  EXPECT_FALSE(m.Available(cmd::TrainWords));
  m.ProjectLoaded(true);
  EXPECT_TRUE(m.Available(cmd::PurgePairs) && m.Available(cmd::PurgeArguments));
  EXPECT_TRUE(m.Available(cmd::TopArgs) && m.Available(cmd::Compact));
  EXPECT_FALSE(m.Available(cmd::TrainWords) || m.Available(cmd::EraseWords));
  m.ProjectLoaded(false);
  EXPECT_FALSE(m.Available(cmd::Compact));
}

TEST(MenuState, TogglesFlipTheirTargetAndKeepMarksAcrossProjects) {
  MenuState m;
  m.ProjectLoaded(true);
  for (int t = cmd::AllowEraseWords; t <= cmd::AllowTrainArguments; ++t) {
    const int target = MenuState::ToggleTarget(t);
    ASSERT_NE(target, 0);
    EXPECT_TRUE(m.Toggle(t));
    EXPECT_TRUE(m.Checked(t) && m.Available(target)) << t;
    EXPECT_TRUE(m.Toggle(t));
    EXPECT_FALSE(m.Checked(t) || m.Available(target)) << t;
  }
  m.Toggle(cmd::AllowTrainWords);
  m.ProjectLoaded(true);
  EXPECT_TRUE(m.Checked(cmd::AllowTrainWords));
  EXPECT_TRUE(m.Available(cmd::TrainWords));
  EXPECT_FALSE(m.Toggle(cmd::Score));
}

TEST(MenuState, PaneEditStateAndHold) {
  MenuState m;
  EXPECT_FALSE(m.Available(cmd::Save));
  m.PaneFilled();
  EXPECT_TRUE(m.Available(cmd::Save) && m.Available(cmd::SaveAs) && m.Available(cmd::Print));
  m.SetEditState(false, false, true);
  EXPECT_FALSE(m.Available(cmd::Undo) || m.Available(cmd::Cut) || m.Available(cmd::Copy));
  EXPECT_TRUE(m.Available(cmd::Paste) && m.Available(cmd::Delete));
  m.SetEditState(true, true, false);
  EXPECT_TRUE(m.Available(cmd::Copy) && m.Available(cmd::Undo));
  EXPECT_FALSE(m.Available(cmd::Paste));

  m.SetHeld(true);
  EXPECT_TRUE(AvailableNow(m).empty());
  EXPECT_TRUE(m.Enabled(cmd::Save));  // held, not greyed: the state comes back
  m.SetHeld(false);
  EXPECT_TRUE(m.Available(cmd::Save));
}

}  // namespace
}  // namespace tarne
