#include "simulation/random_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/set_draws.h"
#include "simulation/set_label.h"
#include "simulation/set_scores.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

TEST(RandomSets, EverySetIsAPermutationForAnySeed) {
  for (const int participants : {4, 7, 12, 109, 1000}) {
    for (std::uint32_t seed = 1; seed <= (participants > 109 ? 1u : 5u); ++seed) {
      SetDraws draws(participants, seed);
      std::vector<int> expected(static_cast<std::size_t>(participants));
      std::iota(expected.begin(), expected.end(), 1);
      for (int set = 0; set < kSetCount; ++set) {
        const Participant* order = draws.next();
        std::vector<int> slots(order, order + participants);
        std::sort(slots.begin(), slots.end());
        ASSERT_EQ(slots, expected) << "set " << set << ", seed " << seed;
      }
    }
  }
}

TEST(RandomSets, EachSetDrawsTwiceForEveryPositionAfterTheFirst) {
  for (const int participants : {4, 31, 109}) {
    SetDraws draws(participants, 99);
    for (int set = 0; set < kSetCount; ++set) draws.next();
    const int next_after_run = std::rand();
    std::srand(99);
    for (long draw = 0; draw < 2L * (participants - 1) * kSetCount; ++draw) std::rand();
    EXPECT_EQ(std::rand(), next_after_run) << participants << " participants";
  }
}

// Each set is a shuffle of the one before, and a second pass over the sets, which lists the
// chosen sets' groups, must meet exactly the sets of the first.
TEST(RandomSets, TheOrderIsNeverResetAndARestartReplaysTheSameSets) {
  SetDraws draws(9, 5);
  std::vector<ParticipantOrder> first_pass;
  for (int set = 0; set < kSetCount; ++set) {
    const Participant* order = draws.next();
    first_pass.emplace_back(order, order + 9);
  }
  std::srand(5);
  ParticipantOrder replay = make_participant_order(9);
  for (std::size_t set = 0; set < 3; ++set) {
    shuffle_wide(replay);
    shuffle_with_generator(replay, random_below);
    EXPECT_EQ(replay, first_pass[set]) << set;
  }
  draws.restart();
  for (std::size_t set = 0; set < kSetCount; ++set) {
    const Participant* order = draws.next();
    ASSERT_EQ(ParticipantOrder(order, order + 9), first_pass[set]) << "set " << set;
  }
}

int always_zero(int) { return 0; }
int far_above(int) { return 1000; }
int last_position(int n) { return n - 1; }

TEST(RandomSets, SecondShuffleSwapsEachPositionWithTheGeneratorsDraw) {
  ParticipantOrder order = make_participant_order(4);
  shuffle_with_generator(order, always_zero);
  EXPECT_EQ(order, (ParticipantOrder{4, 1, 2, 3}));
  order = make_participant_order(4);
  shuffle_with_generator(order, last_position);
  EXPECT_EQ(order, (ParticipantOrder{1, 2, 3, 4}));
  // The draw is taken modulo the position + 1: 1000 % 2 = 0, 1000 % 3 = 1, 1000 % 4 = 0.
  order = make_participant_order(4);
  shuffle_with_generator(order, far_above);
  EXPECT_EQ(order, (ParticipantOrder{4, 3, 1, 2}));
}

// k-member subsets of n: n! / (k! (n - k)!), exact in a double for the sizes tested.
double subsets_of(int n, int k) {
  double count = 1;
  for (int i = 0; i < k; ++i) count = count * (n - i) / (i + 1);
  return n < k ? 0 : count;
}

// Groups of a uniformly random partition are uniformly random k-member subsets, so over a whole
// run the share of groups scoring each NumCorrect must be close to the share over all subsets.
TEST(RandomSets, GroupsScoreLikeUniformlyDrawnSubsets) {
  // Participant p knows items 1 to p % 13, so a group's NumCorrect is the largest p % 13 among
  // its members: a shuffle that leaves participants near where they were shows at once. With
  // n(v) participants knowing at most v items, C(n(v), k) - C(n(v - 1), k) subsets score v.
  const int items = 12;
  struct Case {
    int participants;
    int group_size;
  };
  for (const Case c : {Case{12, 2}, Case{12, 3}, Case{12, 4}, Case{1000, 2}}) {
    ResponseMatrix matrix(c.participants, items);
    std::vector<int> knowing_at_most(items + 1);
    for (int p = 1; p <= c.participants; ++p) {
      for (int item = 1; item <= items; ++item) matrix.set_response(p, item, item <= p % 13);
      for (int v = p % 13; v <= items; ++v) knowing_at_most[static_cast<std::size_t>(v)] += 1;
    }
    const double subsets = subsets_of(c.participants, c.group_size);
    SetDraws draws(c.participants, 2024);
    const SetScores scores = score_sets(draws, GroupScorer(matrix, c.group_size));
    double chi_square = 0;
    for (int v = 0; v <= items; ++v) {
      const double exact =
          subsets_of(knowing_at_most[static_cast<std::size_t>(v)], c.group_size) -
          (v == 0 ? 0.0 : subsets_of(knowing_at_most[static_cast<std::size_t>(v - 1)], c.group_size));
      const double expected = exact / subsets * scores.total_groups;
      const double observed = scores.overall_counts[static_cast<std::size_t>(v)];
      if (expected == 0) {
        EXPECT_EQ(observed, 0) << v;
      } else {
        chi_square += (observed - expected) * (observed - expected) / expected;
      }
    }
    // At most 11 degrees of freedom: above 40 has a chance below 1 in 10,000 for a fair shuffle.
    EXPECT_LT(chi_square, 40.0) << c.participants << " in groups of " << c.group_size;
  }
}

// Each shuffle on its own, from the same starting order every time, reaches each of the 120
// orderings of five participants equally often.
TEST(RandomSets, EachShuffleReachesEveryOrderingEquallyOften) {
  const auto shuffles = {
      +[](ParticipantOrder& order) { shuffle_wide(order); },
      +[](ParticipantOrder& order) { shuffle_with_generator(order, random_below); }};
  for (const auto shuffle : shuffles) {
    std::srand(77);
    std::map<ParticipantOrder, double> seen;
    const int trials = 60000;
    for (int trial = 0; trial < trials; ++trial) {
      ParticipantOrder order = make_participant_order(5);
      shuffle(order);
      seen[order] += 1;
    }
    EXPECT_EQ(seen.size(), 120u);
    const double expected = trials / 120.0;
    double chi_square = 0;
    for (const auto& entry : seen) {
      chi_square += (entry.second - expected) * (entry.second - expected) / expected;
    }
    // 119 degrees of freedom: above 190 has a chance below 1 in 10,000 for a fair shuffle.
    EXPECT_LT(chi_square, 190.0);
  }
}

}  // namespace
}  // namespace quorvane
