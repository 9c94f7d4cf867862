#pragma once

#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/set_statistics.h"

namespace quorvane {

inline constexpr double kInitialBestChiSquare = 1000000.0;
inline constexpr int kNoSet = -1;

// One chi-square search over the grid: every set's chi-square and the running best after each
// set. A set becomes the best only with a chi-square strictly below the best so far, so a tie
// keeps the earlier set and a chi-square that is not a number never becomes the best; a search
// in which no set falls below 1,000,000 has no best set.
struct SearchLog {
  std::vector<double> chi_square;  // per set
  std::vector<int> best_after;     // per set: the best set once it has been considered, or kNoSet

  int best() const { return best_after.back(); }
  bool found() const { return best() != kNoSet; }
  double best_chi_square_after(int set) const {
    const int best_set = best_after[static_cast<std::size_t>(set)];
    return best_set == kNoSet ? kInitialBestChiSquare
                              : chi_square[static_cast<std::size_t>(best_set)];
  }
};

// The MV search: (mean - OM)^2 / OM + (variance - OV)^2 / OV for every set.
SearchLog search_mv(const Statistics& statistics);

// The DIST search: for every set, the sum over the values v from 0 to M with an overall
// percentage P[v] above 0 of (q - P[v])^2 / P[v], q the set's percentage of groups scoring v,
// counted from its groups' allMissed counts in the grid.
SearchLog search_dist(const SetGrid& grid, const SetScores& scores, const Statistics& statistics);

}  // namespace quorvane
