#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "scoring/essay_product.h"

namespace tarne::testing {
namespace {

// Scores must come out of the multiplication to the last bit as they did
// from pow, so the shortcut is held to pow itself over probabilities of
// every size.
TEST(EssayProduct, PowerOfCountIsPowToTheLastBit) {
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> unit(1e-12, 1.0);
  for (int i = 0; i < 200000; ++i) {
    const long double p = std::ldexp(unit(random), -static_cast<int>(random() % 64));
    for (unsigned count = 1; count <= 6; ++count) {
      const long double expected = std::pow(p, static_cast<long double>(count));
      const long double got = PowerOfCount(p, count);
      ASSERT_EQ(std::memcmp(&expected, &got, 10), 0) << static_cast<double>(p) << "^" << count;
    }
  }
}

}  // namespace
}  // namespace tarne::testing
