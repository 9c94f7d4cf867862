// The export: CSV tables read back by an independent reader, and the SVG picture checked as XML.
#include "reports/export_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <map>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "reports/export_tables.h"
#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

using testing::count_of;
using testing::csv_rows;
using testing::read_double;
using testing::Rows;

bool same_bits(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A fit whose G groups score made-up numbers correct out of M, with its percentages counted from
// them the way a run counts them.
ExportedFit made_up_fit(int items, int groups, int group_size, int row, unsigned seed) {
  std::mt19937 random(seed);
  std::binomial_distribution<int> score(items, 0.6);
  ExportedFit fit;
  fit.found = true;
  fit.row = row;
  fit.column = 100 - row;
  fit.chi_square = 0.5 * row;
  std::vector<int> counts(static_cast<std::size_t>(items) + 1, 0);
  for (int g = 0; g < groups; ++g) {
    fit.groups.emplace_back();
    for (int i = 0; i < group_size; ++i) fit.groups.back().push_back(g * group_size + i + 1);
    fit.num_correct.push_back(score(random));
    ++counts[static_cast<std::size_t>(fit.num_correct.back())];
  }
  double sum = 0.0, squares = 0.0;
  for (const int num_correct : fit.num_correct) sum += num_correct;
  fit.mean = sum / groups;
  for (const int num_correct : fit.num_correct)
    squares += (num_correct - fit.mean) * (num_correct - fit.mean);
  fit.variance = squares / (groups - 1);
  for (const int count : counts)
    fit.percentages.push_back(count / static_cast<double>(groups) * 100.0);
  return fit;
}

ExportData made_up_export(int items, bool dist_found) {
  ExportData data;
  data.data_file = "study.txt";
  data.participants = 30;
  data.items = items;
  data.group_size = 3;
  data.seed = 2024u;
  const ExportedFit overall = made_up_fit(items, 20000, 3, 1, 7u);
  data.overall_percentages = overall.percentages;
  data.overall_mean = overall.mean;
  data.overall_variance = overall.variance;
  data.mv = made_up_fit(items, 10, 3, 12, 8u);
  if (dist_found) data.dist = made_up_fit(items, 10, 3, 40, 9u);
  return data;
}

// Catches numbers written with a fixed number of digits (0.1 as 0.1000, 1e-300 as 0.0000, 1/3
// cut short), or in a form that reads back to a neighbouring double.
TEST(ExportCsv, AwkwardDoublesReadBackToTheSameDouble) {
  const double awkward[] = {0.1,
                            1e-300,
                            12.345678901234567,
                            1.0 / 3.0,
                            -0.0,
                            DBL_MAX,
                            std::numeric_limits<double>::denorm_min(),
                            2.0 / 3.0 * 1e16};
  std::vector<double> means, variances, mv_chi_squares, dist_chi_squares;
  for (const double value : awkward) {
    means.push_back(value);
    variances.push_back(-value);
    mv_chi_squares.push_back(value);
    dist_chi_squares.push_back(value * 0.5);
  }
  ExportData data;
  data.sets = {&means, &variances, &mv_chi_squares, &dist_chi_squares};
  const Rows rows = csv_rows(sets_csv(data));
  ASSERT_EQ(rows.size(), std::size(awkward) + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"row", "column", "mean", "variance", "mv_chi_square",
                                               "dist_chi_square"}));
  for (std::size_t i = 0; i < std::size(awkward); ++i) {
    const std::vector<std::string>& row = rows[i + 1];
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(row[0], "1");
    EXPECT_EQ(row[1], std::to_string(i + 1));
    for (const auto& [field, value] :
         {std::pair{row[2], means[i]}, std::pair{row[3], variances[i]},
          std::pair{row[4], mv_chi_squares[i]}, std::pair{row[5], dist_chi_squares[i]}}) {
      EXPECT_TRUE(same_bits(read_double(field), value)) << field;
    }
  }
}

// Catches "nan" and "inf" in the tables, which R and spreadsheets read as text.
TEST(ExportCsv, ValuesThatAreNotFiniteAreEmptyFields) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  const std::vector<double> means(102, nan), variances(102, inf), mv(102, -inf), dist(102, 0.25);
  ExportData data;
  data.sets = {&means, &variances, &mv, &dist};
  const Rows rows = csv_rows(sets_csv(data));
  ASSERT_EQ(rows.size(), 103u);
  // Set 101 is the first of the grid's second row.
  EXPECT_EQ(rows[101], (std::vector<std::string>{"2", "1", "", "", "", "0.25"}));
}

// Catches a missing row for v = M, columns in the wrong order, zeros written for a search that
// chose no set (they would read as a set that nobody scored in) or for an exact distribution that
// was left out (they would read as values no group can score), and an exact column shifted by one.
TEST(ExportCsv, DistributionHasEveryNumberCorrectAndEachColumnAddsUpTo100) {
  const int items = 15;
  for (const bool with_exact : {false, true}) {
    ExportData data = made_up_export(items, false);
    if (with_exact) data.exact.percentages = made_up_fit(items, 5000, 3, 2, 3u).percentages;
    const Rows rows = csv_rows(distribution_csv(data));
    ASSERT_EQ(rows.size(), static_cast<std::size_t>(items) + 2);
    EXPECT_EQ(rows[0],
              (std::vector<std::string>{"number_correct", "overall_percent", "mv_best_percent",
                                        "dist_best_percent", "exact_percent"}));
    double overall = 0.0, mv = 0.0;
    for (int v = 0; v <= items; ++v) {
      const auto at = static_cast<std::size_t>(v);
      const std::vector<std::string>& row = rows[at + 1];
      ASSERT_EQ(row.size(), 5u);
      EXPECT_EQ(row[0], std::to_string(v));
      overall += read_double(row[1]);
      mv += read_double(row[2]);
      EXPECT_EQ(row[3], "");
      if (with_exact) {
        EXPECT_TRUE(same_bits(read_double(row[4]), data.exact.percentages[at])) << v;
      } else {
        EXPECT_EQ(row[4], "") << v;
      }
    }
    EXPECT_NEAR(overall, 100.0, 1e-9);
    EXPECT_NEAR(mv, 100.0, 1e-9);
  }
}

// Catches a summary whose fields are out of the header's order, a chosen set's figures taken
// from the other search, zeros or "0-0" where a search chose no set or an exact value was left
// out (they would be averaged with real values across runs), and more than one data row.
TEST(ExportCsv, SummaryIsOneRowWithEachFigureUnderItsName) {
  const std::vector<std::string> header = {
      "data_file", "group_size",    "participants",     "items",         "seed",
      "sets",      "overall_mean",  "overall_variance", "exact_mean",    "exact_variance",
      "mv_set",    "mv_mean",       "mv_variance",      "mv_chi_square", "dist_set",
      "dist_mean", "dist_variance", "dist_chi_square",  "program",       "version"};
  for (const bool everything : {true, false}) {
    SCOPED_TRACE(everything ? "every value" : "no DIST set, no exact variance");
    ExportData data = made_up_export(12, everything);
    data.data_file = "pilot, \"first\".txt";
    data.release = {"Quorvane-Triads", "2.0", "The developers (2026)."};
    const std::vector<double> means(10000, 1.5);
    data.sets.mean = &means;
    data.exact.mean = 7.25;
    if (everything) data.exact.variance = 1.0 / 3.0;
    const Rows rows = csv_rows(summary_csv(data));
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0], header);
    ASSERT_EQ(rows[1].size(), header.size());
    std::map<std::string, std::string> field;
    for (std::size_t i = 0; i < header.size(); ++i) field[header[i]] = rows[1][i];
    EXPECT_EQ(field["data_file"], data.data_file);
    EXPECT_EQ(field["group_size"], "3");
    EXPECT_EQ(field["participants"], "30");
    EXPECT_EQ(field["items"], "12");
    EXPECT_EQ(field["seed"], "2024");
    EXPECT_EQ(field["sets"], "10000");
    EXPECT_TRUE(same_bits(read_double(field["overall_mean"]), data.overall_mean));
    EXPECT_TRUE(same_bits(read_double(field["overall_variance"]), data.overall_variance));
    EXPECT_EQ(field["exact_mean"], "7.25");
    EXPECT_EQ(field["exact_variance"], everything ? "0.3333333333333333" : "");
    EXPECT_EQ(field["mv_set"], "12-88");
    EXPECT_TRUE(same_bits(read_double(field["mv_mean"]), data.mv.mean));
    EXPECT_TRUE(same_bits(read_double(field["mv_variance"]), data.mv.variance));
    EXPECT_EQ(field["mv_chi_square"], "6");
    EXPECT_EQ(field["program"], "Quorvane-Triads");
    EXPECT_EQ(field["version"], "2.0");
    if (everything) {
      EXPECT_EQ(field["dist_set"], "40-60");
      EXPECT_TRUE(same_bits(read_double(field["dist_mean"]), data.dist.mean));
      EXPECT_TRUE(same_bits(read_double(field["dist_variance"]), data.dist.variance));
      EXPECT_EQ(field["dist_chi_square"], "20");
    } else {
      for (const char* name : {"dist_set", "dist_mean", "dist_variance", "dist_chi_square"}) {
        EXPECT_EQ(field[name], "") << name;
      }
    }
  }
}

// Catches groups left out or numbered from 0, members in the wrong columns, and rows for a search
// that chose no set.
TEST(ExportCsv, GroupsFileHasOneRowPerGroupOfEachChosenSet) {
  for (const bool dist_found : {true, false}) {
    const ExportData data = made_up_export(12, dist_found);
    const Rows rows = csv_rows(groups_csv(data));
    EXPECT_EQ(rows[0], (std::vector<std::string>{"fit", "group", "member_1", "member_2", "member_3",
                                                 "number_correct"}));
    ASSERT_EQ(rows.size(), 1 + data.mv.groups.size() + (dist_found ? data.dist.groups.size() : 0));
    std::size_t r = 1;
    for (const auto& [fit, word] : {std::pair{&data.mv, "MV"}, std::pair{&data.dist, "DIST"}}) {
      for (std::size_t g = 0; fit->found && g < fit->groups.size(); ++g, ++r) {
        EXPECT_EQ(rows[r], (std::vector<std::string>{
                               word, std::to_string(g + 1), std::to_string(fit->groups[g][0]),
                               std::to_string(fit->groups[g][1]), std::to_string(fit->groups[g][2]),
                               std::to_string(fit->num_correct[g])}));
      }
    }
  }
}

// Catches labels of the wrong member (off by one), columns added for a file without labels, or a
// label with a comma or quote that breaks its row.
TEST(ExportCsv, GroupsFileNamesEachMemberByTheDataFilesLabel) {
  ExportData data = made_up_export(12, false);
  for (int p = 1; p <= data.participants; ++p) data.labels.push_back("P" + std::to_string(p));
  data.labels[1] = "Anna B., \"2\"";
  const Rows rows = csv_rows(groups_csv(data));
  EXPECT_EQ(rows[0], (std::vector<std::string>{"fit", "group", "member_1", "member_2", "member_3",
                                               "label_1", "label_2", "label_3", "number_correct"}));
  ASSERT_EQ(rows.size(), 1 + data.mv.groups.size());
  for (std::size_t g = 0; g < data.mv.groups.size(); ++g) {
    ASSERT_EQ(rows[g + 1].size(), 9u);
    for (std::size_t i = 0; i < 3; ++i) {
      const auto member = static_cast<std::size_t>(data.mv.groups[g][i]);
      EXPECT_EQ(rows[g + 1][5 + i], data.labels[member - 1]);
    }
  }
  EXPECT_EQ(rows[1][6], "Anna B., \"2\"");
}

// Catches the eight files swapped, or named other than after the export name.
TEST(ExportFiles, NamedAfterTheExportNameInAFixedOrder) {
  const ExportData data = made_up_export(6, true);
  const auto files = render_export_files(data, "run-3");
  EXPECT_EQ(files[0].file_name, "run-3-distribution.csv");
  EXPECT_EQ(files[0].text, distribution_csv(data));
  EXPECT_EQ(files[1].file_name, "run-3-sets.csv");
  EXPECT_EQ(files[2].file_name, "run-3-groups.csv");
  EXPECT_EQ(files[2].text, groups_csv(data));
  EXPECT_EQ(files[3].file_name, "run-3-summary.csv");
  EXPECT_EQ(files[3].text, summary_csv(data));
  EXPECT_EQ(files[4].file_name, "run-3.svg");
  EXPECT_EQ(files[5].file_name, "run-3.pdf");
  EXPECT_EQ(files[6].file_name, "run-3-methods.txt");
  EXPECT_EQ(files[7].file_name, "run-3.xlsx");
}

}  // namespace
}  // namespace quorvane
