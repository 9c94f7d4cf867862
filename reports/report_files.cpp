#include "reports/report_files.h"

#include <cstring>
#include <initializer_list>
#include <string_view>

#include "reports/report_line.h"
#include "simulation/set_label.h"

namespace quorvane {
namespace {

// Each heading of files 2, 3 and 5 is followed by one line for each of the 10,000 sets. Making
// room for them at once, with a little to spare per line, spares copying a growing text; room that
// is never written to costs no memory.
void make_room_for_set_lines(std::string& text, std::size_t longest_usual_line) {
  text.reserve(text.size() + std::size_t{kSetCount} * longest_usual_line);
}

std::string concat(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (std::string_view part : parts) joined.append(part);
  return joined;
}

}  // namespace

bool ReportFiles::RunningBest::holds(const std::array<double, 3>& now, SetLabel now_best) const {
  // The same bits: a NaN or a zero of the other sign is written anew.
  return now_best.row == best.row && now_best.column == best.column &&
         std::memcmp(now.data(), values.data(), sizeof values) == 0;
}

ReportFiles::ReportFiles(const ReportWords& words, int group_size)
    : words_(words), group_size_(group_size) {
  const std::array<std::string, kReportFileCount> names = report_file_names(words);
  for (std::size_t i = 0; i < names.size(); ++i) sections_[i].file_name = names[i];
}

std::string& ReportFiles::text(ReportFile file) {
  return sections_[static_cast<std::size_t>(file) - 1].text;
}

void ReportFiles::banner(ReportFile file) {
  text(file).append(concat({"\n", words_.program_name, " -- Ardevine.\n\n"}));
}

void ReportFiles::set_statistics_heading() {
  banner(ReportFile::kSetStatistics);
  std::string& out = text(ReportFile::kSetStatistics);
  out.append(
      concat({"\nStatistics for the 10,000 Sets of Random ", words_.heading_groups, ":\n\n"}));
  make_room_for_set_lines(out, 64);
}

void ReportFiles::set_statistics_line(SetLabel set, double mean, double variance) {
  // "\nSet#: %d-%d\t Mean: %.4f\t Variance %.4f\t"
  ReportLine(text(ReportFile::kSetStatistics))
      << "\nSet#: " << set << "\t Mean: " << FourDecimals{mean} << "\t Variance "
      << FourDecimals{variance} << "\t";
}

void ReportFiles::grand_statistics(double overall_mean, double overall_variance,
                                   const std::vector<double>& percentages) {
  banner(ReportFile::kRepresentative);
  std::string& out = text(ReportFile::kRepresentative);
  out.append("\nThe following are the grand statistics for all 10,000 Sets\n\n");
  // "\nOverall Mean: %.4f\t Overall Variance %.4f\n"
  ReportLine(out) << "\nOverall Mean: " << FourDecimals{overall_mean} << "\t Overall Variance "
                  << FourDecimals{overall_variance} << "\n";
  out.append(
      "\n\nOverall Distribution of Number Correct Responses for 10,000 Simulations (Percentages)");
  out.append("\nNCor\tPercentage\n");
  for (std::size_t v = 0; v < percentages.size(); ++v) {
    // "\n%d: %.4f"
    ReportLine(out) << "\n" << static_cast<int>(v) << ": " << FourDecimals{percentages[v]};
  }
}

void ReportFiles::mv_heading() {
  banner(ReportFile::kMvChiSquares);
  std::string& out = text(ReportFile::kMvChiSquares);
  out.append("\nBest-Fit For Mean & Variance.  Chi Square Values, Means, and Variances.\n\n");
  make_room_for_set_lines(out, 128);
}

void ReportFiles::mv_line(SetLabel set, double chi_square, double best_mean, double best_variance,
                          double best_chi_square, SetLabel best) {
  // "\nSet#: %d-%d\t SetChiSq: %.4f\t BestFitMean: %.4f\t BestFitVar: %.4f\t BestChiSq %.4f\t"
  // "BestSet %d-%d\t"
  const std::array<double, 3> values = {best_mean, best_variance, best_chi_square};
  if (!mv_best_.holds(values, best)) {
    mv_best_.text.clear();
    ReportLine(mv_best_.text) << "\t BestFitMean: " << FourDecimals{best_mean}
                              << "\t BestFitVar: " << FourDecimals{best_variance} << "\t BestChiSq "
                              << FourDecimals{best_chi_square} << "\tBestSet " << best << "\t";
    mv_best_.values = values;
    mv_best_.best = best;
  }
  ReportLine(text(ReportFile::kMvChiSquares))
      << "\nSet#: " << set << "\t SetChiSq: " << FourDecimals{chi_square} << mv_best_.text;
}

void ReportFiles::dist_heading() {
  banner(ReportFile::kDistChiSquares);
  std::string& out = text(ReportFile::kDistChiSquares);
  out.append("\nBest-Fitting Distribution.  Chi Square Values.\n\n");
  make_room_for_set_lines(out, 96);
}

void ReportFiles::dist_line(SetLabel set, double chi_square, double best_chi_square,
                            SetLabel best) {
  // "Set#: %d-%d:\t SetChiSq: %.4f\t BestChiSq: %.4f\tBestSet: %d-%d\n"
  const std::array<double, 3> values = {best_chi_square, 0.0, 0.0};
  if (!dist_best_.holds(values, best)) {
    dist_best_.text.clear();
    ReportLine(dist_best_.text) << "\t BestChiSq: " << FourDecimals{best_chi_square}
                                << "\tBestSet: " << best << "\n";
    dist_best_.values = values;
    dist_best_.best = best;
  }
  ReportLine(text(ReportFile::kDistChiSquares))
      << "Set#: " << set << ":\t SetChiSq: " << FourDecimals{chi_square} << dist_best_.text;
}

void ReportFiles::mv_cumulative(double mean, double variance, double overall_mean,
                                double overall_variance, double chi_square) {
  // "\nBF-MV-Mean: %.4f\t BF-MV-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: %.4f\t "
  // "Best-MV-ChiSq: %.4f"
  ReportLine(text(ReportFile::kMvCumulative))
      << "\nBF-MV-Mean: " << FourDecimals{mean} << "\t BF-MV-Var: " << FourDecimals{variance}
      << "\t Overall-Mean: " << FourDecimals{overall_mean}
      << "\t Overall-Var: " << FourDecimals{overall_variance}
      << "\t Best-MV-ChiSq: " << FourDecimals{chi_square};
}

void ReportFiles::dist_cumulative(double mean, double variance, double overall_mean,
                                  double overall_variance, double chi_square) {
  // "\nBF-DIST-Mean: %.4f\t BF-DIST-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: %.4f\t "
  // "Best-DIST-ChiSq: %.4f"
  ReportLine(text(ReportFile::kDistCumulative))
      << "\nBF-DIST-Mean: " << FourDecimals{mean} << "\t BF-DIST-Var: " << FourDecimals{variance}
      << "\t Overall-Mean: " << FourDecimals{overall_mean}
      << "\t Overall-Var: " << FourDecimals{overall_variance}
      << "\t Best-DIST-ChiSq: " << FourDecimals{chi_square};
}

void ReportFiles::listing_headings() {
  const std::string_view groups = words_.heading_groups;
  const std::string column = concat({"\n", words_.column_heading, "\t\tNumCorr\n"});
  banner(ReportFile::kMvListing);
  text(ReportFile::kMvListing)
      .append(concat({"\n", groups, " & Number Correct for Best Fitting MV Set\n\n"}))
      .append(column);
  banner(ReportFile::kDistListing);
  text(ReportFile::kDistListing)
      .append(concat({"\n", groups, " & Number Correct for Best Fitting DIST Set\n\n"}))
      .append(column);
}

void ReportFiles::listing_line(ReportFile file, const int* members, int num_correct) {
  ReportLine line(text(file));
  line << "\n";
  for (int i = 0; i < group_size_; ++i) {
    if (i > 0) line << words_.member_separator;
    line << members[i];
  }
  // ":  \t\t%d"
  line << ":  \t\t" << num_correct;
}

}  // namespace quorvane
