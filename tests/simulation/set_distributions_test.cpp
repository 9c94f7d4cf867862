#include "simulation/set_distributions.h"

#include <gtest/gtest.h>

#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/set_draws.h"
#include "simulation/set_label.h"
#include "simulation/set_scores.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

constexpr int kItems = 20000;

// A set's groups scoring each NumCorrect, counted directly.
std::vector<unsigned> counted(const std::vector<int>& all_missed, int items) {
  std::vector<unsigned> counts(static_cast<std::size_t>(items) + 1);
  for (const int w : all_missed) counts[static_cast<std::size_t>(items - w)] += 1;
  return counts;
}

// Runs of n groups with allMissed w, then groups with allMissed `rest` up to G groups.
struct Run {
  int w;
  int n;
};
std::vector<int> set_of(std::vector<Run> runs, int groups, int rest) {
  std::vector<int> all_missed;
  for (const Run run : runs) all_missed.insert(all_missed.end(), std::size_t(run.n), run.w);
  all_missed.resize(static_cast<std::size_t>(groups), rest);
  return all_missed;
}

// Catches a packing that loses a value or a count where it leaves one byte for the longer form
// (gaps and counts of 15 and 16, pieces of 7 bits and more, M and 0 themselves), or that mistakes
// the first value's gap; and sets kept unpacked with a byte too few or the wrong one: each set
// kept, among others before and after it, and read back, for sets packed, unpacked in bytes and
// unpacked in pairs of bytes.
TEST(SetDistributions, EverySetReadsBackAsCounted) {
  struct Case {
    int items;
    int groups;
    bool unpacked;
  };
  for (const Case c : {Case{kItems, 5000, false}, Case{255, 50, true}, Case{kItems, 100, true}}) {
    const int m = c.items;
    const int g = c.groups;
    const std::vector<std::vector<int>> table = {
        set_of({{m, 1}}, g, m),
        set_of({{0, 1}}, g, 0),
        set_of({{m - 15, 15}}, g, m),
        set_of({{m - 16, 16}}, g, 0),
        set_of({{m, 1}, {m - 17, 1}, {m - 33, 2}}, g, m - 40),
        set_of({{m, 15}, {m - 16, 1}, {m - 17, 16}, {m - 33, 14}}, g, m - 34),
        set_of({{m - 127, 27}, {m - 128, 13}, {m - 250, 5}}, g, m - 240),
        set_of({}, g, 1),
        set_of({{1, 1}, {m - 1, g - 5}, {0, 3}}, g, m),
        set_of({{3, 1}, {4, 1}, {5, 9}, {2, 6}, {5, 3}, {8, 9}, {7, 9}}, g, 9),
    };
    SetDistributions kept(m, g);
    EXPECT_EQ(kept.unpacked(), c.unpacked) << m << " items, " << g << " groups";
    for (int round = 0; round < 3; ++round) {
      for (const std::vector<int>& set : table) ASSERT_TRUE(kept.keep(set.data()));
    }
    for (int set = 0; set < kept.kept(); ++set) {
      const std::vector<int>& all_missed = table[static_cast<std::size_t>(set) % table.size()];
      // Read into every third count, beside counts of other sets, as the DIST search reads.
      const auto size = static_cast<std::size_t>(m) + 1;
      std::vector<unsigned> read(3 * size, 77u);
      for (std::size_t v = 0; v < size; ++v) read[3 * v + 1] = 0;
      kept.add(set, read.data() + 1, 3);
      const std::vector<unsigned> expected = counted(all_missed, m);
      for (std::size_t v = 0; v < size; ++v) {
        ASSERT_EQ(read[3 * v + 1], expected[v]) << m << " items, set " << set << ", value " << v;
        ASSERT_EQ(read[3 * v], 77u);
        ASSERT_EQ(read[3 * v + 2], 77u);
      }
    }
  }
}

// Catches a set kept past the bytes allowed, or a smaller set kept after one that did not fit,
// which would leave the kept sets with a gap in grid order.
TEST(SetDistributions, NoSetIsKeptAfterTheFirstThatDoesNotFit) {
  // NumCorrect 0, 1 and 2: a byte each; or 0 three times: one byte.
  const std::vector<int> three_bytes = {kItems, kItems - 1, kItems - 2};
  const std::vector<int> one_byte = {kItems, kItems, kItems};
  for (const std::size_t most : {std::size_t{0}, std::size_t{2}, std::size_t{3}, std::size_t{7}}) {
    SetDistributions kept(kItems, 3, most);
    ASSERT_FALSE(kept.unpacked());
    int expected = 0;
    while (kept.bytes() + 3 <= most) {
      ASSERT_TRUE(kept.keep(three_bytes.data()));
      ++expected;
    }
    EXPECT_FALSE(kept.keep(three_bytes.data())) << most;
    EXPECT_FALSE(kept.keep(one_byte.data())) << most;
    EXPECT_EQ(kept.kept(), expected) << most;
    EXPECT_LE(kept.bytes(), most);
  }
}

// Catches a set read back from the wrong piece, or one split between two pieces: sets of growing
// sizes packed in the smallest pieces (those of 20 items, 147 bytes), each read back as counted.
TEST(SetDistributions, SetsAreReadBackAcrossPieces) {
  const int items = 20;
  SetDistributions kept(items, 300, std::size_t{1} << 20, 1);  // less than unpacked sets take
  ASSERT_FALSE(kept.unpacked());
  std::vector<std::vector<int>> sets;
  for (int n = 1; n <= 40; ++n) {
    sets.emplace_back(300, items);
    for (int group = 0; group < n; ++group) sets.back()[std::size_t(group)] -= group % (items + 1);
    ASSERT_TRUE(kept.keep(sets.back().data()));
  }
  for (int set = 0; set < kept.kept(); ++set) {
    std::vector<unsigned> read(static_cast<std::size_t>(items) + 1);
    kept.add(set, read.data(), 1);
    EXPECT_EQ(read, counted(sets[static_cast<std::size_t>(set)], items)) << "set " << set;
  }
}

// Catches an estimate of the distributions' memory far from what a run keeps (a piece counted
// per set, or sets per piece rounded the wrong way): one set's reserved_for(10,000) against the
// memory all 10,000 sets took, for studies whose sets are packed and unpacked.
TEST(SetDistributions, OneSetEstimatesTheMemoryOfAll) {
  struct Study {
    int participants;
    int items;
    int group_size;
  };
  for (const Study study :
       {Study{100, 100, 2}, Study{1000, 60, 2}, Study{2000, 300, 2}, Study{450, 150, 3}}) {
    const ResponseMatrix matrix =
        testing::matrix_of(testing::made_up_responses(study.participants, study.items, 5u),
                           study.participants, study.items);
    const GroupScorer scorer(matrix, study.group_size);
    SetDraws draws(study.participants, 9u);
    const SetScores scores = score_sets(draws, scorer);
    ASSERT_EQ(scores.distributions.kept(), kSetCount);
    std::vector<int> all_missed(static_cast<std::size_t>(scorer.full_groups()));
    SetDraws other(study.participants, 1u);
    scorer.score(other.next(), all_missed.data());
    SetDistributions one(study.items, scorer.full_groups());
    ASSERT_TRUE(one.keep(all_missed.data()));
    const auto estimate = static_cast<double>(one.reserved_for(kSetCount));
    const auto taken = static_cast<double>(scores.distributions.reserved_bytes());
    EXPECT_GT(estimate, 0.8 * taken) << study.participants << " by " << study.items;
    EXPECT_LT(estimate, 1.25 * taken) << study.participants << " by " << study.items;
  }
}

}  // namespace
}  // namespace quorvane
