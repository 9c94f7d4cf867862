#pragma once

#include <string>
#include <vector>

#include "reports/export_data.h"

namespace quorvane {

// The CSV tables of an export: a header row, then the rows; CRLF line ends; a full stop as
// decimal mark; each double in the shortest form that reads back to the same value, and an empty
// field for a value that is not a finite number or was not computed.

// number_correct, overall_percent, mv_best_percent, dist_best_percent, exact_percent: one row per
// v = 0..M; the column of a search that chose no set, and the exact column where the exact
// distribution was left out, are empty.
std::string distribution_csv(const ExportData& data);

// row, column, mean, variance, mv_chi_square, dist_chi_square: one row per set, in grid order.
std::string sets_csv(const ExportData& data);

// fit, group, member_1 .. member_k, (when the data file had labels) label_1 .. label_k,
// number_correct: the groups of the MV best set, then those of the DIST best set; a search that
// chose no set has no rows.
std::string groups_csv(const ExportData& data);

// One row for the run, to collect across runs and studies: data_file, group_size, participants,
// items, seed, sets, overall_mean, overall_variance, exact_mean, exact_variance, then for the MV
// and the DIST best set in turn its label (row-column), mean, variance and chi-square, all empty
// for a search that chose no set, and the program and its version.
std::string summary_csv(const ExportData& data);

// A field of a table as its CSV text holds it: a number (as written), a text, or nothing.
struct TableCell {
  enum class Kind { kEmpty, kText, kNumber };
  Kind kind = Kind::kEmpty;
  std::string text;
};
using TableRows = std::vector<std::vector<TableCell>>;
struct NamedTable {
  std::string name;
  TableRows rows;  // the header first
};

// The four tables, field for field as their CSV files hold them, for the workbook: summary,
// distribution, sets and groups.
std::vector<NamedTable> export_tables(const ExportData& data);

}  // namespace quorvane
