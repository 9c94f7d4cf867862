#include "simulation/random_sets.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <map>
#include <numeric>
#include <utility>
#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/random_sets_internal.h"
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

// Catches a shuffle that draws other than once per position while N is at most 32,768, which
// would change every set after it: each shuffle of N participants takes N - 1 draws.
TEST(RandomSets, EachShuffleDrawsOncePerPositionAfterTheFirst) {
  for (const int participants : {4, 31, 109, 10000}) {
    for (const bool wide : {true, false}) {
      RandomGenerator generator(99);
      ParticipantOrder order = make_participant_order(participants);
      if (wide) {
        internal::shuffle_wide(order, generator);
      } else {
        internal::shuffle_with_generator(order, generator);
      }
      RandomGenerator counted(99);
      for (int draw = 0; draw < participants - 1; ++draw) counted.next();
      EXPECT_EQ(generator.next(), counted.next()) << participants << " participants, " << wide;
    }
  }
}

// Each set is a shuffle of the one before, and the chosen sets, drawn again for their listings
// from the nearest snapshot, must be exactly the sets first drawn. Catches a snapshot taken
// after the set it stands before, or of the generator and the order at different sets: every
// set drawn again, for sizes with one grid row and with several between snapshots.
TEST(RandomSets, TheOrderIsNeverResetAndASetDrawnAgainIsTheSame) {
  for (const int participants : {9, 2001}) {
    const auto size = static_cast<std::size_t>(participants);
    SetDraws draws(participants, 5);
    RandomGenerator generator(5);
    ParticipantOrder replay = make_participant_order(participants);
    std::vector<ParticipantOrder> first_pass;
    for (int set = 0; set < kSetCount; ++set) {
      const Participant* order = draws.next();
      first_pass.emplace_back(order, order + size);
      internal::shuffle_wide(replay, generator);
      internal::shuffle_with_generator(replay, generator);
      ASSERT_EQ(replay, first_pass.back()) << "set " << set;
    }
    EXPECT_EQ(draws.sets_per_snapshot(), participants > 2000 ? 2 * kGridColumns : kGridColumns);
    const int step = participants > 2000 ? 37 : 1;
    for (int set = kSetCount - 1; set >= 0; set -= step) {
      draws.seek(set);
      const Participant* order = draws.next();
      ASSERT_EQ(ParticipantOrder(order, order + size), first_pass[static_cast<std::size_t>(set)])
          << participants << " participants, set " << set;
    }
    // Drawing on after a set drawn again meets the sets after it.
    draws.seek(250);
    for (std::size_t set = 250; set < 260; ++set) {
      const Participant* order = draws.next();
      ASSERT_EQ(ParticipantOrder(order, order + size), first_pass[set]) << "set " << set;
    }
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
    internal::shuffle_with_generator(order, generator);
    ParticipantOrder expected = make_participant_order(6);
    for (std::size_t p = 1; p < expected.size(); ++p) {
      const int j = draws.next() % static_cast<int>(p + 1);
      std::swap(expected[p], expected[static_cast<std::size_t>(j)]);
    }
    EXPECT_EQ(order, expected) << "seed " << seed;
    EXPECT_EQ(generator.next(), draws.next()) << "seed " << seed;
  }
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
          (v == 0 ? 0.0
                  : subsets_of(knowing_at_most[static_cast<std::size_t>(v - 1)], c.group_size));
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
  const auto shuffles = {+[](ParticipantOrder& order, RandomGenerator& generator) {
                           internal::shuffle_wide(order, generator);
                         },
                         +[](ParticipantOrder& order, RandomGenerator& generator) {
                           internal::shuffle_with_generator(order, generator);
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

// Catches a reciprocal rounded the wrong way or too narrow, or (WebAssembly's 48-bit remainder) a
// fraction masked to too few or too many bits, which give a wrong remainder first near multiples
// of the bound and at the largest dividends: both forms for every bound a participant order can
// hold, against the processor's division.
TEST(RandomSets, RemaindersByReciprocalsAreExactForEveryBound) {
  const ShuffleBounds bounds(static_cast<int>(ShuffleBounds::kMostNarrowBound));
  std::uint32_t spread = 12345;
  for (std::uint32_t bound = 2; bound <= ShuffleBounds::kMostNarrowBound; ++bound) {
    std::vector<std::uint32_t> values = {0u, 1u, bound - 1u, bound, bound + 1u, 2u * bound - 1u};
    for (const std::uint32_t top : {0x7FFFu, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      values.push_back(top);
      values.push_back(top - top % bound);
      values.push_back(top - top % bound - 1u);
    }
    for (int i = 0; i < 8; ++i) values.push_back(spread = spread * 1664525u + 1013904223u);
    const std::uint64_t narrow = ShuffleBounds::narrow_reciprocal(bound);
    for (const std::uint32_t value : values) {
      ASSERT_EQ(bounds.remainder(value, bound), value % bound) << value << " % " << bound;
      ASSERT_EQ(ShuffleBounds::narrow_remainder(narrow, value, bound), value % bound)
          << value << " % " << bound << " in 48 bits";
    }
  }
}

// Catches a carry lost between the halves of the product that WebAssembly's builds compute
// without a 128-bit multiply: the largest fractions and bounds, and fractions whose lower half's
// product carries into the upper, against the 128-bit product.
#if defined(__SIZEOF_INT128__)
TEST(RandomSets, TheProductInHalvesIsTheWideProduct) {
  std::uint64_t spread = 0x9E3779B97F4A7C15u;
  std::vector<std::uint64_t> fractions = {0u,
                                          1u,
                                          0xFFFFFFFFu,
                                          0x100000000u,
                                          0xFFFFFFFFFFFFFFFFu,
                                          0xFFFFFFFF00000000u,
                                          0x00000001FFFFFFFFu};
  for (int i = 0; i < 200; ++i) fractions.push_back(spread = spread * 6364136223846793005u + 1u);
  for (const std::uint64_t fraction : fractions) {
    for (const std::uint32_t bound : {2u, 3u, 10000u, 32768u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
      ASSERT_EQ(ShuffleBounds::high_word(fraction, bound),
                ShuffleBounds::wide_high_word(fraction, bound))
          << fraction << " x " << bound;
    }
  }
}
#endif

// Catches draws taken in runs that skip, repeat or reorder a draw at the end of the generator's
// block, or a shuffle that uses a wrong bound or the wrong bits of a draw: the sets of several
// sizes, against the two shuffles done one draw at a time with the processor's division.
TEST(RandomSets, EachSetIsBothShufflesDoneOneDrawAtATime) {
  for (const int participants : {2, 3, 4, 17, 31, 32, 33, 100, 109, 497, 498, 1000, 10000}) {
    for (const std::uint32_t seed : {1u, 7u, 4294967295u}) {
      RandomGenerator generator(seed);
      RandomGenerator literal(seed);
      const ShuffleBounds bounds(participants);
      ParticipantOrder order = make_participant_order(participants);
      ParticipantOrder expected = order;
      const int sets = participants >= 1000 ? 20 : 200;
      for (int set = 0; set < sets; ++set) {
        draw_next_set(order, generator, bounds);
        internal::shuffle_wide(expected, literal);
        internal::shuffle_with_generator(expected, literal);
        ASSERT_EQ(order, expected)
            << participants << " participants, seed " << seed << ", set " << set;
      }
      EXPECT_EQ(generator.next(), literal.next()) << participants << " participants";
    }
  }
}

}  // namespace
}  // namespace quorvane
