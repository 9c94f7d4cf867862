#include "reports/run_reports.h"

#include <vector>

#include "simulation/set_label.h"

namespace quorvane {
namespace {

// A set's label in the reports, 0-0 for no set.
SetLabel label_or_none(int set) { return set == kNoSet ? SetLabel{} : label_of(set); }

double value_or_zero(const std::vector<double>& per_set, int set) {
  return set == kNoSet ? 0.0 : per_set[static_cast<std::size_t>(set)];
}

void write_statistics(const Statistics& statistics, ReportFiles& reports) {
  reports.set_statistics_heading();
  for (int set = 0; set < kSetCount; ++set) {
    reports.set_statistics_line(label_of(set), statistics.sets.mean[static_cast<std::size_t>(set)],
                                statistics.sets.variance[static_cast<std::size_t>(set)]);
  }
  const GrandStatistics& grand = statistics.grand;
  reports.grand_statistics(grand.overall_mean, grand.overall_variance, grand.overall_percentages);
}

void write_searches(const Statistics& statistics, const SearchLog& mv, const SearchLog& dist,
                    ReportFiles& reports) {
  const SetStatistics& sets = statistics.sets;
  reports.mv_heading();
  for (int set = 0; set < kSetCount; ++set) {
    const int best = mv.best_after[static_cast<std::size_t>(set)];
    reports.mv_line(label_of(set), mv.chi_square[static_cast<std::size_t>(set)],
                    value_or_zero(sets.mean, best), value_or_zero(sets.variance, best),
                    mv.best_chi_square_after(set), label_or_none(best));
  }
  reports.dist_heading();
  for (int set = 0; set < kSetCount; ++set) {
    reports.dist_line(label_of(set), dist.chi_square[static_cast<std::size_t>(set)],
                      dist.best_chi_square_after(set),
                      label_or_none(dist.best_after[static_cast<std::size_t>(set)]));
  }
}

void write_summaries(const Statistics& statistics, const SearchLog& mv, const SearchLog& dist,
                     ReportFiles& reports) {
  const SetStatistics& sets = statistics.sets;
  const GrandStatistics& grand = statistics.grand;
  reports.mv_cumulative(value_or_zero(sets.mean, mv.best()),
                        value_or_zero(sets.variance, mv.best()), grand.overall_mean,
                        grand.overall_variance, mv.best_chi_square_after(kSetCount - 1));
  reports.dist_cumulative(value_or_zero(sets.mean, dist.best()),
                          value_or_zero(sets.variance, dist.best()), grand.overall_mean,
                          grand.overall_variance, dist.best_chi_square_after(kSetCount - 1));
}

void write_listing(const ChosenSet& choice, int group_size, ReportFile file, ReportFiles& reports) {
  for (std::size_t group = 0; group < choice.num_correct.size(); ++group) {
    reports.listing_line(file, &choice.members[group * static_cast<std::size_t>(group_size)],
                         choice.num_correct[group]);
  }
}

}  // namespace

ReportSections render_reports(const ReportWords& words, const RunResult& result) {
  ReportFiles reports(words, result.group_size);
  write_statistics(result.statistics, reports);
  write_searches(result.statistics, result.mv, result.dist, reports);
  write_summaries(result.statistics, result.mv, result.dist, reports);
  reports.listing_headings();
  write_listing(result.mv_choice, result.group_size, ReportFile::kMvListing, reports);
  write_listing(result.dist_choice, result.group_size, ReportFile::kDistListing, reports);
  return reports.release();
}

}  // namespace quorvane
