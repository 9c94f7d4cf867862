// Scoring on bit masks, for every number of items around the edges of a 64-bit word, every group
// size, and with and without the processor's popcount instruction, against counting item by item.
#include "simulation/group_scoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "simulation/response_matrix_internal.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

int all_missed_item_by_item(const ResponseMatrix& matrix, const Participant* members,
                            int group_size) {
  int count = 0;
  for (int item = 1; item <= matrix.items(); ++item) {
    int everyone = 1;
    for (int m = 0; m < group_size; ++m) everyone &= missed(matrix, members[m], item);
    count += everyone;
  }
  return count;
}

TEST(GroupScoring, MasksCountWhatEveryMemberMissed) {
  const int participants = 23;
  std::mt19937 generator(5);
  ParticipantOrder order = make_participant_order(participants);
  for (const int items : {1, 2, 63, 64, 65, 109, 127, 128, 129, 200}) {
    const ResponseMatrix matrix = testing::matrix_of(
        testing::made_up_responses(participants, items, static_cast<unsigned>(items)), participants,
        items);
    for (int group_size = 2; group_size <= 5; ++group_size) {
      const GroupScorer scorer(matrix, group_size);
      const GroupScorer portable(matrix, group_size, false);
      const int groups = participants / group_size;
      ASSERT_EQ(scorer.full_groups(), groups);
      std::vector<int> all_missed(static_cast<std::size_t>(groups));
      std::vector<int> portably(static_cast<std::size_t>(groups));
      for (int set = 0; set < 200; ++set) {
        std::shuffle(order.begin(), order.end(), generator);
        scorer.score(order.data(), all_missed.data());
        portable.score(order.data(), portably.data());
        ASSERT_EQ(all_missed, portably) << items << " items, groups of " << group_size;
        for (int group = 0; group < groups; ++group) {
          ASSERT_EQ(all_missed[static_cast<std::size_t>(group)],
                    all_missed_item_by_item(
                        matrix, &order[static_cast<std::size_t>(group * group_size)], group_size))
              << items << " items, groups of " << group_size << ", group " << group;
        }
      }
    }
  }
}

}  // namespace
}  // namespace quorvane
