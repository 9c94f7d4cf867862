#include "simulation/set_statistics.h"

#include "simulation/set_label.h"

namespace quorvane {

Statistics compute_statistics(const SetScores& scores) {
  const double groups = scores.full_groups;
  const double items = scores.items;
  Statistics statistics;
  SetStatistics& sets = statistics.sets;
  GrandStatistics& grand = statistics.grand;
  sets.mean.resize(kSetCount);
  sets.variance.resize(kSetCount);
  double mean_total = 0.0;
  double variance_total = 0.0;
  for (std::size_t set = 0; set < kSetCount; ++set) {
    const double sum = scores.sum[set];
    sets.mean[set] = items - sum / groups;
    sets.variance[set] = (scores.sum_of_squares[set] - sum * sum / groups) / (groups - 1);
    mean_total += sets.mean[set];
    variance_total += sets.variance[set];
  }
  const double set_count = kSetCount;
  grand.overall_mean = mean_total / set_count;
  grand.overall_variance = variance_total / set_count;
  const double total_groups = scores.total_groups;
  for (const double count : scores.overall_counts) {
    grand.overall_percentages.push_back(count / total_groups * kPercent);
  }
  return statistics;
}

}  // namespace quorvane
