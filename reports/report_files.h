#pragma once

#include <array>
#include <string>
#include <utility>
#include <vector>

#include "reports/edition_profile.h"
#include "simulation/set_label.h"

namespace quorvane {

// The eight report files, numbered as researchers know them.
enum class ReportFile {
  kRepresentative = 1,  // grand statistics and the overall distribution
  kSetStatistics = 2,   // mean and variance of every set
  kMvChiSquares = 3,    // MV chi-square of every set with the running best
  kMvListing = 4,       // the groups of the MV best set
  kDistChiSquares = 5,  // DIST chi-square of every set with the running best
  kDistListing = 6,     // the groups of the DIST best set
  kMvCumulative = 7,    // one line per run: the MV best fit
  kDistCumulative = 8,  // one line per run: the DIST best fit
};
inline constexpr int kReportFileCount = 8;

// The file name and the text one run appends to it.
struct ReportSection {
  std::string file_name;
  std::string text;
};
using ReportSections = std::array<ReportSection, kReportFileCount>;

// Collects the text one run appends to each of the eight report files, in memory. Every heading
// and line format of the reports lives here; the caller decides the values and the order of
// writing within each file, and appends the finished sections to the files in one step.
class ReportFiles {
 public:
  explicit ReportFiles(const EditionProfile& edition);

  // The sections so far; the tests read them this way.
  const ReportSections& sections() const { return sections_; }
  // The finished sections, handed over whole.
  ReportSections release() { return std::move(sections_); }

  void banner(ReportFile file);
  void set_statistics_heading();
  void set_statistics_line(SetLabel set, double mean, double variance);
  // Heading, overall mean and variance, and the percentage for each number correct from 0 to M.
  void grand_statistics(double overall_mean, double overall_variance,
                        const std::vector<double>& percentages);
  void mv_heading();
  void mv_line(SetLabel set, double chi_square, double best_mean, double best_variance,
               double best_chi_square, SetLabel best);
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
  std::string& text(ReportFile file);

  const EditionProfile& edition_;
  ReportSections sections_;
};

}  // namespace quorvane
