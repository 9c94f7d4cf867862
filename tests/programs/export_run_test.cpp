// Runs with --export: the tables agree with the reports of the same run, and the export is
// written all or nothing together with them.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "programs/run_driver.h"
#include "reports/export_files.h"
#include "tests/programs/programs_under_test.h"
#include "tests/support/editions.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/in_process_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/program_process.h"
#include "tests/support/refusals.h"
#include "tests/support/report_parsing.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::csv_rows;
using testing::lines_of;
using testing::lines_starting;
using testing::printf_four_decimals;
using testing::read_double;
using testing::Rows;

constexpr std::uint32_t kSeed = 20261207;

// A run of the edition's driver in-process that exports under "pilot".
testing::ProgramResult run_with_export(FileSystem& files, const EditionProfile& edition,
                                       const std::string& answers) {
  return testing::run_in_process(files, answers, edition, kSeed, std::string("pilot"));
}

// A CSV number as the reports write it, "%.4f", or "-nan" for an empty field.
std::string four_decimals(const std::string& field) {
  return field.empty() ? "-nan" : printf_four_decimals(read_double(field));
}

// The listing lines of a report file as "members: number correct" rows of the groups table.
std::vector<std::string> listed_groups(const std::string& report) {
  std::vector<std::string> groups;
  for (const std::string& line : lines_of(report)) {
    const std::size_t colon = line.find(":  \t\t");
    if (colon == std::string::npos) continue;
    std::string members;
    for (const int member : testing::members_of(line)) members += std::to_string(member) + ",";
    groups.push_back(members + line.substr(colon + 5));
  }
  return groups;
}

std::vector<std::string> exported_groups(const Rows& rows, const std::string& fit, int group_size) {
  std::vector<std::string> groups;
  for (const auto& row : rows) {
    if (row[0] != fit) continue;
    std::string members;
    for (int i = 0; i < group_size; ++i) members += row[2 + static_cast<std::size_t>(i)] + ",";
    groups.push_back(members + row.back());
  }
  return groups;
}

// Catches tables that disagree with the reports: another set's figures, percentages or groups,
// columns swapped, a search's choice mixed up with the other's.
TEST(ExportRun, TablesAgreeWithTheReportsOfTheSameRun) {
  for (const int group_size : {2, 3, 4}) {
    const EditionProfile& edition = testing::edition_of(group_size);
    SCOPED_TRACE(edition.program_name);
    testing::MemoryFileSystem files;
    files.files["study.txt"] = testing::data_file_text(testing::made_up_responses(26, 9, 5), 9);
    ASSERT_EQ(run_with_export(files, edition, "study.txt 26 9").exit_status, kRunSucceeded);
    const std::vector<std::string> reports = testing::report_names(edition);
    const auto report = [&](std::size_t number) { return files.files[reports[number - 1]]; };

    const Rows distribution = csv_rows(files.files["pilot-distribution.csv"]);
    const std::vector<std::string> percentages =
        lines_starting(report(1), "");  // "v: percentage" lines end file 1
    ASSERT_EQ(distribution.size(), 1u + 10u);
    for (std::size_t v = 0; v <= 9; ++v) {
      const std::string& line = percentages[percentages.size() - 10 + v];
      EXPECT_EQ(std::to_string(v) + ": " + four_decimals(distribution[v + 1][1]), line);
    }

    const Rows sets = csv_rows(files.files["pilot-sets.csv"]);
    const std::vector<std::string> mv_lines = lines_starting(report(3), "Set#: ");
    const std::vector<std::string> dist_lines = lines_starting(report(5), "Set#: ");
    ASSERT_EQ(sets.size(), 1u + 10000u);
    for (std::size_t set = 0; set < 10000; set += 37) {
      const auto& row = sets[set + 1];
      const std::string label = row[0] + "-" + row[1];
      EXPECT_EQ(
          mv_lines[set].rfind("Set#: " + label + "\t SetChiSq: " + four_decimals(row[4]) + "\t", 0),
          0u);
      EXPECT_EQ(dist_lines[set].rfind(
                    "Set#: " + label + ":\t SetChiSq: " + four_decimals(row[5]) + "\t", 0),
                0u);
    }

    const Rows groups = csv_rows(files.files["pilot-groups.csv"]);
    EXPECT_EQ(exported_groups(groups, "MV", group_size), listed_groups(report(4)));
    EXPECT_EQ(exported_groups(groups, "DIST", group_size), listed_groups(report(6)));
    EXPECT_NE(files.files["pilot.svg"].find("seed 20261207"), std::string::npos);
  }
}

// Catches an export written apart from the reports: a failure at any write of the run, the
// export's included, must leave no export file and every report as it was.
TEST(ExportRun, AFailureAtAnyWriteLeavesNoExportFileAndTheReportsAsTheyWere) {
  const testing::MemoryFileSystem folder = testing::folder_with_study();
  const auto before = folder.files;
  // The journal, the eight reports and the four export files: one write each.
  for (int k = 1; k <= 13; ++k) {
    testing::MemoryFileSystem files = folder;
    testing::FaultyFileSystem faulty(files, testing::FaultyFileSystem::Fault::kWrite, k);
    const testing::ProgramResult run =
        run_with_export(faulty, kTriadsEdition, testing::kSmallStudyAnswers);
    SCOPED_TRACE("write " + std::to_string(k) + " hit " + faulty.injected_file());
    testing::expect_refused(run, faulty.injected_file() + ": cannot write the", before,
                            files.files);
  }
}

// Catches an export that overwrites an earlier one, or is refused only after the computation.
TEST(ExportRun, AnExportNameWhoseFilesExistIsRefusedBeforeAnythingIsAsked) {
  testing::MemoryFileSystem files;
  files.files["pilot-groups.csv"] = "an earlier export";
  const auto before = files.files;
  const testing::ProgramResult run = run_with_export(files, kTriadsEdition, "study.txt 12 6");
  EXPECT_EQ(run.out, "");
  testing::expect_refused(run,
                          "pilot-groups.csv: this export file exists already; choose another "
                          "export name and run again; no report file was changed\n",
                          before, files.files);
}

// Catches --export not reaching the run of the real program.
TEST(ExportRun, TheRealProgramWritesTheExportBesideTheReports) {
  testing::TempFolder folder;
  folder.write("study.txt", testing::small_study_text());
  testing::ProgramProcess::Options options;
  options.arguments = {"--seed", "7", "--export", "pilot"};
  const testing::ProgramResult result =
      testing::run_in(testing::kQuads.path, folder.path(), testing::kSmallStudyAnswers, options);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  const auto files = folder.snapshot();
  for (const std::string& name : export_file_names("pilot"))
    EXPECT_EQ(files.count(name), 1u) << name;
  EXPECT_EQ(files.size(), 1u + 8u + 4u);
}

}  // namespace
}  // namespace quorvane
