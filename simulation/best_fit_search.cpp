#include "simulation/best_fit_search.h"

#include <algorithm>
#include <utility>

#include "simulation/set_label.h"

namespace quorvane {
namespace {

// Records one set's chi-square and the running best once it has been considered.
void consider_set(SearchLog& log, int set, double chi_square, double& best_chi_square) {
  log.chi_square.push_back(chi_square);
  const int best_before = set == 0 ? kNoSet : log.best_after.back();
  if (chi_square < best_chi_square) {
    best_chi_square = chi_square;
    log.best_after.push_back(set);
  } else {
    log.best_after.push_back(best_before);
  }
}

SearchLog start_log() {
  SearchLog log;
  log.chi_square.reserve(kSetCount);
  log.best_after.reserve(kSetCount);
  return log;
}

}  // namespace

SearchLog search_mv(const Statistics& statistics) {
  const double overall_mean = statistics.grand.overall_mean;
  const double overall_variance = statistics.grand.overall_variance;
  SearchLog log = start_log();
  double best_chi_square = kInitialBestChiSquare;
  for (int set = 0; set < kSetCount; ++set) {
    const double mean_gap = statistics.sets.mean[static_cast<std::size_t>(set)] - overall_mean;
    const double variance_gap =
        statistics.sets.variance[static_cast<std::size_t>(set)] - overall_variance;
    const double chi_square =
        mean_gap * mean_gap / overall_mean + variance_gap * variance_gap / overall_variance;
    consider_set(log, set, chi_square, best_chi_square);
  }
  if (log.best() != kNoSet) {
    log.outcome = SearchOutcome::kFound;
  } else if (overall_mean == 0.0) {
    log.outcome = SearchOutcome::kOverallMeanIsZero;
  } else if (overall_variance == 0.0) {
    log.outcome = SearchOutcome::kOverallVarianceIsZero;
  }
  return log;
}

DistSearch::DistSearch(const Statistics& statistics, int items, int full_groups,
                       std::size_t most_tabulated_terms)
    : full_groups_(full_groups),
      counts_(std::size_t{kSetsAtOnce} * static_cast<std::size_t>(items + 1)),
      log_(start_log()) {
  const std::vector<double>& overall = statistics.grand.overall_percentages;
  for (std::size_t v = 0; v < overall.size(); ++v) {
    if (!(overall[v] > 0)) continue;
    values_.push_back(v);
    overall_.push_back(overall[v]);
  }
  // A term depends only on v and the set's count of groups scoring v: tabulated for every value
  // that adds a term and every count up to G, or as many counts as the table holds.
  const std::size_t most_counts =
      std::max<std::size_t>(1, most_tabulated_terms / (values_.empty() ? 1 : values_.size()));
  const auto groups = static_cast<std::size_t>(full_groups);
  tabulated_counts_ = static_cast<unsigned>(groups < most_counts ? groups : most_counts - 1);
  terms_.resize(values_.size() * (tabulated_counts_ + 1));
  double* term_at = terms_.data();
  for (std::size_t index = 0; index < values_.size(); ++index) {
    for (unsigned count = 0; count <= tabulated_counts_; ++count) *term_at++ = term(index, count);
  }
}

double DistSearch::term(std::size_t value_index, unsigned count) const {
  const double groups = full_groups_;
  const double overall = overall_[value_index];
  const double q = count / groups * kPercent;
  return (q - overall) * (q - overall) / overall;
}

void DistSearch::consider() {
  // Each set's sum runs over v in order; the sums of four sets run side by side so that each
  // waits less on its own previous addition.
  double chi_square[kSetsAtOnce] = {0.0, 0.0, 0.0, 0.0};
  const std::size_t row_size = tabulated_counts_ + 1;
  const double* row = terms_.data();
  if (tabulated_counts_ == static_cast<unsigned>(full_groups_)) {
    for (const std::size_t v : values_) {
      const unsigned* count = &counts_[std::size_t{kSetsAtOnce} * v];
      chi_square[0] += row[count[0]];
      chi_square[1] += row[count[1]];
      chi_square[2] += row[count[2]];
      chi_square[3] += row[count[3]];
      row += row_size;
    }
  } else {
    for (std::size_t index = 0; index < values_.size(); ++index, row += row_size) {
      const unsigned* count = &counts_[std::size_t{kSetsAtOnce} * values_[index]];
      for (std::size_t i = 0; i < kSetsAtOnce; ++i) {
        chi_square[i] += count[i] <= tabulated_counts_ ? row[count[i]] : term(index, count[i]);
      }
    }
  }
  for (const std::size_t v : values_) {
    for (std::size_t i = 0; i < kSetsAtOnce; ++i) counts_[std::size_t{kSetsAtOnce} * v + i] = 0;
  }
  const int first = static_cast<int>(log_.chi_square.size());
  for (int i = 0; i < kSetsAtOnce; ++i) {
    consider_set(log_, first + i, chi_square[i], best_chi_square_);
  }
}

SearchLog DistSearch::finish() {
  if (log_.best() != kNoSet) log_.outcome = SearchOutcome::kFound;
  return std::move(log_);
}

}  // namespace quorvane
