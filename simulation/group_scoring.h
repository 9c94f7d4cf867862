#pragma once

#include <vector>

#include "simulation/response_matrix.h"
#include "simulation/set_grid.h"

namespace quorvane {

// What scoring every group of every set counts. A group's allMissed count W is the number of
// items all its members missed; its NumCorrect is M - W, from 0 to M. Each set's distribution of
// NumCorrect is not kept: it follows from the set's allMissed counts in the grid.
struct SetScores {
  int items = 0;        // M
  int full_groups = 0;  // G, the groups of every set
  int total_groups = 0;
  std::vector<double> sum;             // per set: the sum of W over its groups
  std::vector<double> sum_of_squares;  // per set: the sum of W times W
  std::vector<double> overall_counts;  // M + 1 counts: all groups of all sets scoring 0 to M
};

// Scores every group of every set in grid order, storing each group's allMissed in the grid.
SetScores score_all(SetGrid& grid, const ResponseMatrix& matrix);

// The same, counting bits without the processor's popcount instruction, as score_all does on a
// processor that lacks it.
SetScores score_all_portably(SetGrid& grid, const ResponseMatrix& matrix);

}  // namespace quorvane
