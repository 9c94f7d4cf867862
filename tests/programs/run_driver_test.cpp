// Whole runs of the driver in-process, over a working folder in memory: the exact console text of
// every dialogue, note and error, and the append's failures. A changed message, or a guard taken
// out, fails one of these.
#include "programs/run_driver.h"

#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "runs/run_outcome.h"
#include "simulation/nominal_group_run.h"
#include "tests/support/editions.h"
#include "tests/support/in_process_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/prompts.h"
#include "tests/support/refusals.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"

namespace quorvane {
namespace {

using testing::folder_with_study;
using testing::kCompleteDialogue;
using testing::kInProcessSeed;
using testing::kItemsPrompt;
using testing::kNamePrompt;
using testing::kOpenedLine;
using testing::kParticipantsPrompt;
using testing::kSmallStudyAnswers;
using testing::MemoryFileSystem;
using testing::ProgramResult;
using testing::run_in_process;

// Catches: a prompt or message changed, text left on the console, a section missing or not
// appended after the earlier runs' text.
TEST(RunDriver, ACompleteDialogueAppendsEverySectionAndSaysNothingElse) {
  MemoryFileSystem files = folder_with_study();
  const auto before = files.files;
  const ProgramResult run = run_in_process(files, kSmallStudyAnswers);
  EXPECT_EQ(run.exit_status, kRunSucceeded);
  EXPECT_EQ(run.out, kCompleteDialogue);
  EXPECT_EQ(run.err, "");
  const ReportSections sections = testing::sections_of_run(
      kTriadsEdition, testing::small_study_responses(), testing::kSmallStudyParticipants,
      testing::kSmallStudyItems, kInProcessSeed);
  for (const NamedText& section : sections) {
    EXPECT_EQ(files.files[section.file_name], before.at(section.file_name) + section.text)
        << section.file_name;
  }
}

// Catches: any refusal's wording changed, a refusal that goes on to write, or a second line.
TEST(RunDriver, EveryRefusalIsOneExactLineAndTouchesNoFile) {
  const std::string long_name(80, 'x');
  struct Refusal {
    std::string answers;
    std::string data;
    std::string out;
    std::string error;
  };
  const std::string six_by_one = "1\n0\n1\n1\n0\n1\n";
  const std::vector<Refusal> refusals = {
      {"", six_by_one, kNamePrompt,
       "no data file name was given; run the program again and type the name at the prompt"},
      {long_name + "\n6\n1\n", six_by_one, kNamePrompt,
       "the data file name 'xxxxxxxxxxxxxxxxxxxxxxxx...' is 80 characters long; names of at most "
       "79 characters are accepted, so rename the file or run the program from its folder"},
      {"other.txt\n6\n1\n", six_by_one, kNamePrompt + testing::kNotOpenedLine,
       "other.txt: cannot open the data file: No such file or directory; check the name and run "
       "the program again from the folder that holds it"},
      {"study.txt\nabc\n1\n", six_by_one, kNamePrompt + kOpenedLine + kParticipantsPrompt,
       "the number of participants must be a whole number from 6 to 10000 (at least two full "
       "groups "
       "of 3); found 'abc'; run the program again and type it at the prompt"},
      {"study.txt\n6\n", six_by_one, kNamePrompt + kOpenedLine + kParticipantsPrompt + kItemsPrompt,
       "the number of items must be a whole number from 1 to 10000; found the end of the input; "
       "run "
       "the program again and type it at the prompt"},
      {"study.txt\n6\n2\n", six_by_one,
       kNamePrompt + kOpenedLine + kParticipantsPrompt + kItemsPrompt,
       "study.txt: row 4, item 1: the file ends after 6 of the 12 responses of 6 participants by "
       "2 items; complete the file, or type the numbers of rows and columns it holds"},
      {"study.txt\n6\n1\n", "1\n0\n1,1\n",
       kNamePrompt + kOpenedLine + kParticipantsPrompt + kItemsPrompt,
       "study.txt: row 3, item 1 (line 3 of the file): found '1,1' where a response was "
       "expected; responses are whole numbers (1 correct, 0 missed) separated by blanks, tabs or "
       "line breaks"},
  };
  for (const Refusal& refusal : refusals) {
    MemoryFileSystem files = folder_with_study(refusal.data);
    const auto before = files.files;
    const ProgramResult run = run_in_process(files, refusal.answers);
    testing::expect_refused(run, refusal.error, before, files.files);
    EXPECT_EQ(run.out, refusal.out);
    EXPECT_EQ(run.err, "Quorvane-Triads: error: " + refusal.error + "\n");
  }
}

// Catches: a changed note about the data, or a note that stops the run.
TEST(RunDriver, SlipsInTheDataGetOneNoteEachAndTheRunGoesOn) {
  MemoryFileSystem files = folder_with_study("1 2 0\n-1 1 0\n1 0 0\n1 1 1\n0 0 1\n1 0 1\n7 8\n9");
  const ProgramResult run = run_in_process(files, "study.txt\n6\n3\n");
  EXPECT_EQ(run.exit_status, kRunSucceeded);
  EXPECT_EQ(
      run.err,
      "Quorvane-Triads: note: study.txt: 2 responses are neither 0 nor 1 and counted as "
      "correct (the first: row 1, item 2 holds 2); if that is a coding slip, correct the data "
      "file and run again\n"
      "Quorvane-Triads: note: study.txt: the data file holds 3 more values after the 6 x 3 "
      "responses read (the first on line 7), ignored; check the numbers of participants and "
      "items typed\n");
}

// Catches: a changed reason for a search without a best set, or the note missing.
TEST(RunDriver, ASearchWithoutABestSetIsNotedWithItsReason) {
  MemoryFileSystem files = folder_with_study("1 1 1 1 1 1 1 1 1 1 1 1");
  const ProgramResult run = run_in_process(files, "study.txt\n6\n2\n");
  EXPECT_EQ(run.exit_status, kRunSucceeded);
  EXPECT_EQ(run.err,
            "Quorvane-Triads: note: no set could be chosen by mean and variance: the overall "
            "variance is 0 (within every set all groups scored alike); its reports show the best "
            "set as 0-0\n");
  // No study leaves the DIST search, or the MV search with a positive variance, without a best;
  // their notes are checked on their own.
  EXPECT_EQ(no_best_set_note(kMvMeasure, SearchOutcome::kOverallMeanIsZero),
            "no set could be chosen by mean and variance: the overall mean is 0 (no group "
            "answered any item correctly); its reports show the best set as 0-0");
  EXPECT_EQ(no_best_set_note(kDistMeasure, SearchOutcome::kNoChiSquareBelowStart),
            "no set could be chosen by distribution: no set's chi-square is a number below "
            "1000000; its reports show the best set as 0-0");
}

// Catches: a changed lock message, a write that accepts nothing taken for progress (a run that
// never ends) or for success, and a lock wait that is not said.
TEST(RunDriver, AppendFailuresAreOneLineAndLeaveEveryReportAsItWas) {
  MemoryFileSystem refused = folder_with_study();
  refused.lock_refusal = "No locks available";
  auto before = refused.files;
  ProgramResult run = run_in_process(refused, kSmallStudyAnswers);
  testing::expect_refused(run,
                          ": error: cannot lock the working folder for writing the reports: No "
                          "locks available; no report file was changed\n",
                          before, refused.files);

  MemoryFileSystem stuck = folder_with_study();
  stuck.writes_accept_nothing = true;
  before = stuck.files;
  run = run_in_process(stuck, kSmallStudyAnswers);
  testing::expect_refused(run,
                          ": error: NG-0-Append-Journal.txt: cannot write the append journal: the "
                          "system accepted no more bytes; no report file was changed\n",
                          before, stuck.files);

  MemoryFileSystem busy = folder_with_study();
  busy.lock_held = true;
  run = run_in_process(busy, kSmallStudyAnswers);
  EXPECT_EQ(run.exit_status, kRunSucceeded);
  EXPECT_EQ(run.err, "Quorvane-Triads: note: " + testing::kWaitingNote + "\n");
}

// Catches a folder that takes no new file found only once the computation is over (a data file
// named /dev/stdin puts the reports in /dev), and the export's folder not checked alike.
TEST(RunDriver, AFolderThatTakesNoNewFileIsSaidBeforeAnythingIsAsked) {
  const struct {
    const char* unwritable;
    std::string err;
  } cases[] = {
      {".",
       "Quorvane-Triads: error: the working folder: cannot write the reports there: Permission "
       "denied; choose a folder you can write to (or fix its permissions) and run again; no "
       "report file was changed\n"},
      {"out",
       "Quorvane-Triads: error: out/: cannot write the export's files there: Permission denied; "
       "choose a folder you can write to (or fix its permissions) and run again; no report file "
       "was changed\n"},
  };
  for (const auto& one : cases) {
    MemoryFileSystem files = folder_with_study();
    files.folders.insert("out");
    files.unwritable_folders.insert(one.unwritable);
    const auto before = files.files;
    const ProgramResult run =
        run_in_process(files, kSmallStudyAnswers, kTriadsEdition, 7, std::string("out/x"));
    EXPECT_EQ(run.exit_status, kRunFailed);
    EXPECT_EQ(run.out, "") << "something was asked first";
    EXPECT_EQ(run.err, one.err);
    EXPECT_TRUE(files.files == before);
  }
}

// Catches a line about memory that names no figure, or a limit known to be too small found only
// once the computation fails.
TEST(RunDriver, NotEnoughMemoryIsSaidWithWhatTheStudyNeedsAndTheLimit) {
  const std::string needs =
      "Quorvane-Triads: error: not enough memory for this study of 12 "
      "participants by 6 items, which needs about " +
      std::to_string((memory_needed(testing::matrix_of(testing::small_study_responses(),
                                                       testing::kSmallStudyParticipants,
                                                       testing::kSmallStudyItems),
                                    3) +
                      1024 * 1024 - 1) /
                     (1024 * 1024)) +
      " MB";
  const auto out_of_memory = []() -> std::uint32_t { throw std::bad_alloc(); };
  const struct {
    const char* what;
    RunOptions options;
    std::string err;
  } cases[] = {
      {"a limit below the need", RunOptions{[] { return kInProcessSeed; }, {}, 1024 * 1024},
       needs + ": the limit set for this program (ulimit -v) is 1 MB; raise the limit (ulimit -v) "
               "and run again; no report file was changed\n"},
      {"memory refused without a limit", RunOptions{out_of_memory, {}},
       needs + " (the system refused the memory the run needs; no limit is set for this program); "
               "close other programs or raise the limit and run again; no report file was "
               "changed\n"},
      {"memory refused under a limit",
       RunOptions{out_of_memory, {}, std::uint64_t{1024} * 1024 * 1024},
       needs + " (the system refused the memory the run needs; the limit set for this program "
               "(ulimit -v) is 1024 MB); close other programs or raise the limit and run again; no "
               "report file was changed\n"},
  };
  for (const auto& run_case : cases) {
    MemoryFileSystem files = folder_with_study();
    const auto before = files.files;
    const ProgramResult run = run_in_process(files, kSmallStudyAnswers, run_case.options);
    SCOPED_TRACE(run_case.what);
    testing::expect_refused(run, run_case.err, before, files.files);
  }
}

// Catches an estimate that adds the computation's tables to the reports instead of taking the
// larger (they are never held at once), or that leaves out either: made-up studies of growing
// size, estimated before and after their responses are known.
TEST(RunDriver, TheMemoryEstimateHoldsTheLargerOfComputingAndReporting) {
  const struct {
    int participants;
    int items;
  } studies[] = {{4, 1}, {30, 20}, {400, 20}, {1000, 60}, {2000, 300}, {3000, 1000}};
  for (const auto& study : studies) {
    const ResponseMatrix matrix =
        testing::matrix_of(testing::made_up_responses(study.participants, study.items, 7u),
                           study.participants, study.items);
    const std::uint64_t before = memory_needed(study.participants, study.items, 2);
    const std::uint64_t needed = memory_needed(matrix, 2);
    EXPECT_GE(needed, before) << study.participants;
    EXPECT_LT(needed, before + simulation_bytes(matrix, 2)) << study.participants;
    EXPECT_GE(needed, kProgramBytes + simulation_bytes(matrix, 2)) << study.participants;
  }
}

}  // namespace
}  // namespace quorvane
