#include "simulation/best_fit_search.h"

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

SearchLog search_dist(const SetScores& scores, const Statistics& statistics) {
  const std::vector<double>& overall = statistics.grand.overall_percentages;
  const double groups = scores.full_groups;
  SearchLog log;
  log.chi_square.reserve(kSetCount);
  log.best_after.reserve(kSetCount);
  double best_chi_square = kInitialBestChiSquare;
  for (int set = 0; set < kSetCount; ++set) {
    const double* counts = scores.distribution_of(set);
    double chi_square = 0.0;
    for (std::size_t v = 0; v < overall.size(); ++v) {
      const double q = counts[v] / groups * 100.0;
      if (overall[v] > 0) chi_square += (q - overall[v]) * (q - overall[v]) / overall[v];
    }
    consider(log, set, chi_square, best_chi_square);
  }
  return log;
}

}  // namespace quorvane
