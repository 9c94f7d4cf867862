#include "simulation/set_scores.h"

#include <cstdint>

#include "simulation/set_label.h"

namespace quorvane {

SetScores score_sets(SetDraws& draws, const GroupScorer& scorer,
                     std::size_t most_distribution_bytes) {
  const int items = scorer.items();
  const int groups = scorer.full_groups();
  SetScores scores{
      items, groups, groups * kSetCount, {}, {}, {}, SetDistributions(most_distribution_bytes)};
  scores.sum.resize(kSetCount);
  scores.sum_of_squares.resize(kSetCount);
  std::vector<std::int64_t> counts_by_value(static_cast<std::size_t>(items + 1));
  std::vector<int> all_missed(static_cast<std::size_t>(groups));
  DistributionCounter counter(items);
  SetDistribution distribution;

  for (std::size_t set = 0; set < kSetCount; ++set) {
    scorer.score(draws.next(), all_missed.data());
    std::int64_t sum = 0;
    std::int64_t sum_of_squares = 0;
    for (const int w : all_missed) {
      sum += w;
      sum_of_squares += std::int64_t{w} * w;
    }
    // Whole numbers below 2^53: the same doubles as adding each group's W in turn.
    scores.sum[set] = static_cast<double>(sum);
    scores.sum_of_squares[set] = static_cast<double>(sum_of_squares);
    counter.count(all_missed.data(), groups, distribution);
    for (const ValueCount& entry : distribution) {
      counts_by_value[static_cast<std::size_t>(entry.value)] += entry.count;
    }
    scores.distributions.keep(distribution);
  }

  scores.overall_counts.resize(static_cast<std::size_t>(items + 1));
  for (std::size_t v = 0; v <= static_cast<std::size_t>(items); ++v) {
    scores.overall_counts[v] = static_cast<double>(counts_by_value[v]);
  }
  return scores;
}

}  // namespace quorvane
