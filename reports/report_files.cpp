#include "reports/report_files.h"

#include <cstdarg>
#include <cstdio>
#include <initializer_list>
#include <string_view>

namespace quorvane {
namespace {

std::string concat(std::initializer_list<std::string_view> parts) {
  std::string joined;
  for (std::string_view part : parts) joined.append(part);
  return joined;
}

// Appends one printf-formatted line to a report's text.
[[gnu::format(printf, 2, 3)]] void append_formatted(std::string& text, const char* format, ...) {
  char line[256];
  std::va_list values;
  va_start(values, format);
  std::va_list again;
  va_copy(again, values);
  const int length = std::vsnprintf(line, sizeof line, format, values);
  va_end(values);
  if (length > 0 && static_cast<std::size_t>(length) < sizeof line) {
    text.append(line, static_cast<std::size_t>(length));
  } else if (length > 0) {  // a number wider than any report normally holds
    const std::size_t start = text.size();
    text.resize(start + static_cast<std::size_t>(length) + 1);
    std::vsnprintf(&text[start], static_cast<std::size_t>(length) + 1, format, again);
    text.resize(start + static_cast<std::size_t>(length));
  }
  va_end(again);
}

}  // namespace

ReportFiles::ReportFiles(const EditionProfile& edition) : edition_(edition) {
  const std::string_view word = edition.groups_word;
  sections_[0].file_name = "NG-1-Representative-MV-DIST.txt";
  sections_[1].file_name = concat({"NG-2-10000-Sets-Of-NG-", word, ".txt"});
  sections_[2].file_name = "NG-3-Best-Fit-MV-ChiSqValues.txt";
  sections_[3].file_name = concat({"NG-4-Best-Fit-MV-", word, "-NumCorrect.txt"});
  sections_[4].file_name = "NG-5-Best-Fit-DIST-ChiSqValues.txt";
  sections_[5].file_name = concat({"NG-6-Best-Fit-DIST-", word, "-NumCorrect.txt"});
  sections_[6].file_name = "NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt";
  sections_[7].file_name = "NG-8-Cumulative-Best-Fit-DIST-For-Multiple-Runs.txt";
}

const ReportSection& ReportFiles::section(ReportFile file) const {
  return sections_[static_cast<std::size_t>(file) - 1];
}

std::string& ReportFiles::text(ReportFile file) {
  return sections_[static_cast<std::size_t>(file) - 1].text;
}

void ReportFiles::banner(ReportFile file) {
  text(file).append(concat({"\n", edition_.program_name, " -- Ardevine.\n\n"}));
}

void ReportFiles::set_statistics_heading() {
  text(ReportFile::kSetStatistics)
      .append(concat({"\nStatistics for the 10,000 Sets of Random Nominal Group ",
                      edition_.groups_word, ":\n\n"}));
}

void ReportFiles::set_statistics_line(SetLabel set, double mean, double variance) {
  append_formatted(text(ReportFile::kSetStatistics), "\nSet#: %d-%d\t Mean: %.4f\t Variance %.4f\t",
                   set.row, set.column, mean, variance);
}

void ReportFiles::grand_statistics(double overall_mean, double overall_variance,
                                   const std::vector<double>& percentages) {
  std::string& out = text(ReportFile::kRepresentative);
  out.append("\nThe following are the grand statistics for all 10,000 Sets\n\n");
  append_formatted(out, "\nOverall Mean: %.4f\t Overall Variance %.4f\n", overall_mean,
                   overall_variance);
  out.append(
      "\n\nOverall Distribution of Number Correct Responses for 10,000 Simulations (Percentages)");
  out.append("\nNCor\tPercentage\n");
  for (std::size_t v = 0; v < percentages.size(); ++v) {
    append_formatted(out, "\n%d: %.4f", static_cast<int>(v), percentages[v]);
  }
}

void ReportFiles::mv_heading() {
  text(ReportFile::kMvChiSquares)
      .append("\nBest-Fit For Mean & Variance.  Chi Square Values, Means, and Variances.\n\n");
}

void ReportFiles::mv_line(SetLabel set, double chi_square, double best_mean, double best_variance,
                          double best_chi_square, SetLabel best) {
  append_formatted(text(ReportFile::kMvChiSquares),
                   "\nSet#: %d-%d\t SetChiSq: %.4f\t BestFitMean: %.4f\t BestFitVar: %.4f\t "
                   "BestChiSq %.4f\tBestSet %d-%d\t",
                   set.row, set.column, chi_square, best_mean, best_variance, best_chi_square,
                   best.row, best.column);
}

void ReportFiles::dist_heading() {
  text(ReportFile::kDistChiSquares).append("\nBest-Fitting Distribution.  Chi Square Values.\n\n");
}

void ReportFiles::dist_line(SetLabel set, double chi_square, double best_chi_square,
                            SetLabel best) {
  append_formatted(text(ReportFile::kDistChiSquares),
                   "Set#: %d-%d:\t SetChiSq: %.4f\t BestChiSq: %.4f\tBestSet: %d-%d\n", set.row,
                   set.column, chi_square, best_chi_square, best.row, best.column);
}

void ReportFiles::mv_cumulative(double mean, double variance, double overall_mean,
                                double overall_variance, double chi_square) {
  append_formatted(text(ReportFile::kMvCumulative),
                   "\nBF-MV-Mean: %.4f\t BF-MV-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: "
                   "%.4f\t Best-MV-ChiSq: %.4f",
                   mean, variance, overall_mean, overall_variance, chi_square);
}

void ReportFiles::dist_cumulative(double mean, double variance, double overall_mean,
                                  double overall_variance, double chi_square) {
  append_formatted(text(ReportFile::kDistCumulative),
                   "\nBF-DIST-Mean: %.4f\t BF-DIST-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: "
                   "%.4f\t Best-DIST-ChiSq: %.4f",
                   mean, variance, overall_mean, overall_variance, chi_square);
}

void ReportFiles::listing_headings() {
  const std::string_view word = edition_.groups_word;
  const std::string column = concat({"\n", edition_.column_word, "\t\tNumCorr\n"});
  banner(ReportFile::kMvListing);
  text(ReportFile::kMvListing)
      .append(concat({"\nNominal Group ", word, " & Number Correct for Best Fitting MV Set\n\n"}))
      .append(column);
  banner(ReportFile::kDistListing);
  text(ReportFile::kDistListing)
      .append(concat({"\nNominal Group ", word, " & Number Correct for Best Fitting DIST Set\n\n"}))
      .append(column);
}

void ReportFiles::listing_line(ReportFile file, const int* members, int num_correct) {
  std::string& out = text(file);
  out.push_back('\n');
  for (int i = 0; i < edition_.group_size; ++i) {
    if (i > 0) out.append(edition_.member_separator);
    out.append(std::to_string(members[i]));
  }
  append_formatted(out, ":  \t\t%d", num_correct);
}

}  // namespace quorvane
