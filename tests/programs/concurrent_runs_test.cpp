// Runs of the real programs that meet at the folder's report lock: started together, mixed
// editions append whole sections one run at a time; a run that finds the lock held waits and
// says so once; an interrupt ends a waiting run with nothing written, but waits for an append.
#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#endif

#include <chrono>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/programs/programs_under_test.h"
#include "tests/programs/started_run.h"
#include "tests/support/folder_lock.h"
#include "tests/support/program_process.h"
#include "tests/support/prompts.h"
#include "tests/support/report_history.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::ObservedRun;
using testing::Program;
using testing::StartedRun;

std::string waiting_note(const Program& program) {
  return std::string(program.name) + ": note: " + testing::kWaitingNote + "\n";
}

// Waits until the run has said that it waits for the lock; false if it ends or a minute passes
// without.
bool says_it_waits(const StartedRun& run) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::minutes(1);
  while (run.process->err_so_far() != waiting_note(run.program)) {
    if (run.process->has_ended() || std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

bool has_report_files(const testing::TempFolder& folder) {
  for (const auto& [name, text] : folder.snapshot()) {
    if (name.rfind("NG-", 0) == 0) return true;
  }
  return false;
}

TEST(ConcurrentRuns, MixedEditionsStartedTogetherAppendWholeSectionsOneRunAtATime) {
  constexpr int kRounds = 4;
  constexpr int kRunsPerRound = 6;
  testing::TempFolder folder;
  std::vector<ObservedRun> observed;
  for (int round = 0; round < kRounds; ++round) {
    SCOPED_TRACE("round " + std::to_string(round + 1));
    // Every other round starts while the folder is locked, so that all its runs queue at the
    // lock and race for it when it is released.
    auto lock = round % 2 == 1 ? std::make_unique<testing::FolderLock>(folder.path()) : nullptr;
    std::vector<std::unique_ptr<StartedRun>> runs;
    for (int i = 0; i < kRunsPerRound; ++i) {
      runs.push_back(std::make_unique<StartedRun>(*testing::kPrograms[i % 3], folder,
                                                  static_cast<int>(observed.size()) + i));
    }
    if (lock != nullptr) {
      for (const auto& run : runs) EXPECT_TRUE(says_it_waits(*run));
      lock->release();
    }
    for (const auto& run : runs) {
      const testing::ProgramResult result = run->wait();
      EXPECT_EQ(result.exit_status, 0) << result.err;
      if (!result.err.empty()) {
        EXPECT_EQ(result.err, waiting_note(run->program));
      }
      observed.push_back(run->observed);
    }
  }
  EXPECT_EQ(testing::check_report_history(folder, observed), "");
  std::cout << "concurrent runs checked: " << observed.size() << '\n';
  RecordProperty("concurrent_runs", static_cast<int>(observed.size()));
}

TEST(ConcurrentRuns, ARunThatFindsTheFolderLockedSaysSoOnceAndWaits) {
  testing::TempFolder folder;
  testing::FolderLock lock(folder.path());
  StartedRun run(testing::kQuads, folder, 0);
  ASSERT_TRUE(says_it_waits(run)) << run.process->err_so_far();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_FALSE(has_report_files(folder)) << "a report was written while the lock was held";
  lock.release();
  const testing::ProgramResult result = run.wait();
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, waiting_note(testing::kQuads));
  EXPECT_EQ(testing::check_report_history(folder, {run.observed}), "");
}

#if !defined(_WIN32)  // POSIX signals
TEST(ConcurrentRuns, AnInterruptWhileWaitingForTheLockEndsTheRunWithNothingWritten) {
  testing::TempFolder folder;
  testing::FolderLock lock(folder.path());
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(strsignal(signal));
    StartedRun run(testing::kPairs, folder, 0);
    ASSERT_TRUE(says_it_waits(run));
    kill(static_cast<pid_t>(run.process->pid()), signal);
    EXPECT_EQ(run.wait().signal, signal);
    EXPECT_FALSE(has_report_files(folder));
  }
}
#endif

}  // namespace
}  // namespace quorvane
