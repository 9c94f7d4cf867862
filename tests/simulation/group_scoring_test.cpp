// Scoring on bit masks, for every number of items around the edges of a 64-bit word and of the
// 256- and 512-bit pieces of the vector kernels, every group size and every kernel this machine
// has, against the portable kernel and counting item by item.
#include "simulation/group_scoring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "simulation/processor_features.h"
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

// Catches a kernel that reads past a mask's items or into the next participant's mask, drops the
// last piece of a mask, counts the bits of a lane twice or ANDs the wrong members: each kernel
// against the portable one and against counting item by item.
TEST(GroupScoring, EveryKernelCountsWhatEveryMemberMissed) {
  const int participants = 23;
  std::mt19937 generator(5);
  ParticipantOrder order = make_participant_order(participants);
  const std::vector<ScoringKernel> kernels = available_scoring_kernels();
  ASSERT_EQ(kernels.front(), ScoringKernel::kPortable);
  for (const int items :
       {1, 2, 63, 64, 65, 109, 127, 128, 129, 200, 255, 256, 257, 511, 512, 513, 1000}) {
    const ResponseMatrix matrix = testing::matrix_of(
        testing::made_up_responses(participants, items, static_cast<unsigned>(items)), participants,
        items);
    for (int group_size = 2; group_size <= 5; ++group_size) {
      const GroupScorer portable(matrix, group_size, ScoringKernel::kPortable);
      const int groups = participants / group_size;
      ASSERT_EQ(portable.full_groups(), groups);
      std::vector<int> all_missed(static_cast<std::size_t>(groups));
      std::vector<int> portably(static_cast<std::size_t>(groups));
      for (const ScoringKernel kernel : kernels) {
        const GroupScorer scorer(matrix, group_size, kernel);
        const bool vector = kernel == ScoringKernel::kAvx2 || kernel == ScoringKernel::kAvx512;
        // The vector kernels take masks of more than two words, in groups of 2 to 4.
        if (vector && items > 128 && group_size <= 4) {
          EXPECT_EQ(scorer.kernel(), kernel);
        }
        for (int set = 0; set < 50; ++set) {
          std::shuffle(order.begin(), order.end(), generator);
          scorer.score(order.data(), all_missed.data());
          portable.score(order.data(), portably.data());
          ASSERT_EQ(all_missed, portably)
              << name_of(kernel) << ", " << items << " items, groups of " << group_size;
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
}

// Catches a default scorer that is not the fastest kernel available for the study.
TEST(GroupScoring, TheFastestKernelIsTheDefault) {
  const std::vector<ScoringKernel> kernels = available_scoring_kernels();
  const ResponseMatrix wide = testing::matrix_of(testing::made_up_responses(8, 300, 1), 8, 300);
  EXPECT_EQ(GroupScorer(wide, 2).kernel(), kernels.back());
}

// Catches reading the wrong cpuid leaf or bit, or the registers the system saves, for a kernel:
// what the programs read themselves against what the compiler's own check finds on this machine.
TEST(GroupScoring, TheKernelsOfferedAreThoseTheProcessorRuns) {
#if (defined(__x86_64__) || defined(__i386__)) && defined(__GNUC__)
  __builtin_cpu_init();
  const ProcessorFeatures& features = processor_features();
  EXPECT_EQ(features.popcnt, __builtin_cpu_supports("popcnt") != 0);
  EXPECT_EQ(features.avx2, __builtin_cpu_supports("avx2") != 0);
  EXPECT_EQ(features.avx512_popcount,
            __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512vpopcntdq"));
#else
  GTEST_SKIP() << "no x86 processor features here";
#endif
}

}  // namespace
}  // namespace quorvane
