// A report name taken by a folder, a device, a symbolic link to a missing file, or a link to a
// file elsewhere, in every edition and at every one of the eight names: the run is refused
// before any report file is written.
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

enum class Taker { kFolder, kDevice, kDanglingLink, kLinkElsewhere, kHardLinkElsewhere };

// Why each taker's name is refused.
std::string why_refused(Taker taker) {
  const std::string shared =
      ", and a run writes only to report files of its own folder, so that putting back a "
      "stopped run never cuts another folder's lines; put a copy of the file in its place, and "
      "keep a shared record by collecting the lines of each folder's file 7 with a script";
  switch (taker) {
    case Taker::kDanglingLink:
      return "this report name is a symbolic link to a missing file; remove the link or create "
             "the file it points to, and run again";
    case Taker::kLinkElsewhere:
      return "this report name is a symbolic link" + shared;
    case Taker::kHardLinkElsewhere:
      return "this report file has another name (a hard link), perhaps in another folder" + shared;
    case Taker::kFolder:
    case Taker::kDevice:
      break;
  }
  return "this report name is taken by something that is not a plain file (a folder or "
         "device); move it out of the working folder and run again";
}

// A folder where the files before `taken` do not exist, so that a run that wrote before looking
// at every name would leave them behind, and those after it hold an earlier run's text.
void prepare(const testing::TempFolder& folder, const testing::TempFolder& elsewhere,
             const Program& program, std::size_t taken, Taker taker) {
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
  } else if (taker == Taker::kDanglingLink) {
    std::filesystem::create_symlink("moved-away.txt", folder.file(names[taken]));
  } else {
    // One cumulative file shared by two folders.
    elsewhere.write("shared.txt", "\nthe other folder's run");
    if (taker == Taker::kLinkElsewhere) {
      std::filesystem::create_symlink(elsewhere.file("shared.txt"), folder.file(names[taken]));
    } else {
      std::filesystem::create_hard_link(elsewhere.file("shared.txt"), folder.file(names[taken]));
    }
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
      // A dangling link used to fail on creating the file, with "File exists"; a file shared
      // with another folder lost that folder's lines when a run here was put back.
      for (const Taker taker : {Taker::kFolder, Taker::kDevice, Taker::kDanglingLink,
                                Taker::kLinkElsewhere, Taker::kHardLinkElsewhere}) {
#endif
        SCOPED_TRACE(std::string(program->name) + " " + names[taken] + " taker " +
                     std::to_string(static_cast<int>(taker)));
        testing::TempFolder folder;
        testing::TempFolder elsewhere;
        prepare(folder, elsewhere, *program, taken, taker);
        const auto before = folder.snapshot();
        const ProgramResult result =
            testing::run_in(program->path, folder.path(), testing::kSmallStudyAnswers);
        ++refusals;
        EXPECT_EQ(result.exit_status, 1);
        EXPECT_EQ(result.err, std::string(program->name) + ": error: " + names[taken] + ": " +
                                  why_refused(taker) + "; no report file was changed\n");
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
