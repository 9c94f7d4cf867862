#include "simulation/best_fit_search.h"

#include <algorithm>

namespace quorvane {
namespace {

// Records one set's chi-square and the running best once it has been considered.
void consider(SearchLog& log, int set, double chi_square, double& best_chi_square) {
  log.chi_square.push_back(chi_square);
  const int best_before = set == 0 ? kNoSet : log.best_after.back();
  if (chi_square < best_chi_square) {
    best_chi_square = chi_square;
    log.best_after.push_back(set);
  } else {
    log.best_after.push_back(best_before);
  }
}

}  // namespace

SearchLog search_mv(const Statistics& statistics) {
  const double overall_mean = statistics.grand.overall_mean;
  const double overall_variance = statistics.grand.overall_variance;
  SearchLog log;
  log.chi_square.reserve(kSetCount);
  log.best_after.reserve(kSetCount);
  double best_chi_square = kInitialBestChiSquare;
  for (int set = 0; set < kSetCount; ++set) {
    const double mean_gap = statistics.sets.mean[static_cast<std::size_t>(set)] - overall_mean;
    const double variance_gap =
        statistics.sets.variance[static_cast<std::size_t>(set)] - overall_variance;
    const double chi_square =
        mean_gap * mean_gap / overall_mean + variance_gap * variance_gap / overall_variance;
    consider(log, set, chi_square, best_chi_square);
  }
  return log;
}

SearchLog search_dist(const SetGrid& grid, const SetScores& scores, const Statistics& statistics) {
  const std::vector<double>& overall = statistics.grand.overall_percentages;
  const int items = scores.items;
  const int groups = scores.full_groups;
  const double groups_as_double = groups;
  // A term depends only on v and the set's count c of groups scoring v: tabulated once for every
  // v with P[v] above 0 (the values that add a term) and every c from 0 to G.
  const auto row_size = static_cast<std::size_t>(groups + 1);
  std::vector<std::size_t> values;
  std::vector<double> terms;
  for (std::size_t v = 0; v < overall.size(); ++v) {
    if (!(overall[v] > 0)) continue;
    values.push_back(v);
    for (int count = 0; count <= groups; ++count) {
      const double q = count / groups_as_double * 100.0;
      terms.push_back((q - overall[v]) * (q - overall[v]) / overall[v]);
    }
  }

  SearchLog log;
  log.chi_square.reserve(kSetCount);
  log.best_after.reserve(kSetCount);
  double best_chi_square = kInitialBestChiSquare;
  // Each set's sum runs over v in order, as it always has; the sums of four sets run side by side
  // so that each waits less on its own previous addition. counts[4v + i]: the groups of the i-th
  // set scoring v.
  static_assert(kSetCount % 4 == 0);
  std::vector<unsigned> counts(4 * static_cast<std::size_t>(items + 1));
  for (int first = 0; first < kSetCount; first += 4) {
    for (std::size_t i = 0; i < 4; ++i) {
      const AllMissed* all_missed = grid.all_missed_of(first + static_cast<int>(i));
      for (int group = 0; group < groups; ++group) {
        counts[4 * static_cast<std::size_t>(items - all_missed[group]) + i] += 1;
      }
    }
    double chi_square[4] = {0.0, 0.0, 0.0, 0.0};
    const double* row = terms.data();
    for (const std::size_t v : values) {
      const unsigned* count = &counts[4 * v];
      chi_square[0] += row[count[0]];
      chi_square[1] += row[count[1]];
      chi_square[2] += row[count[2]];
      chi_square[3] += row[count[3]];
      row += row_size;
    }
    std::fill(counts.begin(), counts.end(), 0u);
    for (int i = 0; i < 4; ++i) consider(log, first + i, chi_square[i], best_chi_square);
  }
  return log;
}

}  // namespace quorvane
