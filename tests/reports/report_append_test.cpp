// The all-or-nothing append on the real file system of a temporary folder, with a fault injected
// at every call where the system could fail, or the run killed there and the next append
// repairing from the journal.
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
#include <vector>

#include "platform/system_file_system.h"
#include "reports/append_journal.h"
#include "simulation/nominal_group_run.h"
#include "tests/support/editions.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/folder_lock.h"
#include "tests/support/studies.h"
#include "tests/support/study_folder.h"
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
    return testing::sections_of_run(kTriadsEdition, testing::small_study_responses(), 12, 6, 1);
  }();
  return run;
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
      if (existing & (1u << i))
        folder_.write(sections()[i].file_name, testing::earlier_runs_text(sections()[i].file_name));
    }
    return folder_.snapshot();
  }

  static Files appended(const Files& before, const ReportSections& run = sections()) {
    Files after = before;
    for (const ReportSection& section : run) after[section.file_name] += section.text;
    return after;
  }

  struct Outcome {
    bool ok = false;
    std::string error;
    std::vector<std::string> notes;
    int calls = 0;
  };

  // One append of `run`, killed at its k-th call (never when k is 0): the system's file system,
  // going, releases the lock and the signals as the end of the process would.
  Outcome killed_append(const ReportSections& run, int k) {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, k > 0 ? Fault::kKill : Fault::kNone, k);
    Outcome outcome;
    try {
      outcome.ok = append_reports(
          files, run, {}, [&](const std::string& note) { outcome.notes.push_back(note); },
          &outcome.error);
    } catch (const testing::FaultyFileSystem::Killed&) {
      EXPECT_TRUE(files.injected());
    }
    outcome.calls = files.all_calls();
    return outcome;
  }

  // One append through a file system that injects `fault` at its k-th chance.
  bool append(Fault fault, int k, std::string* error) {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, fault, k);
    const bool ok = append_reports(
        files, sections(), {}, [](const std::string& note) { ADD_FAILURE() << note; }, error);
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
        EXPECT_TRUE(folder_.snapshot() == before) << "a file or the journal was left behind";
        const bool at_journal = injected_file_ == kAppendJournalName;
        const std::string what = at_journal ? "append journal" : "report";
        EXPECT_EQ(error, injected_file_ +
                             (fault == Fault::kInspect
                                  ? ": cannot check the " + what + (at_journal ? "" : " file")
                                  : ": cannot write the " + what) +
                             ": " + testing::FaultyFileSystem::kReason +
                             "; no report file was changed");
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
    EXPECT_EQ(folder_.read(mv_log), testing::earlier_runs_text(mv_log));
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
    // The 9th write: the journal takes the first.
    testing::FaultyFileSystem files(*system, Fault::kWrite, 9);
    files.fail_restoring();
    EXPECT_FALSE(append_reports(
        files, sections(), {}, [](const std::string&) {}, &error));
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

// The eight report names with short texts of one run: the append does not look at the texts,
// and short ones keep thousands of killed appends quick.
ReportSections short_sections(const std::string& run) {
  ReportSections short_run = sections();
  for (std::size_t i = 0; i < short_run.size(); ++i) {
    short_run[i].text = "\n" + run + "'s section of file " + std::to_string(i + 1);
  }
  return short_run;
}

// The note the repair owes: the files the killed run lengthened are cut back, those it created
// are removed, as seen by comparing the folder before it with the folder it left.
std::vector<std::string> owed_notes(const Files& before, const Files& left) {
  std::string cut;
  std::string removed;
  int cuts = 0;
  int removals = 0;
  for (const auto& [name, text] : left) {
    const auto found = before.find(name);
    if (name != kAppendJournalName && found == before.end()) {
      removed += (removals++ == 0 ? "" : ", ") + name;
    } else if (found != before.end() && text.size() > found->second.size()) {
      cut += (cuts++ == 0 ? "" : ", ") + name;
    }
  }
  if (cuts + removals == 0) return {};
  std::string note = "a run in this folder stopped while writing its reports";
  if (cuts == 1) note += "; " + cut + " was cut back to its earlier end";
  if (cuts > 1) note += "; " + cut + " were cut back to their earlier ends";
  if (removals == 1) note += "; " + removed + " was removed, as that run had created it";
  if (removals > 1) note += "; " + removed + " were removed, as that run had created them";
  return {note};
}

TEST_F(ReportAppend, AJournalThatCannotBeRemovedAfterTheAppendTakesTheSectionsBackOut) {
  // Catches a run that says it succeeded while leaving its journal, from which the next run
  // would take its sections out again. Only the first remove fails, as a share may briefly.
  const Files before = prepare(0xFF);
  std::string error;
  EXPECT_FALSE(append(Fault::kRemove, 1, &error));
  EXPECT_EQ(injected_file_, kAppendJournalName);
  EXPECT_EQ(error, std::string(kAppendJournalName) + ": cannot remove the append journal: " +
                       testing::FaultyFileSystem::kReason + "; no report file was changed");
  EXPECT_TRUE(folder_.snapshot() == before);
}

TEST_F(ReportAppend, ARunKilledAtAnyCallIsPutBackByTheNextOne) {
  int kill_points = 0;
  for (const unsigned existing : kStarts) {
    prepare(existing);
    const int calls = killed_append(short_sections("a clean run"), 0).calls;
    for (int k = 1; k <= calls; ++k) {
      SCOPED_TRACE("files existing " + std::to_string(existing) + ", killed at call " +
                   std::to_string(k));
      const Files before = prepare(existing);
      killed_append(short_sections("the killed run"), k);
      ++kill_points;
      const Files left = folder_.snapshot();
      const Outcome next = killed_append(short_sections("the next run"), 0);
      EXPECT_TRUE(next.ok) << next.error;
      // Catches a repair that misses a file, cuts one short, or leaves the killed run's text.
      EXPECT_TRUE(folder_.snapshot() == appended(before, short_sections("the next run")));
      // Catches a repair that is silent, or names files it did not have to touch.
      EXPECT_EQ(next.notes, owed_notes(before, left));
    }
  }
  std::cout << "kill points: " << kill_points << '\n';
  RecordProperty("kill_points", kill_points);
}

TEST_F(ReportAppend, ARunKilledWhileRepairingLeavesTheRepairToTheNextOne) {
  // Catches a repair that is not safe to repeat, or a journal removed before the files are back:
  // the killed run dies at each of its calls and the repairing run at each of its own.
  const unsigned existing = 0x55;  // files both cut back and removed
  prepare(existing);
  const int calls = killed_append(short_sections("a clean run"), 0).calls;
  for (int k = 1; k <= calls; ++k) {
    prepare(existing);
    killed_append(short_sections("the killed run"), k);
    const int repairing_calls = killed_append(short_sections("the repairing run"), 0).calls;
    for (int j = 1; j <= repairing_calls; ++j) {
      SCOPED_TRACE("killed at call " + std::to_string(k) + ", then at call " + std::to_string(j));
      const Files before = prepare(existing);
      killed_append(short_sections("the killed run"), k);
      killed_append(short_sections("the repairing run"), j);
      EXPECT_TRUE(killed_append(short_sections("the last run"), 0).ok);
      ASSERT_TRUE(folder_.snapshot() == appended(before, short_sections("the last run")));
    }
  }
}

TEST_F(ReportAppend, AJournalNamingAFileThatIsNoReportIsNotObeyed) {
  // Catches a repair that cuts back whatever a journal names, such as the study's data.
  const Files before = prepare(0xFF);
  folder_.write("study.txt", "the study's data");
  folder_.write(kAppendJournalName, journal_text({{"study.txt", 3, false},
                                                  {"../study.txt", 3, false},
                                                  {before.begin()->first, 3, false}}));
  const Outcome next = killed_append(sections(), 0);
  EXPECT_TRUE(next.ok) << next.error;
  EXPECT_TRUE(next.notes.empty());
  Files expected = appended(before);
  expected["study.txt"] = "the study's data";
  EXPECT_TRUE(folder_.snapshot() == expected);
}

TEST(AppendJournal, AnExportFileIsObeyedOnlyAsCreated) {
  // Catches a killed run's export file left behind, or a journal that could cut any CSV file.
  const std::vector<JournalEntry> created = {{"out/pilot-sets.csv", 0, true}};
  EXPECT_EQ(parse_journal(journal_text(created)), created);
  EXPECT_FALSE(parse_journal(journal_text({{"out/pilot-sets.csv", 10, false}})));
}

TEST(AppendJournal, AJournalCutShortAnywhereIsNotObeyed) {
  // A run killed while writing its journal has touched no report: obeying what it managed to
  // write, such as a size cut after its first digits, would cut a report wrongly.
  const std::vector<JournalEntry> entries = {{"NG-1-Representative-MV-DIST.txt", 12345, false},
                                             {"NG-7-Cumulative.txt", 0, true}};
  const std::string text = journal_text(entries);
  EXPECT_EQ(parse_journal(text), entries);
  for (std::size_t size = 0; size < text.size(); ++size) {
    EXPECT_FALSE(parse_journal(text.substr(0, size))) << "obeyed when cut to " << size;
  }
}

}  // namespace
}  // namespace quorvane
