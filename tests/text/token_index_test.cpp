#include "text/token_index.h"

#include <gtest/gtest.h>

#include <string>

namespace tarne {

// Enough tokens to make the table grow many times and its probes run into
// each other; every token keeps its number and its own text.
TEST(TokenIndexTest, NumbersTokensInOrderAcrossGrowth) {
  TokenIndex index;
  EXPECT_EQ(index.Find("absent"), TokenIndex::kNone);
  constexpr int kTokens = 100000;
  for (int i = 0; i < kTokens; ++i) {
    const auto [id, added] = index.Add("w" + std::to_string(i));
    ASSERT_TRUE(added);
    ASSERT_EQ(id, static_cast<std::uint32_t>(i));
  }
  EXPECT_EQ(index.Add("w77").first, 77u);
  EXPECT_FALSE(index.Add("w77").second);
  EXPECT_EQ(index.Size(), static_cast<size_t>(kTokens));
  for (int i = 0; i < kTokens; i += 997) {
    const std::string token = "w" + std::to_string(i);
    EXPECT_EQ(index.Find(token), static_cast<std::uint32_t>(i));
    EXPECT_EQ(index.Text(i), token);
  }
  EXPECT_EQ(index.Find("w" + std::to_string(kTokens)), TokenIndex::kNone);
  EXPECT_EQ(index.Find(""), TokenIndex::kNone);
  EXPECT_EQ(index.Add("").first, static_cast<std::uint32_t>(kTokens));

  index.Clear();
  EXPECT_EQ(index.Find("w1"), TokenIndex::kNone);
  EXPECT_EQ(index.Add("w1").first, 0u);
}

// Room made beforehand, on an empty index and on one already holding
// tokens (which are placed again), keeps every number; asking for less
// room than is held loses nothing.
TEST(TokenIndexTest, ReservedRoomKeepsNumbers) {
  TokenIndex index;
  index.Reserve(10);
  for (int i = 0; i < 5000; ++i) {
    if (i == 50) index.Reserve(5000);
    ASSERT_EQ(index.Add("a" + std::to_string(i)).first, static_cast<std::uint32_t>(i));
  }
  index.Reserve(3);
  for (int i = 0; i < 5000; i += 7)
    EXPECT_EQ(index.Find("a" + std::to_string(i)), static_cast<std::uint32_t>(i));
  EXPECT_EQ(index.Find("a5000"), TokenIndex::kNone);
  EXPECT_EQ(index.Add("a5000").first, 5000u);
}

}  // namespace tarne
