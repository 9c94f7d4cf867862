#pragma once

#include <vector>

#include "simulation/response_matrix.h"
#include "simulation/set_grid.h"

namespace quorvane {

// What scoring every group of every set counts. A group's allMissed count W is the number of
// items all its members missed; its NumCorrect is M - W, from 0 to M.
struct SetScores {
  int items = 0;        // M
  int full_groups = 0;  // G, the groups of every set
  int total_groups = 0;
  std::vector<double> sum;             // per set: the sum of W over its groups
  std::vector<double> sum_of_squares;  // per set: the sum of W times W
  std::vector<double> distribution;    // per set, M + 1 counts: its groups scoring 0 to M
  std::vector<double> overall_counts;  // M + 1 counts: all groups of all sets scoring 0 to M

  const double* distribution_of(int set) const {
    return &distribution[static_cast<std::size_t>(set) * static_cast<std::size_t>(items + 1)];
  }
};

// Scores every group of every set in grid order, storing each group's allMissed in the grid.
SetScores score_all(SetGrid& grid, const ResponseMatrix& matrix);

}  // namespace quorvane
