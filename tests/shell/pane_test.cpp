#include "shell/pane.h"

#include <gtest/gtest.h>

namespace tarne {
namespace {

TEST(PaneBuffer, RefusesWhatWouldReachTheLimit) {
  // Ten characters short of a limit of 30: the length plus the text plus one
  // must stay below the limit.
  PaneBuffer pane(30);
  ASSERT_EQ(pane.Append(std::string(20, 'a')), 1);
  EXPECT_EQ(pane.Append(std::string(10, 'b')), 0);
  EXPECT_EQ(pane.Append(std::string(9, 'b')), 0);
  EXPECT_EQ(pane.Text(), std::string(20, 'a'));
  EXPECT_EQ(pane.Length(), 20u);
  EXPECT_EQ(pane.Append(std::string(8, 'c')), 1);
  EXPECT_EQ(pane.Text(), std::string(20, 'a') + std::string(8, 'c'));
  EXPECT_EQ(pane.Append("d"), 0);
  EXPECT_EQ(pane.Length(), 28u);
}

TEST(PaneBuffer, HundredShortOfThirtyThousand) {
  PaneBuffer pane(30000);
  ASSERT_EQ(pane.Append(std::string(29900, 'x')), 1);
  EXPECT_EQ(pane.Append(std::string(100, 'y')), 0);
  EXPECT_EQ(pane.Append(std::string(99, 'y')), 0);
  EXPECT_EQ(pane.Append(std::string(98, 'y')), 1);
  EXPECT_EQ(pane.Length(), 29998u);
}

TEST(PaneBuffer, EmptyTextIsRefused) {
  PaneBuffer limited(30);
  EXPECT_EQ(limited.Append(""), 0);
  PaneBuffer unlimited;
  EXPECT_EQ(unlimited.Append(""), 0);
  EXPECT_EQ(unlimited.Length(), 0u);
}

TEST(PaneBuffer, ZeroLimitTakesEverything) {
  PaneBuffer pane;
  EXPECT_EQ(pane.Limit(), 0u);
  EXPECT_EQ(pane.Append(std::string(100000, 'z')), 1);
  EXPECT_EQ(pane.Append("\r\n"), 1);
  EXPECT_EQ(pane.Length(), 100002u);
}

TEST(PaneBuffer, CountingOnlyStillEnforcesTheLimit) {
  PaneBuffer pane(10);
  pane.SetKeepText(false);
  EXPECT_EQ(pane.Append("12345"), 1);
  EXPECT_EQ(pane.Text(), "");
  EXPECT_EQ(pane.Length(), 5u);
  EXPECT_EQ(pane.Append("1234"), 0);
  EXPECT_EQ(pane.Append("123"), 1);
  EXPECT_EQ(pane.Length(), 8u);
}

TEST(PaneBuffer, ClearAndNewLimit) {
  PaneBuffer pane(10);
  pane.Append("12345678");
  EXPECT_EQ(pane.Append("12"), 0);
  pane.SetLimit(0);
  EXPECT_EQ(pane.Append("12"), 1);
  pane.SetLimit(10);
  pane.Clear();
  EXPECT_EQ(pane.Length(), 0u);
  EXPECT_EQ(pane.Text(), "");
  EXPECT_EQ(pane.Append("12345678"), 1);
}

}  // namespace
}  // namespace tarne
