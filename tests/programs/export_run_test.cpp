// Runs with --export: the tables agree with the reports of the same run, and the export is
// written all or nothing together with them.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <unistd.h>
#endif

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/system_file_system.h"
#include "programs/run_driver.h"
#include "reports/export_files.h"
#include "reports/export_of_run.h"
#include "simulation/exact_reference.h"
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
#include "tests/support/working_folder.h"

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
// columns swapped, a search's choice mixed up with the other's; for groups of any size.
TEST(ExportRun, TablesAgreeWithTheReportsOfTheSameRun) {
  for (const int group_size : {2, 3, 4, 5, 6}) {
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
    EXPECT_NE(files.files["pilot-methods.txt"].find("seed 20261207"), std::string::npos);
  }
}

// Catches a summary that disagrees with the reports of the same run: the overall figures of
// file 1, the MV set's of file 7 and the DIST set's of file 8, each to the reports' four
// decimals; and exact values other than those of the study.
TEST(ExportRun, SummaryAgreesWithFiles1And7And8) {
  for (const int group_size : {2, 3, 4}) {
    const EditionProfile& edition = testing::edition_of(group_size);
    SCOPED_TRACE(edition.program_name);
    testing::MemoryFileSystem files;
    const std::vector<int> responses = testing::made_up_responses(26, 9, 5);
    files.files["study.txt"] = testing::data_file_text(responses, 9);
    ASSERT_EQ(run_with_export(files, edition, "study.txt 26 9").exit_status, kRunSucceeded);
    const std::vector<std::string> reports = testing::report_names(edition);
    const auto report = [&](std::size_t number) { return files.files[reports[number - 1]]; };
    const Rows summary = csv_rows(files.files["pilot-summary.csv"]);
    ASSERT_EQ(summary.size(), 2u);
    std::map<std::string, std::string> field;
    for (std::size_t i = 0; i < summary[0].size(); ++i) field[summary[0][i]] = summary[1][i];

    const std::string overall = lines_starting(report(1), "Overall Mean: ").at(0);
    EXPECT_EQ(overall, "Overall Mean: " + four_decimals(field["overall_mean"]) +
                           "\t Overall Variance " + four_decimals(field["overall_variance"]));
    EXPECT_EQ(lines_starting(report(7), "BF-MV-Mean: ").at(0),
              "BF-MV-Mean: " + four_decimals(field["mv_mean"]) +
                  "\t BF-MV-Var: " + four_decimals(field["mv_variance"]) +
                  "\t Overall-Mean: " + four_decimals(field["overall_mean"]) +
                  "\t Overall-Var: " + four_decimals(field["overall_variance"]) +
                  "\t Best-MV-ChiSq: " + four_decimals(field["mv_chi_square"]));
    EXPECT_EQ(lines_starting(report(8), "BF-DIST-Mean: ").at(0),
              "BF-DIST-Mean: " + four_decimals(field["dist_mean"]) +
                  "\t BF-DIST-Var: " + four_decimals(field["dist_variance"]) +
                  "\t Overall-Mean: " + four_decimals(field["overall_mean"]) +
                  "\t Overall-Var: " + four_decimals(field["overall_variance"]) +
                  "\t Best-DIST-ChiSq: " + four_decimals(field["dist_chi_square"]));
    // The chosen sets' labels are those the searches' last lines name as best.
    const std::string mv_last = lines_starting(report(3), "Set#: ").back();
    const std::string dist_last = lines_starting(report(5), "Set#: ").back();
    EXPECT_NE(mv_last.find("\tBestSet " + field["mv_set"] + "\t"), std::string::npos) << mv_last;
    EXPECT_EQ(dist_last.substr(dist_last.rfind("BestSet: ")), "BestSet: " + field["dist_set"]);
    const ExactReference exact = exact_reference(testing::matrix_of(responses, 26, 9), group_size);
    EXPECT_EQ(read_double(field["exact_mean"]), *exact.mean);
    EXPECT_EQ(read_double(field["exact_variance"]), *exact.variance);
    EXPECT_EQ(field["data_file"], "study.txt");
    EXPECT_EQ(field["seed"], "20261207");
  }
}

// Catches exact values left out without a word on the console, a note where nothing was left
// out, and a note that names the wrong value.
TEST(ExportRun, ANoteSaysWhichExactValuesAreLeftOut) {
  struct Case {
    bool variance;
    bool distribution;
    const char* note;
  };
  const Case cases[] = {
      {true, true, ""},
      {true, false,
       "the exact distribution is left out of the export, as computing it for 30 "
       "participants and 20 items would take more than a second"},
      {false, true,
       "the exact variance is left out of the export, as computing it for 30 "
       "participants and 20 items would take more than a second"},
      {false, false,
       "the exact variance and distribution are left out of the export, as "
       "computing them for 30 participants and 20 items would take more than a "
       "second"},
  };
  for (const Case& c : cases) {
    ExportData data;
    data.participants = 30;
    data.items = 20;
    data.exact.mean = 1.0;
    if (c.variance) data.exact.variance = 2.0;
    if (c.distribution) data.exact.percentages.assign(21, 100.0 / 21);
    EXPECT_EQ(exact_values_left_out(data), c.note);
  }
  // A real run too large for the exact distribution says so, once, as a note.
  testing::MemoryFileSystem files;
  files.files["study.txt"] = testing::data_file_text(testing::made_up_responses(1064, 3, 5), 3);
  const testing::ProgramResult run = run_with_export(files, kTriadsEdition, "study.txt 1064 3");
  ASSERT_EQ(run.exit_status, kRunSucceeded);
  EXPECT_EQ(run.err,
            "Quorvane-Triads: note: the exact distribution is left out of the export, as "
            "computing it for 1064 participants and 3 items would take more than a second\n");
  EXPECT_EQ(csv_rows(files.files["pilot-distribution.csv"])[1].back(), "");
}

// Catches an export written apart from the reports: a failure at any write of the run, the
// export's included, must leave no export file and every report as it was.
TEST(ExportRun, AFailureAtAnyWriteLeavesNoExportFileAndTheReportsAsTheyWere) {
  const testing::MemoryFileSystem folder = testing::folder_with_study();
  const auto before = folder.files;
  // The journal, the eight reports and the five export files: one write each.
  for (int k = 1; k <= 14; ++k) {
    testing::MemoryFileSystem files = folder;
    testing::FaultyFileSystem faulty(files, testing::FaultyFileSystem::Fault::kWrite, k);
    const testing::ProgramResult run =
        run_with_export(faulty, kTriadsEdition, testing::kSmallStudyAnswers);
    SCOPED_TRACE("write " + std::to_string(k) + " hit " + faulty.injected_file());
    testing::expect_refused(run, faulty.injected_file() + ": cannot write the", before,
                            files.files);
  }
}

// An export that cannot be written is refused before anything is asked: the computation is not
// lost on it.
struct ExportRefusal {
  const char* what;
  std::string export_name;
  std::function<void(testing::TempFolder&)> prepare;
  std::string line;  // after "Quorvane-Triads: error: "; empty when the run goes on
};

TEST(ExportRun, AnExportThatCannotBeWrittenIsRefusedBeforeAnythingIsAsked) {
  const std::string kept = "; no report file was changed\n";
  std::vector<ExportRefusal> refusals = {
      // Catches an export that overwrites an earlier one.
      {"a file of the export exists", "pilot",
       [](testing::TempFolder& f) { f.write("pilot-groups.csv", "an earlier export"); },
       "pilot-groups.csv: this export file exists already; choose another export name and run "
       "again" +
           kept},
      // Catches a folder that is missing found only after the computation.
      {"a missing folder", "missing/pilot", [](testing::TempFolder&) {},
       "missing/: the export's folder does not exist; create it or choose another export name, "
       "and run again" +
           kept},
      // Catches a file taken for the export's folder.
      {"a file where the folder should be", "study.txt/pilot", [](testing::TempFolder&) {},
       "study.txt/: the export's folder is not a folder; create it or choose another export "
       "name, and run again" +
           kept},
      // Catches the probe left behind, or a writable folder refused.
      {"a folder that takes the files", "sub/pilot",
       [](testing::TempFolder& f) { std::filesystem::create_directory(f.file("sub")); }, ""},
  };
#if !defined(_WIN32)
  // Catches a dangling link at an export name let through until the append.
  refusals.push_back({"a dangling link at an export name", "pilot",
                      [](testing::TempFolder& f) {
                        ASSERT_EQ(symlink("nowhere", f.file("pilot.svg").c_str()), 0);
                      },
                      "pilot.svg: this export file exists already; choose another export name "
                      "and run again" +
                          kept});
  // Catches a folder that cannot be written found only after the computation (not as root,
  // whom permissions do not stop).
  if (geteuid() != 0) {
    refusals.push_back({"a read-only folder", "ro/pilot",
                        [](testing::TempFolder& f) {
                          std::filesystem::create_directory(f.file("ro"));
                          std::filesystem::permissions(f.file("ro"),
                                                       std::filesystem::perms::owner_read |
                                                           std::filesystem::perms::owner_exec);
                        },
                        "ro/: cannot write the export's files there: Permission denied; choose a "
                        "folder you can write to (or fix its permissions) and run again" +
                            kept});
  }
#endif
  for (const ExportRefusal& refusal : refusals) {
    SCOPED_TRACE(refusal.what);
    testing::TempFolder folder;
    folder.write("study.txt", testing::small_study_text());
    refusal.prepare(folder);
    const auto before = folder.snapshot();
    testing::ProgramResult run;
    {
      testing::WorkingFolder here(folder.path());
      const auto files = make_system_file_system();
      run = testing::run_in_process(*files, testing::kSmallStudyAnswers, kTriadsEdition, kSeed,
                                    refusal.export_name);
    }
    if (refusal.line.empty()) {
      EXPECT_EQ(run.exit_status, kRunSucceeded) << run.err;
      for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        EXPECT_EQ(entry.path().filename().string().find("probe"), std::string::npos)
            << entry.path();
      }
      continue;
    }
    EXPECT_EQ(run.out, "") << "something was asked";
    testing::expect_refused(run, refusal.line, before, folder.snapshot());
  }
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
  EXPECT_EQ(files.size(), 1u + 8u + static_cast<std::size_t>(kExportFileCount));
}

}  // namespace
}  // namespace quorvane
