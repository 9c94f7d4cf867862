// Scoring on bit masks, for every number of items around the edges of a 64-bit word, every group
// size, and with and without the processor's popcount instruction, against counting item by item.
#include "simulation/group_scoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <vector>

#include "tests/support/studies.h"

namespace quorvane {
namespace {

// Every set a random ordering of the participants.
SetGrid shuffled_grid(int participants, int group_size, unsigned seed) {
  std::mt19937 generator(seed);
  SetGrid grid(participants, group_size);
  std::vector<Participant> order(static_cast<std::size_t>(participants));
  std::iota(order.begin(), order.end(), Participant{1});
  for (int set = 0; set < kSetCount; ++set) {
    std::shuffle(order.begin(), order.end(), generator);
    std::copy(order.begin(), order.end(), grid.order(set));
  }
  return grid;
}

int all_missed_item_by_item(const ResponseMatrix& matrix, const Participant* members,
                            int group_size) {
  int count = 0;
  for (int item = 1; item <= matrix.items(); ++item) {
    int everyone = 1;
    for (int m = 0; m < group_size; ++m) everyone &= matrix.missed(members[m], item);
    count += everyone;
  }
  return count;
}

TEST(GroupScoring, MasksCountWhatEveryMemberMissed) {
  const int participants = 23;
  for (const int items : {1, 2, 63, 64, 65, 109, 127, 128, 129, 200}) {
    const ResponseMatrix matrix = testing::matrix_of(
        testing::made_up_responses(participants, items, static_cast<unsigned>(items)), participants,
        items);
    for (int group_size = 2; group_size <= 5; ++group_size) {
      SetGrid grid = shuffled_grid(participants, group_size, static_cast<unsigned>(group_size));
      SetGrid portable_grid = grid;
      const SetScores scores = score_all(grid, matrix);
      const SetScores portable = score_all_portably(portable_grid, matrix);
      const int groups = grid.full_groups();
      std::vector<double> overall_counts(static_cast<std::size_t>(items + 1));
      bool same = true;
      for (int set = 0; set < kSetCount; ++set) {
        double sum = 0;
        double sum_of_squares = 0;
        for (int group = 0; group < groups; ++group) {
          const int w = grid.all_missed(set, group);
          same = same && w == portable_grid.all_missed(set, group);
          if (set % 101 == 0) {
            ASSERT_EQ(w, all_missed_item_by_item(matrix, grid.members(set, group * group_size),
                                                 group_size))
                << items << " items, groups of " << group_size << ", set " << set;
          }
          sum += w;
          sum_of_squares += w * w;
          overall_counts[static_cast<std::size_t>(items - w)] += 1;
        }
        ASSERT_EQ(scores.sum[static_cast<std::size_t>(set)], sum);
        ASSERT_EQ(scores.sum_of_squares[static_cast<std::size_t>(set)], sum_of_squares);
      }
      EXPECT_TRUE(same) << items << " items, groups of " << group_size;
      EXPECT_EQ(scores.overall_counts, overall_counts);
      EXPECT_EQ(portable.sum, scores.sum);
      EXPECT_EQ(portable.sum_of_squares, scores.sum_of_squares);
      EXPECT_EQ(portable.overall_counts, scores.overall_counts);
      EXPECT_EQ(scores.total_groups, groups * kSetCount);
    }
  }
}

}  // namespace
}  // namespace quorvane
