#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quorvane {

// The export of one run: three CSV tables that R, SPSS and spreadsheets read directly, and an SVG
// picture of the distribution of number correct. Everything here is rendered in memory from plain
// values; the caller fills them from the run's result and writes the texts where it likes.

// One of the 10,000 sets, with its place in the 100 by 100 grid (each coordinate from 1).
struct ExportedSet {
  int row = 0;
  int column = 0;
  double mean = 0.0;
  double variance = 0.0;
  double mv_chi_square = 0.0;
  double dist_chi_square = 0.0;
};

// The set one best-fit search chose, or none when `found` is false.
struct ExportedFit {
  bool found = false;
  int row = 0;
  int column = 0;
  double chi_square = 0.0;
  std::vector<double> percentages;       // v = 0..M: its groups scoring v / G * 100.0
  std::vector<std::vector<int>> groups;  // each group's k members, in slot order
  std::vector<int> num_correct;          // each group's number correct
};

struct ExportData {
  std::string program_name;  // e.g. "Quorvane-Triads"
  std::string data_file;     // as the user named it
  int participants = 0;      // N
  int items = 0;             // M
  int group_size = 0;        // k
  std::uint32_t seed = 0;
  std::vector<double> overall_percentages;  // v = 0..M, over all groups of all 10,000 sets
  std::vector<ExportedSet> sets;            // grid order: row 1 columns 1..100, row 2 ...
  ExportedFit mv;
  ExportedFit dist;
  std::vector<std::string> labels;  // participant 1..N's, when the data file had them
};

// A file of the export: its name and its whole text.
struct ExportFile {
  std::string file_name;
  std::string text;
};
inline constexpr int kExportFileCount = 4;

// The names of the four files for the export name `name`, in the order render_export_files gives
// them: NAME-distribution.csv, NAME-sets.csv, NAME-groups.csv, NAME.svg.
std::array<std::string, kExportFileCount> export_file_names(std::string_view name);

std::array<ExportFile, kExportFileCount> render_export_files(const ExportData& data,
                                                             std::string_view name);

// The CSV tables: a header row, then the rows; CRLF line ends; a full stop as decimal mark; each
// double in the shortest form that reads back to the same value, and an empty field for a value
// that is not a finite number.

// number_correct, overall_percent, mv_best_percent, dist_best_percent: one row per v = 0..M; the
// column of a search that chose no set is empty.
std::string distribution_csv(const ExportData& data);

// row, column, mean, variance, mv_chi_square, dist_chi_square: one row per set, in grid order.
std::string sets_csv(const ExportData& data);

// fit, group, member_1 .. member_k, (when the data file had labels) label_1 .. label_k,
// number_correct: the groups of the MV best set, then those of the DIST best set; a search that
// chose no set has no rows.
std::string groups_csv(const ExportData& data);

// The picture: a standalone SVG 1.1 document of kSvgWidth by kSvgHeight pixels.
inline constexpr int kSvgWidth = 960;
inline constexpr int kSvgHeight = 540;
// The width of the plot inside it, and the most bars drawn in it: each bar has at least 4 pixels,
// so that bars, and the chosen sets' points over them, stay apart. When there are more values of v
// than bars, adjacent values are added together into bins, and the caption says so.
inline constexpr int kSvgPlotWidth = 860;
inline constexpr int kSvgMostBars = kSvgPlotWidth / 4;

std::string distribution_svg(const ExportData& data);

}  // namespace quorvane
