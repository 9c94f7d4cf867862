#include "simulation/set_distributions.h"

#include <gtest/gtest.h>

#include <vector>

namespace quorvane {
namespace {

constexpr int kItems = 20000;

// A set's groups scoring each NumCorrect, counted directly.
std::vector<unsigned> counted(const std::vector<int>& all_missed) {
  std::vector<unsigned> counts(kItems + 1);
  for (const int w : all_missed) counts[static_cast<std::size_t>(kItems - w)] += 1;
  return counts;
}

// n groups with allMissed w.
std::vector<int> groups_missing(int w, int n) { return std::vector<int>(std::size_t(n), w); }

std::vector<int> joined(std::vector<std::vector<int>> parts) {
  std::vector<int> all;
  for (const std::vector<int>& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}

// Catches a packing that loses a value or a count where it leaves one byte for the longer form
// (gaps and counts of 15 and 16, pieces of 7 bits and more, M and 0 themselves), or that mistakes
// the first value's gap: each set kept, among others before and after it, and read back.
TEST(SetDistributions, EverySetReadsBackAsCounted) {
  const std::vector<std::vector<int>> table = {
      groups_missing(kItems, 1),
      groups_missing(0, 1),
      groups_missing(kItems - 15, 15),
      groups_missing(kItems - 16, 16),
      joined({groups_missing(kItems, 15), groups_missing(kItems - 16, 1),
              groups_missing(kItems - 17, 16), groups_missing(kItems - 33, 14)}),
      joined({groups_missing(kItems - 127, 127), groups_missing(kItems - 128, 128),
              groups_missing(kItems - 300, 5000)}),
      groups_missing(0, 5000),
      joined({groups_missing(1, 1), groups_missing(kItems - 1, 16383), groups_missing(0, 3)}),
      {3, 1, 4, 1, 5, 9, 2, 6, 5, 3, 5, 8, 9, 7, 9},
  };
  SetDistributions kept(kItems);
  for (int round = 0; round < 3; ++round) {
    for (const std::vector<int>& set : table) {
      ASSERT_TRUE(kept.keep(set.data(), static_cast<int>(set.size())));
    }
  }
  for (int set = 0; set < kept.kept(); ++set) {
    const std::vector<int>& all_missed = table[static_cast<std::size_t>(set) % table.size()];
    // Read into every third count, over counts left from other sets, as the DIST search reads.
    std::vector<unsigned> read(3 * (kItems + 1), 77u);
    kept.get(set, read.data() + 1, 3);
    const std::vector<unsigned> expected = counted(all_missed);
    for (std::size_t v = 0; v <= kItems; ++v) {
      const unsigned got = read[3 * v + 1];
      ASSERT_EQ(expected[v] == 0 ? 77u : expected[v], got) << "set " << set << ", value " << v;
      ASSERT_EQ(read[3 * v], 77u);
    }
  }
}

// Catches a set kept past the bytes allowed, or a smaller set kept after one that did not fit,
// which would leave the kept sets with a gap in grid order.
TEST(SetDistributions, NoSetIsKeptAfterTheFirstThatDoesNotFit) {
  // NumCorrect 0, 1 and 2: a byte each.
  const std::vector<int> three_bytes = {kItems, kItems - 1, kItems - 2};
  const std::vector<int> one_byte = {kItems};
  for (const std::size_t most : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
    SetDistributions kept(kItems, most);
    int expected = 0;
    while (kept.bytes() + 3 <= most) {
      ASSERT_TRUE(kept.keep(three_bytes.data(), 3));
      ++expected;
    }
    EXPECT_FALSE(kept.keep(three_bytes.data(), 3)) << most;
    EXPECT_FALSE(kept.keep(one_byte.data(), 1)) << most;
    EXPECT_EQ(kept.kept(), expected) << most;
    EXPECT_LE(kept.bytes(), most);
  }
}

// Catches a budget that lets the distributions and masks of the largest studies together pass
// 18 MiB, or that starves or overfeeds the distributions at the ends of the range.
TEST(SetDistributions, TheBudgetLeavesRoomForTheMasks) {
  struct Case {
    std::size_t mask_bytes;
    std::size_t expected;
  };
  const std::size_t mib = std::size_t{1} << 20;
  for (const Case c : {Case{0, 9 * mib}, Case{9 * mib, 9 * mib}, Case{10 * mib, 8 * mib},
                       Case{12'812'928, 18 * mib - 12'812'928}, Case{17 * mib, mib},
                       Case{18 * mib, mib}, Case{40 * mib, mib}}) {
    EXPECT_EQ(SetDistributions::most_bytes_beside(c.mask_bytes), c.expected) << c.mask_bytes;
  }
}

}  // namespace
}  // namespace quorvane
