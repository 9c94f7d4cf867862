#include "runs/run_outcome.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "reports/export_files.h"
#include "tests/support/editions.h"
#include "tests/support/report_parsing.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

using testing::csv_rows;
using testing::read_double;

constexpr int kParticipants = 13;
constexpr int kItems = 7;

Study labelled_study(const std::vector<int>& responses) {
  Study study;
  study.file_name = "pilot.csv";
  study.responses = testing::matrix_of(responses, kParticipants, kItems);
  for (int i = 1; i <= kParticipants; ++i) {
    study.labels.push_back("M\xC3\xBCller, \"" + std::to_string(i) + "\"");
  }
  return study;
}

// Catches a front end shown other figures or groups than the reports and the export give: a
// group's members in another order or another group's, a label taken for the next participant,
// the MV and DIST sets swapped, a figure cut or rounded, a report missing or out of order.
TEST(RunOutcome, ShowsWhatTheReportsAndTheExportSay) {
  const std::vector<int> responses = testing::made_up_responses(kParticipants, kItems, 5);
  for (const int group_size : {2, 3, 4}) {
    const EditionProfile& edition = testing::edition_of(group_size);
    SCOPED_TRACE(edition.program_name);
    const Study study = labelled_study(responses);
    const RunOutcome run = compute_run(study, edition, 11, std::string("x"));
    const ReportSections sections =
        testing::sections_of_run(edition, responses, kParticipants, kItems, 11);
    ASSERT_EQ(run.reports.size(), sections.size());
    for (std::size_t i = 0; i < sections.size(); ++i) {
      EXPECT_EQ(run.reports[i].file_name, testing::report_names(edition)[i]);
      EXPECT_TRUE(run.reports[i].text == sections[i].text) << i;
    }
    ASSERT_EQ(run.exports.size(), static_cast<std::size_t>(kExportFileCount));
    const testing::Rows summary = csv_rows(run.exports[3].text);
    ASSERT_EQ(summary.size(), 2u);
    EXPECT_EQ(run.overall_mean, read_double(summary[1][6]));
    EXPECT_EQ(run.overall_variance, read_double(summary[1][7]));
    ASSERT_TRUE(run.exact.mean.has_value());
    EXPECT_EQ(*run.exact.mean, read_double(summary[1][8]));
    const testing::Rows groups = csv_rows(run.exports[2].text);
    const auto k = static_cast<std::size_t>(group_size);
    std::size_t row = 1;
    int fit_column = 10;
    for (const BestSet* best : {&run.mv, &run.dist}) {
      ASSERT_TRUE(best->found);
      EXPECT_EQ(std::to_string(best->row) + "-" + std::to_string(best->column),
                summary[1][static_cast<std::size_t>(fit_column)]);
      EXPECT_EQ(best->mean, read_double(summary[1][static_cast<std::size_t>(fit_column) + 1]));
      EXPECT_EQ(best->variance, read_double(summary[1][static_cast<std::size_t>(fit_column) + 2]));
      EXPECT_EQ(best->chi_square,
                read_double(summary[1][static_cast<std::size_t>(fit_column) + 3]));
      fit_column += 4;
      ASSERT_EQ(best->groups.size(), static_cast<std::size_t>(kParticipants / group_size));
      for (const ChosenGroup& group : best->groups) {
        ASSERT_LT(row, groups.size());
        const std::vector<std::string>& fields = groups[row++];
        ASSERT_EQ(fields.size(), 3 + 2 * k);
        ASSERT_EQ(group.members.size(), k);
        ASSERT_EQ(group.labels.size(), k);
        for (std::size_t slot = 0; slot < k; ++slot) {
          EXPECT_EQ(std::to_string(group.members[slot]), fields[2 + slot]);
          EXPECT_EQ(group.labels[slot], fields[2 + k + slot]);
          EXPECT_EQ(group.labels[slot],
                    study.labels[static_cast<std::size_t>(group.members[slot]) - 1]);
        }
        EXPECT_EQ(std::to_string(group.number_correct), fields.back());
      }
    }
    EXPECT_EQ(row, groups.size());
  }
}

// Catches a search without a best set shown with groups, its note lost or given for the other
// search; and exact values computed (for up to a second or two) when no export asks for them.
// With every response missed, the MV search has no set and the DIST search still has one.
TEST(RunOutcome, ASearchWithoutABestSetIsANote) {
  const std::vector<int> responses(static_cast<std::size_t>(kParticipants * kItems), 0);
  const RunOutcome run = compute_run(labelled_study(responses), testing::edition_of(3), 1, {});
  EXPECT_FALSE(run.mv.found);
  EXPECT_TRUE(run.mv.groups.empty());
  EXPECT_TRUE(run.dist.found);
  EXPECT_EQ(run.dist.groups.size(), static_cast<std::size_t>(kParticipants / 3));
  EXPECT_EQ(
      run.notes,
      (std::vector<std::string>{no_best_set_note(kMvMeasure, SearchOutcome::kOverallMeanIsZero)}));
  EXPECT_TRUE(run.exports.empty());
  EXPECT_FALSE(run.exact.mean.has_value());

  // With every response correct all groups score alike: the MV search says so, while every set's
  // distribution fits the overall one and the DIST search still chooses.
  const std::vector<int> all_correct(static_cast<std::size_t>(kParticipants * kItems), 1);
  const RunOutcome alike = compute_run(labelled_study(all_correct), testing::edition_of(3), 1, {});
  EXPECT_FALSE(alike.mv.found);
  EXPECT_TRUE(alike.dist.found);
  EXPECT_EQ(alike.notes, (std::vector<std::string>{
                             no_best_set_note(kMvMeasure, SearchOutcome::kOverallVarianceIsZero)}));
}

}  // namespace
}  // namespace quorvane
