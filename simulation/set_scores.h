#pragma once

#include <cstddef>
#include <functional>
#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/set_distributions.h"
#include "simulation/set_draws.h"

namespace quorvane {

// What scoring every group of every set counts: each set's sums of its groups' allMissed counts,
// how many groups of all sets scored each NumCorrect, and each set's distribution, as far as
// they fit.
struct SetScores {
  int items = 0;        // M
  int full_groups = 0;  // G, the groups of every set
  int total_groups = 0;
  std::vector<double> sum;                  // per set: the sum of W over its groups
  std::vector<double> sum_of_squares;       // per set: the sum of W times W
  std::vector<double> overall_counts;       // M + 1 counts: all groups of all sets scoring 0 to M
  SetDistributions distributions{0, 0, 0};  // the first distributions.kept() sets.
};

// Told how many sets are scored so far, every kSetsScoredStep sets and at the last: for a front
// end that shows a long run's progress. It must not throw.
using SetsScored = std::function<void(int sets)>;
inline constexpr int kSetsScoredStep = 250;

// Draws the 10,000 sets, from the first, and scores every group of each; keeps the sets'
// distributions in at most most_distribution_bytes.
SetScores score_sets(SetDraws& draws, const GroupScorer& scorer,
                     std::size_t most_distribution_bytes = SetDistributions::kNoLimit,
                     const SetsScored& sets_scored = nullptr);

}  // namespace quorvane
