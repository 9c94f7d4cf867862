#include "simulation/set_distributions.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

// Catches a packing that loses a value or a count where it leaves one byte for the longer form
// (gaps and counts of 15 and 16, pieces of 7 bits and more), or that mistakes the first value's
// gap: each distribution kept and read back, among others kept before and after it.
TEST(SetDistributions, EveryDistributionReadsBackAsKept) {
  const std::vector<SetDistribution> table = {
      {},
      {{0, 1}},
      {{15, 15}},
      {{16, 16}},
      {{0, 15}, {16, 1}, {17, 16}, {33, 14}},
      {{127, 127}, {128, 128}, {300, 5000}},
      {{0, 5000}},
      {{9999, 1}, {10000, 16383}},
      {{3, 1}, {4, 2}, {5, 3}, {6, 4}, {7, 5}, {8, 6}},
  };
  SetDistributions kept;
  for (int round = 0; round < 3; ++round) {
    for (const SetDistribution& distribution : table) ASSERT_TRUE(kept.keep(distribution));
  }
  SetDistribution read;
  for (int set = 0; set < kept.kept(); ++set) {
    kept.get(set, read);
    EXPECT_EQ(read, table[static_cast<std::size_t>(set) % table.size()]) << "set " << set;
  }
}

// Catches a set kept past the bytes allowed, or a smaller set kept after one that did not fit,
// which would leave the kept sets with a gap in grid order.
TEST(SetDistributions, NoSetIsKeptAfterTheFirstThatDoesNotFit) {
  const SetDistribution three_bytes = {{0, 1}, {1, 1}, {2, 1}};
  const SetDistribution one_byte = {{0, 1}};
  for (const std::size_t most : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
    SetDistributions kept(most);
    int expected = 0;
    while (kept.bytes() + 3 <= most) {
      ASSERT_TRUE(kept.keep(three_bytes));
      ++expected;
    }
    EXPECT_FALSE(kept.keep(three_bytes)) << most;
    EXPECT_FALSE(kept.keep(one_byte)) << most;
    EXPECT_EQ(kept.kept(), expected) << most;
    EXPECT_LE(kept.bytes(), most);
  }
}

// Catches a counter that leaves counts behind for the next set, loses the highest or lowest
// allMissed, or orders the values other than NumCorrect ascending.
TEST(DistributionCounter, CountsEachNumCorrectInAscendingOrder) {
  DistributionCounter counter(10);
  SetDistribution distribution;
  const int first[] = {10, 0, 3, 3, 0, 7};
  counter.count(first, 6, distribution);
  EXPECT_EQ(distribution, (SetDistribution{{0, 1}, {3, 1}, {7, 2}, {10, 2}}));
  const int second[] = {5, 5};
  counter.count(second, 2, distribution);
  EXPECT_EQ(distribution, (SetDistribution{{5, 2}}));
}

}  // namespace
}  // namespace quorvane
