#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "platform/named_text.h"
#include "reports/report_names.h"
#include "reports/report_words.h"
#include "simulation/set_label.h"

namespace quorvane {

// The file name and the text one run appends to it, for each of the eight reports.
using ReportSections = std::array<NamedText, kReportFileCount>;

// Collects the text one run appends to each of the eight report files, in memory. Each file's
// layout lives here: its banner, its headings and its line formats; the caller decides the values
// and the order of writing, and appends the finished sections to the files in one step.
class ReportFiles {
 public:
  // Groups of `group_size` members, in the words given.
  ReportFiles(const ReportWords& words, int group_size);

  // The sections so far; the tests read them this way.
  const ReportSections& sections() const { return sections_; }
  // The finished sections, handed over whole.
  ReportSections release() { return std::move(sections_); }

  // Banner and heading of file 2.
  void set_statistics_heading();
  void set_statistics_line(SetLabel set, double mean, double variance);
  // File 1 whole: banner, heading, overall mean and variance, and the percentage for each number
  // correct from 0 to M.
  void grand_statistics(double overall_mean, double overall_variance,
                        const std::vector<double>& percentages);
  // Banner and heading of file 3.
  void mv_heading();
  void mv_line(SetLabel set, double chi_square, double best_mean, double best_variance,
               double best_chi_square, SetLabel best);
  // Banner and heading of file 5.
  void dist_heading();
  void dist_line(SetLabel set, double chi_square, double best_chi_square, SetLabel best);
  void mv_cumulative(double mean, double variance, double overall_mean, double overall_variance,
                     double chi_square);
  void dist_cumulative(double mean, double variance, double overall_mean, double overall_variance,
                       double chi_square);
  // Banner, listing heading and column heading of files 4 and 6.
  void listing_headings();
  // One group: its k members in slot order and its number correct.
  void listing_line(ReportFile file, const int* members, int num_correct);

 private:
  // The columns of a search's line that name its best set so far, which repeat from line to line
  // until a set becomes the best: written once, and copied while the values stay the same.
  struct RunningBest {
    std::array<double, 3> values{};
    SetLabel best{-1, -1};
    std::string text;

    bool holds(const std::array<double, 3>& now, SetLabel now_best) const;
  };

  std::string& text(ReportFile file);
  void banner(ReportFile file);

  const ReportWords& words_;
  int group_size_;
  ReportSections sections_;
  RunningBest mv_best_;
  RunningBest dist_best_;
};

}  // namespace quorvane
