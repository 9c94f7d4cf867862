#include "simulation/random_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <numeric>
#include <vector>

#include "simulation/draw_sequence.h"
#include "simulation/group_scoring.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

#if defined(__GLIBC__)
// Catches draws that are not the GNU C library's, on which every recorded report rests: from any
// seed, including 0 and seeds of 2^31 and above, the draws are those of srand and rand.
TEST(Draws, AreTheSequenceOfTheGnuCLibrary) {
  for (const std::uint32_t seed : {0u, 1u, 2u, 99u, 1765084800u, 2147483646u, 2147483647u,
                                   2147483648u, 4000000000u, 4294967295u}) {
    std::srand(seed);
    seed_draws(seed);
    for (int draw = 0; draw < 5000; ++draw) {
      ASSERT_EQ(next_draw(), std::rand()) << "seed " << seed << ", draw " << draw;
    }
  }
}
#endif

TEST(RandomSets, EverySetIsAPermutationForAnySeed) {
  for (const int participants : {4, 7, 12, 109}) {
    for (std::uint32_t seed = 1; seed <= 5; ++seed) {
      seed_draws(seed);
      SetGrid grid(participants, 2);
      ParticipantOrder order = make_participant_order(participants);
      draw_sets(order, grid);
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
    seed_draws(99);
    ParticipantOrder order = make_participant_order(participants);
    SetGrid grid(participants, 4);
    draw_sets(order, grid);
    const int next_after_run = next_draw();
    seed_draws(99);
    for (long draw = 0; draw < 2L * (participants - 1) * kSetCount; ++draw) next_draw();
    EXPECT_EQ(next_draw(), next_after_run) << participants << " participants";
  }
}

TEST(RandomSets, TheOrderIsNeverReset) {
  seed_draws(5);
  ParticipantOrder order = make_participant_order(9);
  SetGrid grid(9, 3);
  draw_sets(order, grid);
  // The order left behind is the last set's, and each set is a shuffle of the one before.
  EXPECT_TRUE(std::equal(order.begin(), order.end(), grid.order(kSetCount - 1)));
  seed_draws(5);
  ParticipantOrder replay = make_participant_order(9);
  for (int set = 0; set < 3; ++set) {
    shuffle_wide(replay);
    shuffle_with_generator(replay, random_below);
    EXPECT_TRUE(std::equal(replay.begin(), replay.end(), grid.order(set))) << set;
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

    seed_draws(2024);
    SetGrid grid(participants, group_size);
    ParticipantOrder order = make_participant_order(participants);
    draw_sets(order, grid);
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
      +[](ParticipantOrder& order) { shuffle_wide(order); },
      +[](ParticipantOrder& order) { shuffle_with_generator(order, random_below); }};
  for (const auto shuffle : shuffles) {
    seed_draws(77);
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
