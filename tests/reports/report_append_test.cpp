// The all-or-nothing append on the real file system of a temporary folder, with a fault injected
// at every call where the system could fail.
#include "reports/report_append.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <iostream>
#include <map>
#include <string>

#include "platform/system_file_system.h"
#include "programs/triads_edition.h"
#include "simulation/nominal_group_run.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/folder_lock.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

namespace quorvane {
namespace {

using Fault = testing::FaultyFileSystem::Fault;
using Call = testing::FaultyFileSystem::Call;
using Files = std::map<std::string, std::string>;

// Which report files exist before the append, bit i for file i + 1: none, all, and the two
// alternations, so that files are both cut back and removed, before and after the one at fault.
constexpr unsigned kStarts[] = {0x00, 0xFF, 0x55, 0xAA};

const ReportSections& sections() {
  static const ReportSections run = [] {
    ReportFiles reports(kTriadsEdition);
    run_simulation(kTriadsEdition, testing::matrix_of(testing::made_up_responses(12, 6, 9), 12, 6),
                   1, reports);
    return reports.sections();
  }();
  return run;
}

std::string text_of_earlier_runs(std::size_t file) {
  return "\nwhat earlier runs left in file " + std::to_string(file + 1);
}

bool interrupts_held() {
#if defined(_WIN32)
  return false;  // console events are held by a handler, which no call shows
#else
  sigset_t mask;
  sigprocmask(SIG_BLOCK, nullptr, &mask);
  return sigismember(&mask, SIGINT) || sigismember(&mask, SIGTERM) || sigismember(&mask, SIGHUP);
#endif
}

class ReportAppend : public ::testing::Test {
 protected:
  // Empties the folder and writes the report files that `existing` says exist.
  Files prepare(unsigned existing) {
    for (const auto& [name, text] : folder_.snapshot()) std::remove(folder_.file(name).c_str());
    for (std::size_t i = 0; i < sections().size(); ++i) {
      if (existing & (1u << i)) folder_.write(sections()[i].file_name, text_of_earlier_runs(i));
    }
    return folder_.snapshot();
  }

  static Files appended(const Files& before) {
    Files after = before;
    for (const ReportSection& section : sections()) after[section.file_name] += section.text;
    return after;
  }

  // One append through a file system that injects `fault` at its k-th chance.
  bool append(Fault fault, int k, std::string* error) {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, fault, k);
    const bool ok = append_reports(
        files, sections(), [](const std::string& note) { ADD_FAILURE() << note; }, error);
    injected_file_ = files.injected_file();
    for (const Call call : {Call::kInspect, Call::kOpen, Call::kWrite, Call::kClose}) {
      calls_[call] = files.calls(call);
    }
    EXPECT_EQ(fault != Fault::kNone, files.injected()) << "the fault never struck";
    EXPECT_TRUE(testing::folder_lock_is_free(folder_.path()))
        << "the append kept the folder locked";
    EXPECT_FALSE(interrupts_held()) << "the append kept interrupts held";
    return ok;
  }

  // How many calls of the kind that `fault` strikes a clean append makes, from `existing`.
  int clean_calls(unsigned existing, Fault fault) {
    const Files before = prepare(existing);
    std::string error;
    EXPECT_TRUE(append(Fault::kNone, 0, &error)) << error;
    EXPECT_TRUE(folder_.snapshot() == appended(before)) << "a clean append went wrong";
    return calls_[testing::FaultyFileSystem::call_of(fault)];
  }

  testing::TempFolder folder_;
  std::string injected_file_;
  std::map<Call, int> calls_;  // by the last append
};

TEST_F(ReportAppend, AFaultAtAnyPointLeavesEveryFileAsItWas) {
  int fault_points = 0;
  for (const unsigned existing : kStarts) {
    for (const Fault fault :
         {Fault::kInspect, Fault::kOpen, Fault::kWrite, Fault::kPartialWrite, Fault::kClose}) {
      const int chances = clean_calls(existing, fault);
      EXPECT_GE(chances, 8);
      for (int k = 1; k <= chances; ++k) {
        SCOPED_TRACE("files existing " + std::to_string(existing) + ", fault " +
                     std::to_string(static_cast<int>(fault)) + " at call " + std::to_string(k));
        const Files before = prepare(existing);
        std::string error;
        EXPECT_FALSE(append(fault, k, &error));
        ++fault_points;
        EXPECT_TRUE(folder_.snapshot() == before) << "a file was changed, created or lost";
        EXPECT_EQ(error, injected_file_ +
                             (fault == Fault::kInspect ? ": cannot check the report file: "
                                                       : ": cannot write the report: ") +
                             testing::FaultyFileSystem::kReason + "; no report file was changed");
      }
    }
  }
  std::cout << "fault points injected: " << fault_points << '\n';
  RecordProperty("fault_points", fault_points);
}

TEST_F(ReportAppend, ShortWritesAreCarriedOnToTheEnd) {
  for (const unsigned existing : kStarts) {
    const int chances = clean_calls(existing, Fault::kShortWrite);
    for (int k = 1; k <= chances; ++k) {
      SCOPED_TRACE("files existing " + std::to_string(existing) + ", short write " +
                   std::to_string(k));
      const Files before = prepare(existing);
      std::string error;
      EXPECT_TRUE(append(Fault::kShortWrite, k, &error)) << error;
      EXPECT_TRUE(folder_.snapshot() == appended(before)) << "a section was cut or doubled";
    }
  }
}

#if !defined(_WIN32)  // symbolic links need a privilege on Windows
TEST_F(ReportAppend, TwoReportNamesLinkedToOneFileArePutBackWhole) {
  // Someone keeping both chi-square logs in one file: each name's size must be noted before
  // anything is written through the other, or putting one back would leave the other's text.
  const std::string& mv_log = sections()[2].file_name;
  const std::string& dist_log = sections()[4].file_name;
  for (int k = 1; k <= 8; ++k) {
    SCOPED_TRACE("write fault at call " + std::to_string(k));
    prepare(0xFF & ~(1u << 4));
    ASSERT_EQ(symlink(mv_log.c_str(), folder_.file(dist_log).c_str()), 0);
    const Files before = folder_.snapshot();
    std::string error;
    EXPECT_FALSE(append(Fault::kWrite, k, &error));
    EXPECT_TRUE(folder_.snapshot() == before) << "a file was changed, created or lost";
    EXPECT_EQ(folder_.read(mv_log), text_of_earlier_runs(2));
    std::remove(folder_.file(dist_log).c_str());
  }
}
#endif

TEST_F(ReportAppend, FilesThatCannotBePutBackAreNamed) {
  prepare(0x55);
  std::string error;
  {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, Fault::kWrite, 8);
    files.fail_restoring();
    EXPECT_FALSE(append_reports(
        files, sections(), [](const std::string&) {}, &error));
  }
  EXPECT_EQ(error.rfind(sections()[7].file_name + ": cannot write the report: injected fault", 0),
            0u)
      << error;
  EXPECT_EQ(error.find("no report file was changed"), std::string::npos) << error;
  for (const ReportSection& section : sections()) {
    EXPECT_NE(error.find(section.file_name + " could not be restored: injected fault"),
              std::string::npos)
        << error;
  }
}

}  // namespace
}  // namespace quorvane
