// The real program under a file-size limit that its append crosses inside each of the eight
// report files in turn: the run fails with one line and leaves every file as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "tests/programs/programs_under_test.h"
#include "tests/support/program_process.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

// What earlier runs left in the report, repeated to the size.
std::string filler(const std::string& name, std::size_t size) {
  std::string text;
  while (text.size() < size) text += testing::earlier_runs_text(name);
  text.resize(size);
  return text;
}

TEST(FileSizeLimit, ALimitCrossedInsideAnyReportFileLeavesEveryFileAsItWas) {
  const testing::Program& program = testing::kTriads;
  const std::vector<std::string> names = testing::report_names(program);
  const std::string study = testing::small_study_text();
  const std::string input = testing::kSmallStudyAnswers;

  // One run's sections, whose sizes vary from run to run by a few bytes at most.
  testing::TempFolder first;
  first.write("study.txt", study);
  ASSERT_EQ(testing::run_in(program.path, first.path(), input).exit_status, 0);
  const auto one_run = first.snapshot();
  std::size_t largest = 0;
  for (const std::string& name : names) largest = std::max(largest, one_run.at(name).size());
  // Every file may hold one earlier run and take one more, except the one at the limit.
  const std::size_t limit = 2 * largest + 4096;

  for (std::size_t crossed = 0; crossed < names.size(); ++crossed) {
    SCOPED_TRACE(names[crossed]);
    testing::TempFolder folder;
    folder.write("study.txt", study);
    for (std::size_t i = 0; i < names.size(); ++i) {
      const std::size_t section = one_run.at(names[i]).size();
      if (i == crossed) {
        folder.write(names[i],
                     filler(names[i], limit - section / 2));  // the limit falls mid-section
      } else if (i > crossed || i % 2 == 1) {
        folder.write(names[i], one_run.at(names[i]));
      }  // else the run creates the file and must remove it again
    }
    const auto before = folder.snapshot();
    const testing::ProgramResult result =
        testing::run_in(program.path, folder.path(), input, {static_cast<long>(limit), {}});
    EXPECT_EQ(result.exit_status, 1) << "signal " << result.signal;
    EXPECT_EQ(result.err, "Quorvane-Triads: error: " + names[crossed] +
                              ": cannot write the report: File too large; no report file was "
                              "changed\n");
    EXPECT_TRUE(folder.snapshot() == before) << "a file was changed, created or lost";
  }
}

}  // namespace
}  // namespace quorvane
