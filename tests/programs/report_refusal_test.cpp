// A report name taken by a folder, a device or a symbolic link to a missing file, in every
// edition and at every one of the eight names: the run is refused before any report file is
// written.
#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <map>
#include <string>

#include "tests/programs/programs_under_test.h"
#include "tests/support/program_process.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::Program;
using testing::ProgramResult;

enum class Taker { kFolder, kDevice, kDanglingLink };

// A folder where the files before `taken` do not exist, so that a run that wrote before looking
// at every name would leave them behind, and those after it hold an earlier run's text.
void prepare(const testing::TempFolder& folder, const Program& program, std::size_t taken,
             Taker taker) {
  folder.write("study.txt", testing::small_study_text());
  const std::vector<std::string> names = testing::report_names(program);
  for (std::size_t i = taken + 1; i < names.size(); ++i) {
    folder.write(names[i], testing::earlier_runs_text(names[i]));
  }
  if (taker == Taker::kFolder) {
    std::filesystem::create_directory(folder.file(names[taken]));
    folder.write(names[taken] + "/inside.txt", "kept");
  } else if (taker == Taker::kDevice) {
    std::filesystem::create_symlink("/dev/null", folder.file(names[taken]));
  } else {
    std::filesystem::create_symlink("moved-away.txt", folder.file(names[taken]));
  }
}

TEST(ReportNameTaken, EveryNameOfEveryEditionIsRefusedBeforeAnythingIsWritten) {
  int refusals = 0;
  for (const Program* program : testing::kPrograms) {
    const std::vector<std::string> names = testing::report_names(*program);
    for (std::size_t taken = 0; taken < names.size(); ++taken) {
#if defined(_WIN32)
      for (const Taker taker : {Taker::kFolder}) {  // no device files or links to make
#else
      // A dangling link used to fail on creating the file, with "File exists".
      for (const Taker taker : {Taker::kFolder, Taker::kDevice, Taker::kDanglingLink}) {
#endif
        SCOPED_TRACE(std::string(program->name) + " " + names[taken] + " taker " +
                     std::to_string(static_cast<int>(taker)));
        testing::TempFolder folder;
        prepare(folder, *program, taken, taker);
        const auto before = folder.snapshot();
        const ProgramResult result =
            testing::run_in(program->path, folder.path(), testing::kSmallStudyAnswers);
        ++refusals;
        EXPECT_EQ(result.exit_status, 1);
        const std::string why =
            taker == Taker::kDanglingLink
                ? "this report name is a symbolic link to a missing file; remove the link or "
                  "create the file it points to, and run again"
                : "this report name is taken by something that is not a plain file (a folder or "
                  "device); move it out of the working folder and run again";
        EXPECT_EQ(result.err, std::string(program->name) + ": error: " + names[taken] + ": " + why +
                                  "; no report file was changed\n");
        EXPECT_TRUE(folder.snapshot() == before) << "a report file was written";
        if (taker == Taker::kFolder) {
          EXPECT_EQ(folder.read(names[taken] + "/inside.txt"), "kept");
        }
        if (taker == Taker::kDanglingLink) {
          EXPECT_FALSE(std::filesystem::exists(folder.file("moved-away.txt")));
        }
      }
    }
  }
  std::cout << "report names refused: " << refusals << '\n';
}

}  // namespace
}  // namespace quorvane
