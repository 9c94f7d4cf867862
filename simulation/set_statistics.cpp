#include "simulation/set_statistics.h"

namespace quorvane {

Statistics compute_statistics(const SetScores& scores) {
  const double groups = scores.full_groups;
  const double items = scores.items;
  Statistics statistics;
  SetStatistics& sets = statistics.sets;
  GrandStatistics& grand = statistics.grand;
  sets.mean.resize(kSetCount);
  sets.variance.resize(kSetCount);
  for (std::size_t set = 0; set < kSetCount; ++set) {
    const double sum = scores.sum[set];
    sets.mean[set] = items - sum / groups;
    sets.variance[set] = (scores.sum_of_squares[set] - sum * sum / groups) / (groups - 1);
    grand.mean_total += sets.mean[set];
    grand.variance_total += sets.variance[set];
  }
  grand.overall_mean = grand.mean_total / 10000.0;
  grand.overall_variance = grand.variance_total / 10000.0;
  const double total_groups = scores.total_groups;
  for (const double count : scores.overall_counts) {
    grand.overall_percentages.push_back(count / total_groups * 100.0);
  }
  return statistics;
}

}  // namespace quorvane
