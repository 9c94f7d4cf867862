// The figure and the methods text of real runs, read from the files as a reader of them would:
// the SVG as XML, the PDF by its cross-reference table and its page's operators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "reports/export_text.h"
#include "reports/stored_zip.h"
#include "reports/xml_text.h"
#include "tests/programs/programs_under_test.h"
#include "tests/support/figure_parsing.h"
#include "tests/support/program_process.h"
#include "tests/support/report_parsing.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::csv_rows;
using testing::read_double;
using testing::Rows;
using testing::SvgElement;

constexpr double kColumnWidth = 8.5 / 2.54 * 72.0;  // points

std::string sample_study() {
  std::ifstream in(QUORVANE_SAMPLE, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The files of the export "fig" of the study by the real program, with the seed.
std::map<std::string, std::string> exported(const char* program, const std::string& study,
                                            const char* seed) {
  testing::TempFolder folder;
  folder.write("study.txt", study);
  testing::ProgramProcess::Options options;
  options.arguments = {"--seed", seed, "--export", "fig", "study.txt"};
  const testing::ProgramResult run = testing::run_in(program, folder.path(), "", options);
  EXPECT_EQ(run.exit_status, 0) << run.err;
  return folder.snapshot();
}

// The export of the sample study (30 participants, 20 items) by the program of the group size,
// seed 7, run once per test program.
const std::map<std::string, std::string>& exported(int group_size) {
  static std::map<int, std::map<std::string, std::string>> runs;
  auto& files = runs[group_size];
  if (files.empty())
    files = exported(testing::kPrograms[group_size - 2]->path, sample_study(), "7");
  return files;
}

std::vector<SvgElement> with_class(const std::vector<SvgElement>& elements, const char* role) {
  std::vector<SvgElement> found;
  for (const SvgElement& element : elements) {
    const auto it = element.attributes.find("class");
    if (it != element.attributes.end() && it->second == role) found.push_back(element);
  }
  return found;
}

double attribute(const SvgElement& element, const char* name) {
  return read_double(element.attributes.at(name));
}

// The distribution table's column as numbers (an empty field as 0).
std::vector<double> column(const Rows& rows, const std::string& name) {
  const auto at =
      static_cast<std::size_t>(std::find(rows[0].begin(), rows[0].end(), name) - rows[0].begin());
  std::vector<double> values;
  for (std::size_t r = 1; r < rows.size(); ++r) {
    values.push_back(rows[r][at].empty() ? 0.0 : read_double(rows[r][at]));
  }
  return values;
}

class RealStudyFigure : public ::testing::TestWithParam<int> {};

// Catches a figure sized in pixels or for a page rather than a column, text under 7 pt or lines
// under 0.5 pt once printed at that size, a PDF that draws other texts or sizes than the SVG, and
// a title, caption or sentences drawn inside the figure or a legend of sentences.
TEST_P(RealStudyFigure, OneColumnWideWithNoTextUnderSevenPointsAndNoLineUnderHalfAPoint) {
  const auto& files = exported(GetParam());
  const std::vector<SvgElement> svg = testing::svg_elements(files.at("fig.svg"));
  ASSERT_FALSE(svg.empty());
  const SvgElement& root = svg[0];
  const double width = testing::in_points(root.attributes.at("width"));
  const double height = testing::in_points(root.attributes.at("height"));
  EXPECT_NEAR(width, kColumnWidth, 0.1);
  std::istringstream view(root.attributes.at("viewBox"));
  double x0 = 1, y0 = 1, view_width = 0, view_height = 0;
  view >> x0 >> y0 >> view_width >> view_height;
  const double scale = width / view_width;  // points per user unit
  EXPECT_NEAR(height / view_height, scale, 0.001);
  std::vector<std::string> texts;
  for (const SvgElement& element : svg) {
    if (element.attributes.count("font-size")) {
      EXPECT_GE(attribute(element, "font-size") * scale, 7.0) << element.text;
    }
    if (element.attributes.count("stroke-width")) {
      EXPECT_GE(attribute(element, "stroke-width") * scale, 0.5);
    }
    if (element.name == "text") {
      texts.push_back(element.text);
      EXPECT_LE(element.text.size(), 24u) << element.text;
    }
  }
  const std::vector<SvgElement> legend = with_class(svg, "legend");
  EXPECT_EQ(legend.size(), 4u);  // bars, exact, MV set, DIST set
  for (const SvgElement& entry : legend) {
    EXPECT_LE(std::count(entry.text.begin(), entry.text.end(), ' '), 1) << entry.text;
  }
  const testing::PdfPage pdf = testing::read_pdf(files.at("fig.pdf"));
  EXPECT_NEAR(pdf.width, width, 0.1);
  EXPECT_NEAR(pdf.height, height, 0.1);
  ASSERT_FALSE(pdf.font_sizes.empty());
  ASSERT_FALSE(pdf.line_widths.empty());
  for (const double size : pdf.font_sizes) EXPECT_GE(size, 7.0);
  for (const double line : pdf.line_widths) EXPECT_GE(line, 0.5);
  EXPECT_EQ(pdf.texts, texts);
}

// Catches an x axis from 0 over values no group scored, a first tick missing at the first value
// shown, a y axis stretched by the chosen sets' few groups (10 % or more each), and bars or steps
// drawn above the axis' top.
TEST_P(RealStudyFigure, AxesFitTheValuesThatOccurAndTheBars) {
  const auto& files = exported(GetParam());
  const Rows table = csv_rows(files.at("fig-distribution.csv"));
  const std::vector<double> overall = column(table, "overall_percent");
  const auto first = static_cast<int>(
      std::find_if(overall.begin(), overall.end(), [](double p) { return p > 0; }) -
      overall.begin());
  const auto last = static_cast<int>(
      overall.rend() -
      std::find_if(overall.rbegin(), overall.rend(), [](double p) { return p > 0; }) - 1);
  ASSERT_GT(first, 0) << "the sample study must leave low values empty for this test";

  const std::vector<SvgElement> svg = testing::svg_elements(files.at("fig.svg"));
  std::vector<int> ticks;
  for (const SvgElement& label : with_class(svg, "x-label")) ticks.push_back(std::stoi(label.text));
  ASSERT_GE(ticks.size(), 3u);
  EXPECT_EQ(ticks.front(), first);
  EXPECT_TRUE(std::is_sorted(ticks.begin(), ticks.end()));
  EXPECT_LE(ticks.back(), last);
  // One bar per value that occurs, none for the others.
  const auto occurring =
      std::count_if(overall.begin(), overall.end(), [](double p) { return p > 0; });
  EXPECT_EQ(static_cast<long>(with_class(svg, "bar").size()), occurring);

  // The axis ends at the first tick at or above the highest bar (give or take a little room).
  std::vector<double> labels;
  double top_y = 1e9;
  for (const SvgElement& label : with_class(svg, "y-label")) {
    labels.push_back(read_double(label.text));
    top_y = std::min(top_y, attribute(label, "y"));
  }
  std::sort(labels.begin(), labels.end());
  ASSERT_GE(labels.size(), 3u);
  const double step = labels[1] - labels[0], top_label = labels.back();
  const double highest = *std::max_element(overall.begin(), overall.end());
  EXPECT_GE(top_label, highest);
  EXPECT_LT(top_label - step, highest * 1.02);
  for (const SvgElement& bar : with_class(svg, "bar")) {
    EXPECT_GE(attribute(bar, "y"), top_y - 8.0);  // the top label's baseline is below its tick
  }
}

// The number written after `label` in the text, as written.
std::string word_after(const std::string& text, const std::string& label) {
  const std::size_t at = text.find(label);
  if (at == std::string::npos) return "(no " + label + ")";
  const std::size_t start = at + label.size();
  return text.substr(start, text.find_first_of(" ;,)", start) - start);
}

// Catches a methods text that leaves out the program, its version or reference, the study's
// size, the seed or a chosen set's figures, or writes a small chi-square as 0.0000.
TEST_P(RealStudyFigure, MethodsTextNamesTheRunAndItsChosenSets) {
  const auto& files = exported(GetParam());
  const std::string methods = files.at("fig-methods.txt");
  const Rows summary = csv_rows(files.at("fig-summary.csv"));
  std::map<std::string, std::string> field;
  for (std::size_t i = 0; i < summary[0].size(); ++i) field[summary[0][i]] = summary[1][i];
  EXPECT_EQ(field["version"], QUORVANE_VERSION);
  // The paragraph alone names the run (the caption after it names the seed too).
  const std::string paragraph = methods.substr(0, methods.find("\n\n"));
  EXPECT_NE(methods.find("\n\nReference: " + std::string(QUORVANE_CITATION) + "\n\nFigure. "),
            std::string::npos)
      << methods;
  const std::vector<std::string> pieces = {
      field["program"] + " (Quorvane, version " + QUORVANE_VERSION + ")",
      "k = " + field["group_size"],
      "N = " + field["participants"],
      "M = " + field["items"],
      "10,000 random partitions",
      "seed 7",
      "set " + field["mv_set"] + " (",
      "set " + field["dist_set"] + " (",
      "mean of " + testing::printf_four_decimals(read_double(field["exact_mean"])),
      "variance of " + testing::printf_four_decimals(read_double(field["exact_variance"])),
      "mean " + testing::printf_four_decimals(read_double(field["mv_mean"])),
      "variance " + testing::printf_four_decimals(read_double(field["dist_variance"]))};
  for (const std::string& piece : pieces) {
    EXPECT_NE(paragraph.find(piece), std::string::npos) << piece << "\n" << paragraph;
  }
  for (const char* fit : {"mv", "dist"}) {
    const std::string written =
        word_after(methods, "set " + field[std::string(fit) + "_set"] + " (chi-square ");
    const double exact = read_double(field[std::string(fit) + "_chi_square"]);
    EXPECT_NEAR(read_double(written), exact, exact * 0.01) << written;
  }
}

INSTANTIATE_TEST_SUITE_P(Editions, RealStudyFigure, ::testing::Values(2, 3, 4));

// Catches a percentage axis that runs past 100 (to 150 for groups that all scored alike).
TEST(FigureFiles, APercentageAxisEndsAt100) {
  const std::vector<SvgElement> svg = testing::svg_elements(
      exported(testing::kPairs.path, "1 1\n1 1\n1 1\n1 1\n", "9").at("fig.svg"));
  std::vector<SvgElement> labels = with_class(svg, "y-label");
  for (const SvgElement& label : with_class(svg, "set-y-label")) labels.push_back(label);
  ASSERT_GE(labels.size(), 4u);
  for (const SvgElement& label : labels) EXPECT_LE(read_double(label.text), 100.0);
}

// Catches a date, a clock or anything else that varies from run to run in the files written by
// the program itself.
TEST(FigureFiles, TheSameRunGivesTheSameBytes) {
  const auto again = exported(testing::kTriads.path, sample_study(), "7");
  for (const char* ending : {".svg", ".pdf", ".xlsx", "-methods.txt"}) {
    const std::string name = std::string("fig") + ending;
    EXPECT_EQ(again.at(name), exported(3).at(name)) << ending;
  }
}

// Catches chi-squares written with fixed decimals (3.5e-06 as 0.0000), cut to fewer than the
// significant digits asked, or rounded to "10.0e-05" instead of the next power of ten.
TEST(ExportText, SignificantDigitsOfAnyMagnitude) {
  const struct {
    double value;
    const char* text;
  } cases[] = {
      {3.5e-06, "3.5e-06"},  {0.000961, "0.000961"}, {25.57658, "25.6"},     {0.0999951, "0.100"},
      {9.96e-05, "1.0e-04"}, {1234.4, "1234"},       {1234567.0, "1.2e+06"}, {0.0, "0"},
      {-0.5, "-0.500"},      {2.5e-300, "2.5e-300"}};
  for (const auto& c : cases) EXPECT_EQ(export_text::significant(c.value), c.text) << c.value;
}

// Catches a label that breaks the workbook or the figure for every reader: markup characters left
// unescaped, and bytes or characters XML does not allow (a file in Windows-1252, a control, a
// surrogate, an overlong form, a code point above U+10FFFF) let through.
TEST(XmlText, EveryLabelGivesWellFormedXml) {
  const std::string r = "\xEF\xBF\xBD";  // U+FFFD
  const struct {
    std::string label;
    std::string xml;
  } cases[] = {
      {"M<u>ll&r \"Jo\" O'Neil", "M&lt;u&gt;ll&amp;r &quot;Jo&quot; O&apos;Neil"},
      {"J\xC3\xB6rg \xF0\x9F\x98\x80\tx", "J\xC3\xB6rg \xF0\x9F\x98\x80\tx"},
      {"J\xF6rg", "J" + r + "rg"},
      {"a\x01\x1F\n", "a" + r + r + r},
      {"\xED\xA0\x80", r + r + r},
      {"\xC0\x80", r + r},
      {"\xE0\x80\x80", r + r + r},
      {"\xF4\x90\x80\x80", r + r + r + r},
      {"\xEF\xBF\xBE\xEF\xBF\xBF", r + r},
      {"\xE2\x82", r + r},
  };
  for (const auto& c : cases) EXPECT_EQ(xml_text(c.label), c.xml) << c.label;
}

// Catches a checksum that zip readers refuse: the standard's check value of "123456789".
TEST(StoredZip, ChecksumIsTheStandardCrc32) {
  EXPECT_EQ(crc32_of("123456789"), 0xCBF43926ul);
  EXPECT_EQ(crc32_of(""), 0ul);
}

}  // namespace
}  // namespace quorvane
