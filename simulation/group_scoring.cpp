#include "simulation/group_scoring.h"

namespace quorvane {
namespace {

// The items that every member of the group missed.
int all_missed(const ResponseMatrix& matrix, const int* members, int group_size) {
  int count = 0;
  for (int item = 1; item <= matrix.items(); ++item) {
    int product = 1;
    for (int m = 0; m < group_size; ++m) product *= matrix.missed(members[m], item);
    count += product;
  }
  return count;
}

}  // namespace

SetScores score_all(SetGrid& grid, const ResponseMatrix& matrix) {
  const int items = matrix.items();
  const int group_size = grid.group_size();
  const auto values = static_cast<std::size_t>(items + 1);
  SetScores scores;
  scores.items = items;
  scores.full_groups = grid.full_groups();
  scores.sum.assign(kSetCount, 0.0);
  scores.sum_of_squares.assign(kSetCount, 0.0);
  scores.distribution.assign(kSetCount * values, 0.0);
  scores.overall_counts.assign(values, 0.0);
  for (int set = 0; set < kSetCount; ++set) {
    double* distribution = &scores.distribution[static_cast<std::size_t>(set) * values];
    for (int group = 0; group < scores.full_groups; ++group) {
      const int w = all_missed(matrix, grid.members(set, group * group_size), group_size);
      grid.set_all_missed(set, group, w);
      const auto num_correct = static_cast<std::size_t>(items - w);
      scores.overall_counts[num_correct] += 1;
      distribution[num_correct] += 1;
      scores.sum[static_cast<std::size_t>(set)] += w;
      scores.sum_of_squares[static_cast<std::size_t>(set)] += w * w;
      scores.total_groups += 1;
    }
  }
  return scores;
}

}  // namespace quorvane
