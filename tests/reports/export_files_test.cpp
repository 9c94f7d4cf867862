// The export: CSV tables read back by an independent reader, and the SVG picture checked as XML.
#include "reports/export_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <random>
#include <sstream>
#include <string>
#include <vector>

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
  ExportedFit fit{true, row, 100 - row, 0.5 * row, {}, {}, {}};
  std::vector<int> counts(static_cast<std::size_t>(items) + 1, 0);
  for (int g = 0; g < groups; ++g) {
    fit.groups.emplace_back();
    for (int i = 0; i < group_size; ++i) fit.groups.back().push_back(g * group_size + i + 1);
    fit.num_correct.push_back(score(random));
    ++counts[static_cast<std::size_t>(fit.num_correct.back())];
  }
  for (const int count : counts)
    fit.percentages.push_back(count / static_cast<double>(groups) * 100.0);
  return fit;
}

ExportData made_up_export(int items, bool dist_found) {
  ExportData data{"Quorvane-Triads", "study.txt", 30, items, 3, 2024u, {}, {}, {}, {}};
  data.overall_percentages = made_up_fit(items, 20000, 3, 1, 7u).percentages;
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
  ExportData data;
  for (const double value : awkward) data.sets.push_back({3, 7, value, -value, value, value * 0.5});
  const Rows rows = csv_rows(sets_csv(data));
  ASSERT_EQ(rows.size(), std::size(awkward) + 1);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"row", "column", "mean", "variance", "mv_chi_square",
                                               "dist_chi_square"}));
  for (std::size_t i = 0; i < std::size(awkward); ++i) {
    const ExportedSet& set = data.sets[i];
    const std::vector<std::string>& row = rows[i + 1];
    ASSERT_EQ(row.size(), 6u);
    EXPECT_EQ(row[0], "3");
    EXPECT_EQ(row[1], "7");
    for (const auto& [field, value] :
         {std::pair{row[2], set.mean}, std::pair{row[3], set.variance},
          std::pair{row[4], set.mv_chi_square}, std::pair{row[5], set.dist_chi_square}}) {
      EXPECT_TRUE(same_bits(read_double(field), value)) << field;
    }
  }
}

// Catches "nan" and "inf" in the tables, which R and spreadsheets read as text.
TEST(ExportCsv, ValuesThatAreNotFiniteAreEmptyFields) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const double inf = std::numeric_limits<double>::infinity();
  ExportData data;
  data.sets.push_back({1, 2, nan, inf, -inf, 0.25});
  const Rows rows = csv_rows(sets_csv(data));
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[1], (std::vector<std::string>{"1", "2", "", "", "", "0.25"}));
}

// Catches a missing row for v = M, columns in the wrong order, and zeros written for a search
// that chose no set (they would read as a set that nobody scored in).
TEST(ExportCsv, DistributionHasEveryNumberCorrectAndEachColumnAddsUpTo100) {
  const int items = 15;
  const Rows rows = csv_rows(distribution_csv(made_up_export(items, false)));
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(items) + 2);
  EXPECT_EQ(rows[0], (std::vector<std::string>{"number_correct", "overall_percent",
                                               "mv_best_percent", "dist_best_percent"}));
  double overall = 0.0, mv = 0.0;
  for (int v = 0; v <= items; ++v) {
    const std::vector<std::string>& row = rows[static_cast<std::size_t>(v) + 1];
    ASSERT_EQ(row.size(), 4u);
    EXPECT_EQ(row[0], std::to_string(v));
    overall += read_double(row[1]);
    mv += read_double(row[2]);
    EXPECT_EQ(row[3], "");
  }
  EXPECT_NEAR(overall, 100.0, 1e-9);
  EXPECT_NEAR(mv, 100.0, 1e-9);
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

// Catches the four files swapped, or named other than after the export name.
TEST(ExportFiles, NamedAfterTheExportNameInAFixedOrder) {
  const ExportData data = made_up_export(6, true);
  const auto files = render_export_files(data, "run-3");
  EXPECT_EQ(files[0].file_name, "run-3-distribution.csv");
  EXPECT_EQ(files[0].text, distribution_csv(data));
  EXPECT_EQ(files[1].file_name, "run-3-sets.csv");
  EXPECT_EQ(files[2].file_name, "run-3-groups.csv");
  EXPECT_EQ(files[2].text, groups_csv(data));
  EXPECT_EQ(files[3].file_name, "run-3.svg");
}

// A small XML checker: every tag closed in order, attribute values quoted, no bare & or < in
// text or values (only the five predefined entities), no control bytes, a single root <svg>.
// Returns the document's text with the entities decoded.
std::string checked_text(const std::string& svg) {
  std::vector<std::string> open;
  std::string decoded;
  int roots = 0;
  std::size_t i = svg.rfind("?>", svg.find("<svg"));
  i = i == std::string::npos ? 0 : i + 2;
  while (i < svg.size()) {
    if (svg[i] == '<') {
      const std::size_t end = svg.find('>', i);
      if (end == std::string::npos) ADD_FAILURE() << "unterminated tag";
      if (end == std::string::npos) return decoded;
      std::string tag = svg.substr(i + 1, end - i - 1);
      EXPECT_EQ(tag.find('<'), std::string::npos) << tag;
      EXPECT_EQ(std::count(tag.begin(), tag.end(), '"') % 2, 0) << tag;
      const bool closing = tag[0] == '/', empty = tag.back() == '/';
      const std::string name = tag.substr(closing, tag.find_first_of(" /", 1) - closing);
      if (closing) {
        EXPECT_TRUE(!open.empty() && open.back() == name) << "</" << name << "> closes nothing";
        if (!open.empty()) open.pop_back();
      } else {
        if (open.empty()) {
          ++roots;
          EXPECT_EQ(tag.rfind("svg xmlns=\"http://www.w3.org/2000/svg\"", 0), 0u);
        }
        if (!empty) open.push_back(name);
      }
      i = end + 1;
    } else if (svg[i] == '&') {
      const std::size_t end = svg.find(';', i);
      const std::string entity = svg.substr(i, end - i + 1);
      const char* names[] = {"&amp;", "&lt;", "&gt;", "&quot;", "&apos;"};
      const char chars[] = "&<>\"'";
      const auto at = std::find(std::begin(names), std::end(names), entity) - std::begin(names);
      EXPECT_LT(at, 5) << "bare & or unknown entity " << entity;
      if (at < 5) decoded.push_back(chars[at]);
      i = end + 1;
    } else {
      EXPECT_NE(svg[i], '>') << "bare > in text";
      EXPECT_TRUE(static_cast<unsigned char>(svg[i]) >= 0x20 || svg[i] == '\n') << "control byte";
      if (!open.empty()) decoded.push_back(svg[i]);
      ++i;
    }
  }
  EXPECT_TRUE(open.empty()) << "unclosed <" << open.back() << ">";
  EXPECT_EQ(roots, 1);
  return decoded;
}

// Catches a data file name that breaks the document (bare &, <, > or control bytes), a name
// dropped or escaped twice, and a picture that is not one standalone <svg>.
TEST(ExportSvg, WellFormedWithTheDataFileNameEscaped) {
  ExportData data = made_up_export(20, true);
  data.data_file = "a&b <c> \"d\" 'e'\x01.txt";
  const std::string svg = distribution_svg(data);
  EXPECT_NE(checked_text(svg).find("a&b <c> \"d\" 'e'"), std::string::npos);
  EXPECT_EQ(svg.find("<script"), std::string::npos);
}

// Catches bars thinner than a pixel at large M (no binning: bars must be at least 4 pixels, so at
// most kSvgMostBars, fewer than the plot has pixels), binning where every value has room,
// and binning that goes unmentioned.
TEST(ExportSvg, AdjacentValuesAreBinnedOnlyWhenBarsWouldBeThinnerThanAPixel) {
  ExportData wide = made_up_export(10000, true);
  for (double& percentage : wide.overall_percentages) percentage = 100.0 / 10001;
  const std::string binned = distribution_svg(wide);
  EXPECT_LE(count_of(binned, "class=\"bar\""), static_cast<std::size_t>(kSvgMostBars));
  EXPECT_GE(count_of(binned, "class=\"bar\""), static_cast<std::size_t>(kSvgMostBars) / 2);
  EXPECT_NE(binned.find("adjacent values"), std::string::npos);

  ExportData narrow = made_up_export(20, true);
  for (double& percentage : narrow.overall_percentages) percentage = 100.0 / 21;
  const std::string unbinned = distribution_svg(narrow);
  EXPECT_EQ(count_of(unbinned, "class=\"bar\""), 21u);
  EXPECT_EQ(unbinned.find("adjacent values"), std::string::npos);
}

// Catches a narrow peak at large M drawn over the whole range 0..M, where it is a sliver.
TEST(ExportSvg, ANarrowPeakIsShownAloneAndSaidToBe) {
  ExportData data = made_up_export(10000, false);
  data.mv.found = false;
  std::fill(data.overall_percentages.begin(), data.overall_percentages.end(), 0.0);
  for (int v = 7000; v < 7100; ++v) data.overall_percentages[static_cast<std::size_t>(v)] = 1.0;
  const std::string svg = distribution_svg(data);
  EXPECT_EQ(count_of(svg, "class=\"bar\""), 100u);
  EXPECT_NE(svg.find("of 0 to 10000"), std::string::npos);
}

// Catches a legend without the chosen set's label and chi-square, and a line drawn for a search
// that chose no set.
TEST(ExportSvg, LegendNamesEachChosenSetAndItsChiSquare) {
  ExportData data = made_up_export(20, false);
  data.mv.chi_square = 0.0123;
  const std::string svg = distribution_svg(data);
  EXPECT_NE(svg.find("MV best set 12-88, chi-square 0.0123<"), std::string::npos);
  EXPECT_NE(svg.find("DIST search chose no set<"), std::string::npos);
  EXPECT_EQ(count_of(svg, "<polyline"), 1u);
}

}  // namespace
}  // namespace quorvane
