#include "simulation/group_scoring.h"

#include <cstdint>

namespace quorvane {
namespace {

// A participant's missed items when there are at most 128.
struct TwoWordMask {
  std::uint64_t low;
  std::uint64_t high;
};

// The items every member of a group of kGroupSize missed.
template <int kGroupSize>
[[gnu::always_inline]] inline int all_missed(const TwoWordMask* masks, const Participant* members,
                                             int /*group_size*/) {
  std::uint64_t low = masks[members[0]].low;
  std::uint64_t high = masks[members[0]].high;
  for (int m = 1; m < kGroupSize; ++m) {
    low &= masks[members[m]].low;
    high &= masks[members[m]].high;
  }
  return __builtin_popcountll(low) + __builtin_popcountll(high);
}

// The same for masks of any number of words and groups of any size.
struct WideMasks {
  const std::uint64_t* words;
  int word_count;
};
template <int>
[[gnu::always_inline]] inline int all_missed(WideMasks masks, const Participant* members,
                                             int group_size) {
  int count = 0;
  for (int w = 0; w < masks.word_count; ++w) {
    std::uint64_t missed_by_all = masks.words[members[0] * masks.word_count + w];
    for (int m = 1; m < group_size; ++m) {
      missed_by_all &= masks.words[members[m] * masks.word_count + w];
    }
    count += __builtin_popcountll(missed_by_all);
  }
  return count;
}

// Scores every set: each group's W into the grid, each set's sums into `scores`, and the number
// of groups with each W into counts_by_missed.
template <int kGroupSize, typename Masks>
[[gnu::always_inline]] inline void score_sets(Masks masks, SetGrid& grid, SetScores& scores,
                                              std::vector<std::int64_t>& counts_by_missed) {
  const int group_size = grid.group_size();
  const int groups = grid.full_groups();
  for (int set = 0; set < kSetCount; ++set) {
    const Participant* members = grid.order(set);
    AllMissed* set_all_missed = grid.all_missed_of(set);
    std::int64_t sum = 0;
    std::int64_t sum_of_squares = 0;
    for (int group = 0; group < groups; ++group, members += group_size) {
      const int w = all_missed<kGroupSize>(masks, members, group_size);
      set_all_missed[group] = static_cast<AllMissed>(w);
      counts_by_missed[static_cast<std::size_t>(w)] += 1;
      sum += w;
      sum_of_squares += w * w;
    }
    // Whole numbers far below 2^53: the same doubles as adding each group's W in turn.
    scores.sum[static_cast<std::size_t>(set)] = static_cast<double>(sum);
    scores.sum_of_squares[static_cast<std::size_t>(set)] = static_cast<double>(sum_of_squares);
  }
}

// Picks the scoring for the study's number of items and the edition's group size.
[[gnu::always_inline]] inline void score_any(const ResponseMatrix& matrix, SetGrid& grid,
                                             SetScores& scores,
                                             std::vector<std::int64_t>& counts_by_missed) {
  if (matrix.mask_words() <= 2) {
    std::vector<TwoWordMask> masks(static_cast<std::size_t>(matrix.participants() + 1));
    for (int participant = 0; participant <= matrix.participants(); ++participant) {
      const std::uint64_t* words = matrix.missed_items(participant);
      masks[static_cast<std::size_t>(participant)] = {words[0],
                                                      matrix.mask_words() == 2 ? words[1] : 0};
    }
    switch (grid.group_size()) {
      case 2:
        return score_sets<2>(masks.data(), grid, scores, counts_by_missed);
      case 3:
        return score_sets<3>(masks.data(), grid, scores, counts_by_missed);
      case 4:
        return score_sets<4>(masks.data(), grid, scores, counts_by_missed);
      default:
        break;
    }
  }
  score_sets<0>(WideMasks{matrix.missed_items(0), matrix.mask_words()}, grid, scores,
                counts_by_missed);
}

void score_portable(const ResponseMatrix& matrix, SetGrid& grid, SetScores& scores,
                    std::vector<std::int64_t>& counts_by_missed) {
  score_any(matrix, grid, scores, counts_by_missed);
}

// The same, with the processor's own instruction for counting bits.
[[gnu::target("popcnt")]] void score_with_popcnt(const ResponseMatrix& matrix, SetGrid& grid,
                                                 SetScores& scores,
                                                 std::vector<std::int64_t>& counts_by_missed) {
  score_any(matrix, grid, scores, counts_by_missed);
}

SetScores score_all_with(SetGrid& grid, const ResponseMatrix& matrix, bool popcount_instruction) {
  const int items = matrix.items();
  SetScores scores;
  scores.items = items;
  scores.full_groups = grid.full_groups();
  scores.total_groups = scores.full_groups * kSetCount;
  scores.sum.resize(kSetCount);
  scores.sum_of_squares.resize(kSetCount);
  std::vector<std::int64_t> counts_by_missed(static_cast<std::size_t>(items + 1));
  if (popcount_instruction) {
    score_with_popcnt(matrix, grid, scores, counts_by_missed);
  } else {
    score_portable(matrix, grid, scores, counts_by_missed);
  }
  scores.overall_counts.resize(static_cast<std::size_t>(items + 1));
  for (int w = 0; w <= items; ++w) {
    scores.overall_counts[static_cast<std::size_t>(items - w)] =
        static_cast<double>(counts_by_missed[static_cast<std::size_t>(w)]);
  }
  return scores;
}

}  // namespace

SetScores score_all(SetGrid& grid, const ResponseMatrix& matrix) {
  return score_all_with(grid, matrix, __builtin_cpu_supports("popcnt"));
}

SetScores score_all_portably(SetGrid& grid, const ResponseMatrix& matrix) {
  return score_all_with(grid, matrix, false);
}

}  // namespace quorvane
