#include "reports/report_files.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "tests/support/edition_words.h"
#include "tests/support/editions.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

// Each edition with the words its reports use, and a listing line of its size.
struct EditionTexts {
  const EditionProfile* edition;
  std::vector<int> members;
  const char* listing_line;  // the members above with 12 correct
  testing::EditionWords words() const { return testing::edition_words(edition->group_size); }
};

const EditionTexts kEditions[] = {
    {&kPairsEdition, {4, 9}, "\n4 & 9:  \t\t12"},
    {&kTriadsEdition, {4, 9, 17}, "\n4,9,17:  \t\t12"},
    {&kQuadsEdition, {4, 9, 17, 100}, "\n4,9,17,100:  \t\t12"},
};

void PrintTo(const EditionTexts& texts, std::ostream* out) { *out << texts.edition->program_name; }

class ReportTexts : public ::testing::TestWithParam<EditionTexts> {
 protected:
  const std::string& text(const ReportFiles& reports, ReportFile file) {
    return testing::section_of(reports.sections(), file).text;
  }
};

TEST_P(ReportTexts, FileNamesInTableOrder) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  const std::vector<std::string> names = testing::report_names(*expected.edition);
  for (std::size_t i = 0; i < names.size(); ++i) {
    EXPECT_EQ(reports.sections()[i].file_name, names[i]);
    EXPECT_EQ(reports.sections()[i].text, "");
  }
}

TEST_P(ReportTexts, SetStatistics) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.set_statistics_heading();
  reports.set_statistics_line({1, 1}, 8.0, 8.0 / 3.0);
  reports.set_statistics_line({100, 17}, 12.25, 0.03125);
  EXPECT_EQ(text(reports, ReportFile::kSetStatistics),
            std::string(expected.words().banner) + expected.words().statistics_heading +
                "\nSet#: 1-1\t Mean: 8.0000\t Variance 2.6667\t"
                "\nSet#: 100-17\t Mean: 12.2500\t Variance 0.0312\t");
}

TEST_P(ReportTexts, GrandStatistics) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.grand_statistics(8.5, 2.0, {25.0, 25.0, 50.0});
  EXPECT_EQ(text(reports, ReportFile::kRepresentative),
            std::string(expected.words().banner) +
                "\nThe following are the grand statistics for all 10,000 Sets\n\n"
                "\nOverall Mean: 8.5000\t Overall Variance 2.0000\n"
                "\n\nOverall Distribution of Number Correct Responses for 10,000 Simulations "
                "(Percentages)"
                "\nNCor\tPercentage\n"
                "\n0: 25.0000\n1: 25.0000\n2: 50.0000");
}

TEST_P(ReportTexts, MvSearch) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.mv_heading();
  reports.mv_line({3, 7}, 0.25163, 8.0, 2.66667, 0.25163, {3, 7});
  reports.mv_line({3, 8}, 4.0, 8.0, 2.66667, 0.25163, {3, 7});
  EXPECT_EQ(text(reports, ReportFile::kMvChiSquares),
            std::string(expected.words().banner) +
                "\nBest-Fit For Mean & Variance.  Chi Square Values, Means, and Variances.\n\n"
                "\nSet#: 3-7\t SetChiSq: 0.2516\t BestFitMean: 8.0000\t BestFitVar: 2.6667\t "
                "BestChiSq 0.2516\tBestSet 3-7\t"
                "\nSet#: 3-8\t SetChiSq: 4.0000\t BestFitMean: 8.0000\t BestFitVar: 2.6667\t "
                "BestChiSq 0.2516\tBestSet 3-7\t");
}

TEST_P(ReportTexts, DistSearch) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.dist_heading();
  reports.dist_line({1, 1}, 100.0, 100.0, {1, 1});
  reports.dist_line({1, 2}, 0.0, 0.0, {1, 2});
  EXPECT_EQ(text(reports, ReportFile::kDistChiSquares),
            std::string(expected.words().banner) +
                "\nBest-Fitting Distribution.  Chi Square Values.\n\n"
                "Set#: 1-1:\t SetChiSq: 100.0000\t BestChiSq: 100.0000\tBestSet: 1-1\n"
                "Set#: 1-2:\t SetChiSq: 0.0000\t BestChiSq: 0.0000\tBestSet: 1-2\n");
}

TEST_P(ReportTexts, CumulativeLinesHaveNoBanner) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.mv_cumulative(8.0, 2.6667, 8.5, 2.0, 0.2516);
  reports.dist_cumulative(7.25, 1.5, 8.5, 2.0, 1000000.0);
  EXPECT_EQ(text(reports, ReportFile::kMvCumulative),
            "\nBF-MV-Mean: 8.0000\t BF-MV-Var: 2.6667\t Overall-Mean: 8.5000\t Overall-Var: "
            "2.0000\t Best-MV-ChiSq: 0.2516");
  EXPECT_EQ(text(reports, ReportFile::kDistCumulative),
            "\nBF-DIST-Mean: 7.2500\t BF-DIST-Var: 1.5000\t Overall-Mean: 8.5000\t Overall-Var: "
            "2.0000\t Best-DIST-ChiSq: 1000000.0000");
}

TEST_P(ReportTexts, Listings) {
  const EditionTexts& expected = GetParam();
  ReportFiles reports(expected.edition->words, expected.edition->group_size);
  reports.listing_headings();
  reports.listing_line(ReportFile::kMvListing, expected.members.data(), 12);
  reports.listing_line(ReportFile::kDistListing, expected.members.data(), 12);
  reports.listing_line(ReportFile::kDistListing, expected.members.data(), 12);
  EXPECT_EQ(text(reports, ReportFile::kMvListing),
            std::string(expected.words().banner) + expected.words().mv_listing_heading +
                expected.words().column_heading + expected.listing_line);
  EXPECT_EQ(text(reports, ReportFile::kDistListing),
            std::string(expected.words().banner) + expected.words().dist_listing_heading +
                expected.words().column_heading + expected.listing_line + expected.listing_line);
}

INSTANTIATE_TEST_SUITE_P(AllEditions, ReportTexts, ::testing::ValuesIn(kEditions),
                         [](const ::testing::TestParamInfo<EditionTexts>& param) {
                           return std::string(param.param.edition->words.file_groups);
                         });

// Numbers wider than any run produces still come out whole.
TEST(ReportNumbers, WideValuesAreNotCut) {
  ReportFiles reports(kTriadsEdition.words, 3);
  reports.mv_cumulative(1e300, -1e300, 0.0, 0.0, 0.0);
  char expected[1024];
  std::snprintf(expected, sizeof expected,
                "\nBF-MV-Mean: %.4f\t BF-MV-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: %.4f\t "
                "Best-MV-ChiSq: %.4f",
                1e300, -1e300, 0.0, 0.0, 0.0);
  EXPECT_GT(std::string(expected).size(), 600u);
  EXPECT_EQ(testing::section_of(reports.sections(), ReportFile::kMvCumulative).text, expected);
}

}  // namespace
}  // namespace quorvane
