#include "simulation/random_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include "simulation/group_scoring.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

TEST(RandomSets, EverySetIsAPermutationForAnySeed) {
  for (const int participants : {4, 7, 12, 109}) {
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
      RandomGenerator generator(seed);
      SetGrid grid(participants, 2);
      ParticipantOrder order = make_participant_order(participants);
      draw_sets(order, grid, generator);
      std::vector<int> expected(static_cast<std::size_t>(participants));
      std::iota(expected.begin(), expected.end(), 1);
      for (int set = 0; set < kSetCount; ++set) {
        std::vector<int> slots(grid.order(set), grid.order(set) + participants);
        std::sort(slots.begin(), slots.end());
        ASSERT_EQ(slots, expected) << "set " << set << ", seed " << seed;
      }
    }
  }
}

TEST(RandomSets, EachSetDrawsTwiceForEveryPositionAfterTheFirst) {
  for (const int participants : {4, 31, 109}) {
    RandomGenerator generator(99);
    ParticipantOrder order = make_participant_order(participants);
    SetGrid grid(participants, 4);
    draw_sets(order, grid, generator);
    RandomGenerator counted(99);
    for (long draw = 0; draw < 2L * (participants - 1) * kSetCount; ++draw) counted.next();
    EXPECT_EQ(generator.next(), counted.next()) << participants << " participants";
  }
}

TEST(RandomSets, TheOrderIsNeverReset) {
  RandomGenerator generator(5);
  ParticipantOrder order = make_participant_order(9);
  SetGrid grid(9, 3);
  draw_sets(order, grid, generator);
  // The order left behind is the last set's, and each set is a shuffle of the one before.
  EXPECT_TRUE(std::equal(order.begin(), order.end(), grid.order(kSetCount - 1)));
  RandomGenerator replay_generator(5);
  ParticipantOrder replay = make_participant_order(9);
  for (int set = 0; set < 3; ++set) {
    shuffle_wide(replay, replay_generator);
    shuffle_with_generator(replay, replay_generator);
    EXPECT_TRUE(std::equal(replay.begin(), replay.end(), grid.order(set))) << set;
  }
}

// Catches a second shuffle that walks the positions in another order, swaps with the wrong
// position or draws other than once per position: positions 1 to N - 1, each with the next
// draw modulo p + 1.
TEST(RandomSets, SecondShuffleSwapsEachPositionWithTheNextDrawBelowItsBound) {
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    RandomGenerator generator(seed);
    RandomGenerator draws(seed);
    ParticipantOrder order = make_participant_order(6);
    shuffle_with_generator(order, generator);
    ParticipantOrder expected = make_participant_order(6);
    for (std::size_t p = 1; p < expected.size(); ++p) {
      const int j = draws.next() % static_cast<int>(p + 1);
      std::swap(expected[p], expected[static_cast<std::size_t>(j)]);
    }
    EXPECT_EQ(order, expected) << "seed " << seed;
    EXPECT_EQ(generator.next(), draws.next()) << "seed " << seed;
  }
}

// Groups of a uniformly random partition are uniformly random k-member subsets, so over a whole
// run the share of groups scoring each NumCorrect must be close to the share over all subsets.
TEST(RandomSets, GroupsScoreLikeUniformlyDrawnSubsets) {
  // Participant p knows items 1 to p, so a group's NumCorrect is its highest participant number:
  // a shuffle that leaves participants near where they were shows at once.
  const int participants = 12;
  const int items = 12;
  ResponseMatrix matrix(participants, items);
  for (int p = 1; p <= participants; ++p) {
    for (int c = 1; c <= items; ++c) matrix.set_response(p, c, c <= p);
  }
  for (const int group_size : {2, 3, 4}) {
    std::map<int, double> exact;  // NumCorrect over every k-member subset
    double subsets = 0;
    std::vector<bool> chosen(static_cast<std::size_t>(participants));
    std::fill(chosen.end() - group_size, chosen.end(), true);
    do {
      int num_correct = 0;
      for (int item = 1; item <= items; ++item) {
        bool someone = false;
        for (int p = 0; p < participants; ++p) {
          someone = someone || (chosen[static_cast<std::size_t>(p)] && !matrix.missed(p + 1, item));
        }
        num_correct += someone;
      }
      exact[num_correct] += 1;
      subsets += 1;
    } while (std::next_permutation(chosen.begin(), chosen.end()));

    RandomGenerator generator(2024);
    SetGrid grid(participants, group_size);
    ParticipantOrder order = make_participant_order(participants);
    draw_sets(order, grid, generator);
    const SetScores scores = score_all(grid, matrix);
    double chi_square = 0;
    for (int v = 0; v <= items; ++v) {
      const double expected = exact[v] / subsets * scores.total_groups;
      const double observed = scores.overall_counts[static_cast<std::size_t>(v)];
      if (expected == 0) {
        EXPECT_EQ(observed, 0) << v;
      } else {
        chi_square += (observed - expected) * (observed - expected) / expected;
      }
    }
    // At most 11 degrees of freedom: above 40 has a chance below 1 in 10,000 for a fair shuffle.
    EXPECT_LT(chi_square, 40.0) << "groups of " << group_size;
  }
}

// Each shuffle on its own, from the same starting order every time, reaches each of the 120
// orderings of five participants equally often.
TEST(RandomSets, EachShuffleReachesEveryOrderingEquallyOften) {
  const auto shuffles = {
      +[](ParticipantOrder& order, RandomGenerator& generator) { shuffle_wide(order, generator); },
      +[](ParticipantOrder& order, RandomGenerator& generator) {
        shuffle_with_generator(order, generator);
      }};
  for (const auto shuffle : shuffles) {
    RandomGenerator generator(77);
    std::map<ParticipantOrder, double> seen;
    const int trials = 60000;
    for (int trial = 0; trial < trials; ++trial) {
      ParticipantOrder order = make_participant_order(5);
      shuffle(order, generator);
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
