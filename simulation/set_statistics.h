#pragma once

#include <vector>

#include "simulation/set_scores.h"

namespace quorvane {

// Each set's mean and sample variance of its groups' NumCorrect.
struct SetStatistics {
  std::vector<double> mean;
  std::vector<double> variance;
};

// The whole grid: the averages of the 10,000 set means and variances (not statistics pooled
// over all groups) and the percentage of all groups that scored each NumCorrect from 0 to M.
struct GrandStatistics {
  double overall_mean = 0.0;
  double overall_variance = 0.0;
  std::vector<double> overall_percentages;
};

struct Statistics {
  SetStatistics sets;
  GrandStatistics grand;
};

// Percentages are counts divided by their whole, times this.
inline constexpr double kPercent = 100.0;

Statistics compute_statistics(const SetScores& scores);

}  // namespace quorvane
