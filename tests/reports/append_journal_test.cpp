// A run killed at every call of its append, on the real file system of a temporary folder: the
// next append puts every file back from the journal, says which, and appends its own sections.
#include "reports/append_journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/system_file_system.h"
#include "programs/triads_edition.h"
#include "reports/report_append.h"
#include "tests/support/faulty_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

namespace quorvane {
namespace {

using Fault = testing::FaultyFileSystem::Fault;
using Files = std::map<std::string, std::string>;

// Which report files exist before the killed run, bit i for file i + 1, so that files are both
// cut back and removed, before and after the call the run dies at.
constexpr unsigned kStarts[] = {0x00, 0xFF, 0x55, 0xAA};

// The eight report names with short texts of one run: the append does not look at the texts,
// and short ones keep hundreds of killed runs quick.
ReportSections sections_of(const std::string& run) {
  ReportSections sections = ReportFiles(kTriadsEdition).sections();
  for (std::size_t i = 0; i < sections.size(); ++i) {
    sections[i].text = "\n" + run + "'s section of file " + std::to_string(i + 1);
  }
  return sections;
}

std::string joined(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text;
}

// The note the repair owes: the files the killed run lengthened are cut back, those it created
// are removed, as seen by comparing the folder before it with the folder it left.
std::vector<std::string> owed_notes(const Files& before, const Files& left) {
  std::vector<std::string> cut;
  std::vector<std::string> removed;
  for (const auto& [name, text] : left) {
    if (name == kAppendJournalName) continue;
    const auto found = before.find(name);
    if (found == before.end()) {
      removed.push_back(name);
    } else if (text.size() > found->second.size()) {
      cut.push_back(name);
    }
  }
  if (cut.empty() && removed.empty()) return {};
  std::string note = "a run in this folder stopped while writing its reports";
  if (cut.size() == 1) note += "; " + cut[0] + " was cut back to its earlier end";
  if (cut.size() > 1) note += "; " + joined(cut) + " were cut back to their earlier ends";
  if (removed.size() == 1) note += "; " + removed[0] + " was removed, as that run had created it";
  if (removed.size() > 1) {
    note += "; " + joined(removed) + " were removed, as that run had created them";
  }
  return {note};
}

class KilledAppend : public ::testing::Test {
 protected:
  struct Outcome {
    bool killed = false;
    bool ok = false;
    std::string error;
    std::vector<std::string> notes;
    int calls = 0;
  };

  // Empties the folder and writes the report files that `existing` says exist.
  Files prepare(unsigned existing) {
    for (const auto& [name, text] : folder_.snapshot()) std::remove(folder_.file(name).c_str());
    const ReportSections names = sections_of("");
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (existing & (1u << i)) folder_.write(names[i].file_name, "\nan earlier run's text");
    }
    return folder_.snapshot();
  }

  // One append of `run`'s sections, killed at its k-th call (never when k is 0). The system's
  // file system, going, releases the lock and the signals as the end of the process would.
  Outcome append(const std::string& run, int k) {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, k > 0 ? Fault::kKill : Fault::kNone, k);
    Outcome outcome;
    try {
      outcome.ok = append_reports(
          files, sections_of(run),
          [&](const std::string& note) { outcome.notes.push_back(note); }, &outcome.error);
    } catch (const testing::FaultyFileSystem::Killed&) {
      outcome.killed = true;
    }
    outcome.calls = files.all_calls();
    return outcome;
  }

  static Files appended(Files files, const std::string& run) {
    for (const ReportSection& section : sections_of(run)) files[section.file_name] += section.text;
    return files;
  }

  testing::TempFolder folder_;
};

TEST_F(KilledAppend, ARunKilledAtAnyCallIsPutBackByTheNextOne) {
  int kill_points = 0;
  int repairs = 0;
  for (const unsigned existing : kStarts) {
    prepare(existing);
    const int calls = append("the clean run", 0).calls;
    for (int k = 1; k <= calls; ++k) {
      SCOPED_TRACE("files existing " + std::to_string(existing) + ", killed at call " +
                   std::to_string(k));
      const Files before = prepare(existing);
      ASSERT_TRUE(append("the killed run", k).killed);
      ++kill_points;
      const Files left = folder_.snapshot();
      const Outcome next = append("the next run", 0);
      EXPECT_TRUE(next.ok) << next.error;
      // Catches a repair that misses a file, cuts one short, or leaves the killed run's text.
      EXPECT_TRUE(folder_.snapshot() == appended(before, "the next run"))
          << "the killed run's text, or a file it created, is left";
      // Catches a repair that is silent, or names files it did not have to touch.
      EXPECT_EQ(next.notes, owed_notes(before, left));
      repairs += next.notes.empty() ? 0 : 1;
    }
  }
  std::cout << "kill points: " << kill_points << ", repairs noted: " << repairs << '\n';
  RecordProperty("kill_points", kill_points);
}

TEST_F(KilledAppend, ARunKilledWhileRepairingLeavesTheRepairToTheNextOne) {
  // Files cut back and removed alike, the killed run dying at each of its calls and the
  // repairing run at each of its own.
  const unsigned existing = 0x55;
  prepare(existing);
  const int calls = append("the clean run", 0).calls;
  for (int k = 1; k <= calls; ++k) {
    prepare(existing);
    append("the killed run", k);
    const int repairing_calls = append("the repairing run", 0).calls;
    for (int j = 1; j <= repairing_calls; ++j) {
      SCOPED_TRACE("killed at call " + std::to_string(k) + ", then at call " + std::to_string(j));
      const Files before = prepare(existing);
      append("the killed run", k);
      append("the repairing run", j);
      const Outcome last = append("the last run", 0);
      EXPECT_TRUE(last.ok) << last.error;
      // Catches a repair that is not safe to repeat, or a journal removed before the files
      // are back.
      ASSERT_TRUE(folder_.snapshot() == appended(before, "the last run"));
    }
  }
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

TEST_F(KilledAppend, AJournalNamingAFileThatIsNoReportIsNotObeyed) {
  // Catches a repair that cuts back whatever a journal names, such as the study's data.
  const Files before = prepare(0xFF);
  folder_.write("study.txt", "the study's data");
  folder_.write(kAppendJournalName, journal_text({{"study.txt", 3, false},
                                                  {"../study.txt", 3, false},
                                                  {before.begin()->first, 3, false}}));
  const Outcome next = append("the next run", 0);
  EXPECT_TRUE(next.ok) << next.error;
  EXPECT_TRUE(next.notes.empty());
  EXPECT_EQ(folder_.read("study.txt"), "the study's data");
  Files expected = appended(before, "the next run");
  expected["study.txt"] = "the study's data";
  EXPECT_TRUE(folder_.snapshot() == expected);
}

}  // namespace
}  // namespace quorvane
