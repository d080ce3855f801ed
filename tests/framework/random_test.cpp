// The shared generator's sequence is part of the game's behaviour: these values must never
// drift, whatever the compiler does with integer overflow.
#include <gtest/gtest.h>

#include <climits>

#include "framework/math.h"
#include "framework/random.h"

namespace {

constexpr float kStep = 1.0f / 16777216.0f;

TEST(Random, SequenceAndRangesFromTheStartSeed) {
  nx_random_Seed = 1234;
  EXPECT_EQ(nx_random_Rnd(), 11984094 * kStep);
  EXPECT_EQ(nx_random_Seed, static_cast<int>(3067928073u));
  EXPECT_EQ(nx_random_Rnd(), 3473103 * kStep);
  EXPECT_EQ(nx_random_Rnd(), 12575225 * kStep);
  EXPECT_EQ(nx_random_Rnd(), 5805964 * kStep);
  EXPECT_EQ(nx_random_Rnd(), 13479477 * kStep);

  // The ranges advance the seed once each along the same sequence.
  nx_random_Seed = 1234;
  EXPECT_EQ(nx_random_Rnd2(5.0f, 5.0f), 5.0f);
  EXPECT_EQ(nx_random_Seed, static_cast<int>(3067928073u));
  EXPECT_EQ(nx_random_Rnd2(10.0f, 20.0f), 10.0f + 10.0f * (3473103 * kStep));
  EXPECT_EQ(nx_random_Rnd3(100.0f), 12575225 * kStep * 100.0f);
  EXPECT_EQ(nx_random_Seed, static_cast<int>(3219257635u));
}

TEST(Random, SeedArithmeticWrapsAndStaysInRange) {
  nx_random_Seed = -1;
  EXPECT_EQ(nx_random_Rnd(), 3954061 * kStep);
  EXPECT_EQ(nx_random_Seed, 1012239698);
  nx_random_Seed = -5;
  EXPECT_EQ(nx_random_Rnd(), 3928053 * kStep);
  nx_random_Seed = INT_MIN;
  for (int i = 0; i < 10000; ++i) {
    float r = nx_random_Rnd();
    ASSERT_GE(r, 0.0f);
    ASSERT_LT(r, 1.0f);
  }
}

// Negating the smallest integer must wrap instead of overflowing.
TEST(Math, AbsOfTheSmallestIntegerWraps) {
  EXPECT_EQ(nx_math_Abs(-7), 7);
  EXPECT_EQ(nx_math_Abs(INT_MIN), INT_MIN);
}

}  // namespace
