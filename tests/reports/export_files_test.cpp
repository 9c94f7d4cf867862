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

#include "reports/distribution_picture.h"
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
  data.groups_word = "triads";
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
      "dist_mean", "dist_variance", "dist_chi_square"};
  for (const bool everything : {true, false}) {
    SCOPED_TRACE(everything ? "every value" : "no DIST set, no exact variance");
    ExportData data = made_up_export(12, everything);
    data.data_file = "pilot, \"first\".txt";
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

// Catches the five files swapped, or named other than after the export name.
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
  EXPECT_NE(svg.find("of 0 to 10,000"), std::string::npos);
}

// One <text> element of the picture: where it is anchored, its size and its words, decoded.
struct PictureText {
  double x = 0.0;
  std::string anchor;
  double size = 0.0;
  bool turned = false;
  std::string words;
};

std::string attribute(const std::string& tag, const std::string& name) {
  const std::size_t at = tag.find(" " + name + "=\"");
  if (at == std::string::npos) return "";
  const std::size_t start = at + name.size() + 3;
  return tag.substr(start, tag.find('"', start) - start);
}

std::vector<PictureText> texts_of(const std::string& svg) {
  std::vector<PictureText> texts;
  for (std::size_t at = svg.find("<text "); at != std::string::npos;
       at = svg.find("<text ", at + 1)) {
    const std::size_t end = svg.find('>', at);
    const std::string tag = svg.substr(at, end - at);
    PictureText text;
    text.x = read_double(attribute(tag, "x"));
    text.anchor = attribute(tag, "text-anchor");
    text.size = read_double(attribute(tag, "font-size"));
    text.turned = !attribute(tag, "transform").empty();
    text.words = checked_text("<svg xmlns=\"http://www.w3.org/2000/svg\">" +
                              svg.substr(end + 1, svg.find("</text>", end) - end - 1) + "</svg>");
    texts.push_back(text);
  }
  return texts;
}

// All the picture's words, each text's after the one before, as a reader reads them.
std::string words_of(const std::string& svg) {
  std::string words;
  for (const PictureText& text : texts_of(svg)) words += text.words + " ";
  return words;
}

double number_in(const std::string& svg, const std::string& name) {
  return read_double(attribute(svg.substr(0, svg.find('>', svg.find("<svg"))), name));
}

// The pictures the tests look at: every size of study, with and without chosen sets and exact
// values, and a long data file name.
std::vector<ExportData> pictures() {
  std::vector<ExportData> all;
  for (const int items : {1, 20, 100, 10000}) {
    for (const bool everything : {true, false}) {
      ExportData data = made_up_export(items, everything);
      data.mv.found = everything || items != 20;
      if (everything) {
        data.exact.percentages = made_up_fit(items, 3000, 3, 3, 5u).percentages;
        data.exact.mean = 0.5 * items;
        data.exact.variance = 2.0;
      } else {
        data.data_file = "results/" + std::string(90, 'x') + "/pilot study, second wave.txt";
      }
      all.push_back(data);
    }
  }
  return all;
}

// Catches text that would print smaller than 8 pt at one column's width (8.5 cm: 3 % of the
// width), and lines that run off the picture's edge, with a width per character wide enough for
// DejaVu Sans, the widest of the common sans-serif fonts.
TEST(ExportSvg, EveryTextIsAtLeastThreePercentOfTheWidthAndWithinIt) {
  for (const ExportData& data : pictures()) {
    SCOPED_TRACE(std::to_string(data.items) + " items, " + data.data_file);
    const std::string svg = distribution_svg(data);
    const double width = number_in(svg, "width");
    const std::string root = svg.substr(0, svg.find('>', svg.find("<svg")));
    EXPECT_EQ(attribute(root, "viewBox"),
              "0 0 " + attribute(root, "width") + " " + attribute(root, "height"));
    const std::vector<PictureText> texts = texts_of(svg);
    ASSERT_GT(texts.size(), 10u);
    for (const PictureText& text : texts) {
      EXPECT_GE(text.size, 0.03 * width) << text.words;
      if (text.turned) continue;
      std::size_t characters = 0;
      for (const char c : text.words) characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
      const double length = static_cast<double>(characters) * 0.58 * text.size;
      const double left = text.anchor == "start"    ? text.x
                          : text.anchor == "middle" ? text.x - length / 2
                                                    : text.x - length;
      EXPECT_GE(left, 0.0) << text.words;
      EXPECT_LE(left + length, width) << text.words;
    }
    // One column's proportions: not wider than it is tall.
    EXPECT_GE(number_in(svg, "height"), width);
    EXPECT_EQ(svg.find("<script"), std::string::npos);
  }
}

// Catches a title that names the program rather than the data, and a group size in the wrong
// words.
TEST(ExportSvg, TitleDescribesTheData) {
  const std::pair<int, const char*> sizes[] = {{2, "pairs"}, {3, "triads"}, {4, "quads"}};
  for (const auto& [group_size, word] : sizes) {
    ExportData data = made_up_export(20, true);
    data.group_size = group_size;
    data.groups_word = word;
    const std::string svg = distribution_svg(data);
    const std::string title =
        std::string("Number correct of nominal ") + word + ", 30 participants, 20 items";
    EXPECT_NE(svg.find("<title>" + title + "</title>"), std::string::npos) << word;
    EXPECT_NE(words_of(svg).find(title), std::string::npos) << word;
    EXPECT_EQ(svg.find("Quorvane"), std::string::npos);
  }
}

// Catches a legend that names grid labels or a chi-square without saying what it compares, a
// caption without the run's N, M, k, seed, sets and the chosen sets' G, and marks drawn for a
// search that chose no set.
TEST(ExportSvg, LegendAndCaptionSayWhatIsCompared) {
  ExportData data = made_up_export(20, true);
  data.mv.chi_square = 0.00096;
  data.dist.chi_square = 25.57658;
  const std::string words = words_of(distribution_svg(data));
  for (const char* phrase :
       {"all groups of the 10,000 sets",
        "best-fitting set by mean and variance (chi-square 0.0010 against the overall mean and "
        "variance)",
        "best-fitting set by distribution (chi-square 25.5766 against the overall distribution)",
        "N\xC2\xA0=\xC2\xA0"
        "30 participants, M\xC2\xA0=\xC2\xA0"
        "20 items, groups of k\xC2\xA0=\xC2\xA0"
        "3, seed 2024",
        "all 100,000 groups of the 10,000 random sets", "has only 10 groups",
        "Data file: study.txt."}) {
    EXPECT_NE(words.find(phrase), std::string::npos) << phrase << "\n" << words;
  }
  EXPECT_EQ(words.find("12-88"), std::string::npos);

  data.dist.found = false;
  const std::string without = distribution_svg(data);
  EXPECT_NE(words_of(without).find("no set could be chosen by distribution"), std::string::npos);
  EXPECT_EQ(count_of(without, "class=\"dist-mark\""), 0u);
}

// Catches the exact distribution drawn where it was left out (or missing where it was computed),
// and a caption that does not say what was left out.
TEST(ExportSvg, ExactValuesAreDrawnWhereComputedAndSaidToBeLeftOutElsewhere) {
  ExportData data = made_up_export(20, true);
  data.exact.mean = 12.25;
  data.exact.variance = 8.5;
  data.exact.percentages = made_up_fit(20, 4000, 3, 2, 3u).percentages;
  const std::string computed = distribution_svg(data);
  EXPECT_EQ(count_of(computed, "class=\"exact\""), 1u);
  const std::string words = words_of(computed);
  EXPECT_NE(words.find("exact distribution over all 4,060 possible triads"), std::string::npos);
  EXPECT_NE(words.find("mean 12.2500, expected set variance 8.5000"), std::string::npos);
  EXPECT_EQ(words.find("left out"), std::string::npos);

  data.exact.variance.reset();
  data.exact.percentages.clear();
  const std::string left_out = distribution_svg(data);
  EXPECT_EQ(count_of(left_out, "class=\"exact\""), 0u);
  const std::string said = words_of(left_out);
  EXPECT_NE(said.find("the exact variance is left out"), std::string::npos) << said;
  EXPECT_NE(said.find("The exact distribution is left out"), std::string::npos) << said;
}

// Catches a chosen set drawn as a line through its zeros (which zigzags across the bars at many
// items) rather than a mark at each value its groups scored, and marks at values nobody scored.
TEST(ExportSvg, ChosenSetsAreMarksAtTheValuesTheirGroupsScored) {
  for (const int items : {20, 100, 400}) {
    const ExportData data = made_up_export(items, true);
    const std::string svg = distribution_svg(data);
    EXPECT_EQ(count_of(svg, "<polyline"), 0u);
    for (const auto& [fit, mark] :
         {std::pair{&data.mv, "class=\"mv-mark\""}, std::pair{&data.dist, "class=\"dist-mark\""}}) {
      const std::size_t scored = static_cast<std::size_t>(
          std::count_if(fit->percentages.begin(), fit->percentages.end(),
                        [](double percentage) { return percentage > 0.0; }));
      // One more in the legend.
      EXPECT_EQ(count_of(svg, mark), scored + 1) << items << " " << mark;
    }
  }
}

}  // namespace
}  // namespace quorvane
