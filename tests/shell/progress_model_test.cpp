#include "shell/progress_model.h"

#include <gtest/gtest.h>

namespace tarne {
namespace {

TEST(ProgressModel, NewWindowStartsEmpty) {
  ProgressModel model;
  ProgressHandle a = model.Init("Training");
  ProgressHandle b = model.Init("Scoring");
  EXPECT_NE(a, 0);
  EXPECT_NE(b, 0);
  EXPECT_NE(a, b);
  const auto* w = model.Find(a);
  ASSERT_NE(w, nullptr);
  EXPECT_EQ(w->caption, "Training");
  EXPECT_EQ(w->status, "");
  EXPECT_EQ(w->position, 0);
  EXPECT_EQ(model.IsCancelled(a), 0);
}

TEST(ProgressModel, ClampsAndAlwaysReplacesTheText) {
  ProgressModel model;
  ProgressHandle h = model.Init("x");
  EXPECT_TRUE(model.Set(h, 250, "big"));
  EXPECT_EQ(model.Find(h)->position, 100);
  EXPECT_EQ(model.Find(h)->status, "big");
  EXPECT_TRUE(model.Set(h, -5, "small"));
  EXPECT_EQ(model.Find(h)->position, 0);
  EXPECT_EQ(model.Find(h)->status, "small");
  EXPECT_EQ(model.LastPosition(), 0);
  // -5 again clamps to the position already sent: only the text changes.
  EXPECT_FALSE(model.Set(h, -5, "again"));
  EXPECT_EQ(model.Find(h)->status, "again");
}

TEST(ProgressModel, SamePercentageIsSentOnce) {
  ProgressModel model;
  ProgressHandle h = model.Init("x");
  EXPECT_TRUE(model.Set(h, 40, "a"));
  EXPECT_FALSE(model.Set(h, 40, "b"));
  EXPECT_EQ(model.Find(h)->position, 40);
  EXPECT_EQ(model.Find(h)->status, "b");
}

TEST(ProgressModel, LastPositionIsSharedAcrossWindows) {
  ProgressModel model;
  ProgressHandle first = model.Init("first");
  model.Set(first, 60, "a");
  model.Shutdown(first);
  ProgressHandle second = model.Init("second");
  EXPECT_EQ(model.LastPosition(), 60);
  EXPECT_FALSE(model.Set(second, 60, "b"));
  EXPECT_EQ(model.Find(second)->position, 0);
  EXPECT_TRUE(model.Set(second, 61, "c"));
  EXPECT_EQ(model.Find(second)->position, 61);
}

TEST(ProgressModel, SetOnAClosedWindowChangesNothing) {
  ProgressModel model;
  ProgressHandle h = model.Init("x");
  model.Shutdown(h);
  EXPECT_FALSE(model.Set(h, 30, "gone"));
  EXPECT_EQ(model.LastPosition(), 0);
  EXPECT_EQ(model.Find(h), nullptr);
}

TEST(ProgressModel, CancelSticksAndClosedWindowsCountAsCancelled) {
  ProgressModel model;
  ProgressHandle h = model.Init("x");
  ProgressHandle other = model.Init("y");
  model.Cancel(h);
  EXPECT_EQ(model.IsCancelled(h), 1);
  EXPECT_EQ(model.IsCancelled(h), 1);
  model.Set(h, 10, "still");
  EXPECT_EQ(model.IsCancelled(h), 1);
  EXPECT_EQ(model.IsCancelled(other), 0);
  model.Shutdown(other);
  EXPECT_EQ(model.IsCancelled(other), 1);
  EXPECT_EQ(model.IsCancelled(0), 1);
  EXPECT_EQ(model.IsCancelled(12345), 1);
  model.Cancel(12345);  // harmless
}

TEST(ProgressModel, CancelAllReachesLaterWindows) {
  ProgressModel model;
  ProgressHandle before = model.Init("before");
  EXPECT_FALSE(model.AllCancelled());
  model.CancelAll();
  EXPECT_TRUE(model.AllCancelled());
  EXPECT_EQ(model.IsCancelled(before), 1);
  ProgressHandle after = model.Init("after");
  EXPECT_NE(after, 0);
  EXPECT_EQ(model.IsCancelled(after), 1);
  EXPECT_TRUE(model.Find(after)->cancelled);
}

}  // namespace
}  // namespace tarne
