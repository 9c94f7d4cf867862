#pragma once

#include <vector>

#include "simulation/set_statistics.h"

namespace quorvane {

// Every search starts with this best chi-square; a set must fall below it to become the best.
inline constexpr double kInitialBestChiSquare = 1000000.0;
inline constexpr int kNoSet = -1;

// How a search ended: with a best set, or why without one.
enum class SearchOutcome {
  kFound,
  kOverallMeanIsZero,      // MV: no group answered any item correctly
  kOverallVarianceIsZero,  // MV: within every set all groups scored alike
  kNoChiSquareBelowStart,  // no set's chi-square is a number below kInitialBestChiSquare
};

// One chi-square search over the grid: every set's chi-square and the running best after each
// set. A set becomes the best only with a chi-square strictly below the best so far, so a tie
// keeps the earlier set and a chi-square that is not a number never becomes the best.
struct SearchLog {
  std::vector<double> chi_square;  // per set
  std::vector<int> best_after;     // per set: the best set once it has been considered, or kNoSet
  SearchOutcome outcome = SearchOutcome::kNoChiSquareBelowStart;

  int best() const { return best_after.back(); }
  bool found() const { return outcome == SearchOutcome::kFound; }
  double best_chi_square_after(int set) const {
    const int best_set = best_after[static_cast<std::size_t>(set)];
    return best_set == kNoSet ? kInitialBestChiSquare
                              : chi_square[static_cast<std::size_t>(best_set)];
  }
};

// The MV search: (mean - OM)^2 / OM + (variance - OV)^2 / OV for every set.
SearchLog search_mv(const Statistics& statistics);

// The DIST search, fed the sets' distributions in grid order four at a time: for every set, the
// sum over the
// values v from 0 to M with an overall percentage P[v] above 0 of (q - P[v])^2 / P[v], q
// the percentage of its G groups scoring v.
class DistSearch {
 public:
  static constexpr int kSetsAtOnce = 4;
  // Enough for every count of every value in any study of up to a few hundred participants;
  // larger counts are worked out when met.
  static constexpr std::size_t kMostTabulatedTerms = std::size_t{1} << 17;

  // Terms are tabulated up to most_tabulated_terms in all (a test sets a small table to check
  // that counts beyond it are worked out alike).
  DistSearch(const Statistics& statistics, int items, int full_groups,
             std::size_t most_tabulated_terms = kMostTabulatedTerms);

  // Where the next kSetsAtOnce sets' distributions go before consider(): the i-th set's count of
  // groups scoring v at counts()[kSetsAtOnce x v + i], for v from 0 to M. They are 0 to begin
  // with, and consider() sets those it reads, of the values with P[v] above 0, to 0 again.
  unsigned* counts() { return counts_.data(); }
  // Considers the next kSetsAtOnce sets, whose distributions are in counts().
  void consider();
  // Whether the set became the best when it was considered.
  bool became_best(int set) const { return log_.best_after[static_cast<std::size_t>(set)] == set; }
  SearchLog finish();

 private:
  double term(std::size_t value_index, unsigned count) const;

  int full_groups_;
  std::vector<double> overall_;      // the P[v] above 0, in the order of values_
  std::vector<std::size_t> values_;  // the values v with P[v] above 0, ascending
  std::vector<double> terms_;        // (v, count) tabulated for counts up to tabulated_counts_
  unsigned tabulated_counts_ = 0;
  std::vector<unsigned> counts_;  // counts_[kSetsAtOnce v + i]: groups of the i-th set scoring v
  SearchLog log_;
  double best_chi_square_ = kInitialBestChiSquare;
};

}  // namespace quorvane
