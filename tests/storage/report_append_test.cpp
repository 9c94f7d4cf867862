// The all-or-nothing append on the real file system of a temporary folder, with a fault injected
// at every call where the system could fail, or the run killed there and the next append
// repairing from the journal.
#include "storage/report_append.h"

#include <gtest/gtest.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "platform/system_file_system.h"
#include "programs/run_driver.h"
#include "reports/export_files.h"
#include "simulation/nominal_group_run.h"
#include "storage/append_journal.h"
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
using Texts = std::vector<AppendedText>;

// Which report files exist before the append, bit i for file i + 1: none, all, and the two
// alternations, so that files are both cut back and removed, before and after the one at fault.
constexpr unsigned kStarts[] = {0x00, 0xFF, 0x55, 0xAA};

const Texts& sections() {
  static const Texts run = [] {
    Texts texts;
    for (const NamedText& section :
         testing::sections_of_run(kTriadsEdition, testing::small_study_responses(), 12, 6, 1)) {
      texts.push_back({section.file_name, section.text});
    }
    return texts;
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
  // Empties the folder (files, links and folders) and writes the report files that `existing`
  // says exist.
  Files prepare(unsigned existing) {
    for (const auto& entry : std::filesystem::directory_iterator(folder_.path())) {
      std::error_code ignored;
      std::filesystem::remove_all(entry.path(), ignored);
    }
    for (std::size_t i = 0; i < sections().size(); ++i) {
      if (existing & (1u << i)) {
        folder_.write(sections()[i].file_name, testing::earlier_runs_text(sections()[i].file_name));
      }
    }
    return folder_.snapshot();
  }

  static Files appended(const Files& before, const Texts& run = sections()) {
    Files after = before;
    for (const AppendedText& section : run) after[section.file_name] += section.text;
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
  Outcome killed_append(const Texts& run, int k) {
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, k > 0 ? Fault::kKill : Fault::kNone, k);
    Outcome outcome;
    try {
      outcome.ok = append_reports(
          files, append_scope(), run, {},
          [&](const std::string& note) { outcome.notes.push_back(note); }, &outcome.error);
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
        files, append_scope(), sections(), {},
        [](const std::string& note) { ADD_FAILURE() << note; }, error);
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
        files, append_scope(), sections(), {}, [](const std::string&) {}, &error));
  }
  EXPECT_EQ(error.rfind(sections()[7].file_name + ": cannot write the report: injected fault", 0),
            0u)
      << error;
  EXPECT_EQ(error.find("no report file was changed"), std::string::npos) << error;
  for (const AppendedText& section : sections()) {
    EXPECT_NE(error.find(section.file_name + " could not be restored: injected fault"),
              std::string::npos)
        << error;
  }
}

// The eight report names with short texts of one run: the append does not look at the texts,
// and short ones keep thousands of killed appends quick.
Texts short_sections(const std::string& run) {
  Texts short_run = sections();
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
  // the killed run dies at each of its calls and the repairing run at each call of its repair
  // and the first of its own append (its later calls are those of a run killed at any call).
  const unsigned existing = 0x55;  // files both cut back and removed
  prepare(existing);
  const int calls = killed_append(short_sections("a clean run"), 0).calls;
  for (int k = 1; k <= calls; ++k) {
    prepare(existing);
    killed_append(short_sections("the killed run"), k);
    const int repairing_calls = killed_append(short_sections("the repairing run"), 0).calls;
    for (int j = 1; j <= repairing_calls - calls + 1; ++j) {
      SCOPED_TRACE("killed at call " + std::to_string(k) + ", then at call " + std::to_string(j));
      const Files before = prepare(existing);
      killed_append(short_sections("the killed run"), k);
      killed_append(short_sections("the repairing run"), j);
      EXPECT_TRUE(killed_append(short_sections("the last run"), 0).ok);
      ASSERT_TRUE(folder_.snapshot() == appended(before, short_sections("the last run")));
    }
  }
}

// What a planted or damaged journal must lead to.
enum class Expected {
  kRepaired,  // the killed run's text taken out, with the note, and the next run's written
  kRemoved,   // a journal cut short removed without a word, the next run's text written
  kSetAside,  // the journal moved aside, every file left as it was, and one line
  kRefused,   // nothing moved or changed, and one line saying what to move
};

// The folder a killed run left, and the folder elsewhere whose files no repair may touch.
struct Planted {
  testing::TempFolder& here;
  testing::TempFolder& elsewhere;
  Journal journal;  // the killed run's journal
  Files before;     // the reports before the killed run
};

struct PlantedCase {
  const char* what;
  std::function<void(Planted&)> plant;
  Expected expected;
  std::string named;  // the file the line starts with
  std::string set_aside = "NG-0-Append-Journal-set-aside-1.txt";
  bool needs_links = false;  // symbolic links or owners of files: POSIX systems only
};

const std::string& report(int number) {
  return sections()[static_cast<std::size_t>(number - 1)].file_name;
}

void rewrite_journal(Planted& planted) {
  planted.here.write(kAppendJournalName, journal_text(planted.journal));
}

JournalEntry created_entry(const std::string& name) {
  JournalEntry entry;
  entry.file_name = name;
  entry.created = true;
  entry.length = 10;
  entry.first_bytes = "0123456789";
  entry.blocks = block_checksums(entry.first_bytes, 0);
  return entry;
}

void make_link(const std::string& target, const std::string& link) {
#if defined(_WIN32)
  (void)target;
  (void)link;
#else
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0) << link;
#endif
}

void chmod_file(const std::string& name, int mode) {
#if defined(_WIN32)
  (void)name;
  (void)mode;
#else
  ASSERT_EQ(chmod(name.c_str(), static_cast<mode_t>(mode)), 0) << name;
#endif
}

// Makes another user own the file: as root, nobody; otherwise a file no other user can make is
// at least one that others can write.
void give_away(const std::string& name) {
#if defined(_WIN32)
  (void)name;
#else
  if (geteuid() != 0 || chown(name.c_str(), 65534, 65534) != 0) chmod_file(name, 0622);
#endif
}

std::string folder_name(const testing::TempFolder& folder) {
  return std::filesystem::path(folder.path()).filename().string();
}

// The killed run's sections, longer than the bytes a journal keeps of them.
const Texts& killed_sections() {
  static const Texts texts = [] {
    Texts longer = short_sections("the killed run");
    // Over two pages, so that a run killed while writing one leaves part of it.
    for (AppendedText& text : longer) text.text += std::string(3 * kChecksumBlock, '.');
    return longer;
  }();
  return texts;
}

// Reports 1, 3, 5 and 7 exist; the killed run created 2, 4, 6 and 8 (all open once it writes),
// wrote all of report 1 and stopped half-way through report 2.
const std::vector<PlantedCase>& planted_cases() {
  static const std::vector<PlantedCase> cases = {
      // Catches a repair that no longer puts back what a killed run left.
      {"the journal as the killed run left it", [](Planted&) {}, Expected::kRepaired, ""},
      // Catches CR LF line ends (an editor's) refused, so that the killed run's text stayed.
      {"line ends changed to CR LF",
       [](Planted& p) {
         std::string text;
         for (const char c : journal_text(p.journal))
           text += c == '\n' ? "\r\n" : std::string(1, c);
         p.here.write(kAppendJournalName, text);
       },
       Expected::kRepaired, ""},
      // Catches a journal cut short that stops every later run, or one that is obeyed.
      {"a journal cut short before the run touched a report",
       [](Planted& p) {
         for (const auto& entry : std::filesystem::directory_iterator(p.here.path())) {
           const std::string name = entry.path().filename().string();
           if (name == kAppendJournalName) continue;
           const auto found = p.before.find(name);
           if (found == p.before.end()) std::filesystem::remove(entry.path());
           if (found != p.before.end()) p.here.write(name, found->second);
         }
         const std::string text = journal_text(p.journal);
         p.here.write(kAppendJournalName, text.substr(0, text.size() / 2));
       },
       Expected::kRemoved, ""},
      // Catches a damaged journal removed without a word, leaving the killed run's text.
      {"garbage", [](Planted& p) { p.here.write(kAppendJournalName, "garbage\n"); },
       Expected::kSetAside, kAppendJournalName},
      // Catches a set-aside journal written over an earlier one.
      {"garbage, with a journal set aside before",
       [](Planted& p) {
         p.here.write(kAppendJournalName, "garbage\n");
         p.here.write("NG-0-Append-Journal-set-aside-1.txt", "set aside before\n");
       },
       Expected::kSetAside, kAppendJournalName, "NG-0-Append-Journal-set-aside-2.txt"},
      // Catches a created file deleted outside the folder through `..`.
      {"a created entry ../x.svg",
       [](Planted& p) {
         p.journal.entries.push_back(
             created_entry("../" + folder_name(p.elsewhere) + "/thesis.svg"));
         rewrite_journal(p);
       },
       Expected::kSetAside, kAppendJournalName},
      // Catches a created file deleted anywhere by an absolute path.
      {"a created entry with an absolute path",
       [](Planted& p) {
         p.journal.entries.push_back(created_entry(p.elsewhere.file("thesis.svg")));
         rewrite_journal(p);
       },
       Expected::kSetAside, kAppendJournalName},
      // Catches a user's own NG- file emptied because its name starts as a report's.
      {"a kept entry for NG-my-notes.txt",
       [](Planted& p) {
         p.here.write("NG-my-notes.txt", "my notes\n");
         JournalEntry entry = p.journal.entries.front();
         entry.file_name = "NG-my-notes.txt";
         p.journal.entries.push_back(entry);
         rewrite_journal(p);
       },
       Expected::kSetAside, kAppendJournalName},
      // Catches two entries for one file both obeyed, cutting an earlier run's section.
      {"two entries for one report",
       [](Planted& p) {
         p.journal.entries.push_back(p.journal.entries.front());
         rewrite_journal(p);
       },
       Expected::kSetAside, kAppendJournalName},
      // Catches a folder separator in a report's name obeyed.
      {"a report name with a folder",
       [](Planted& p) {
         p.journal.entries.front().file_name = "sub/" + p.journal.entries.front().file_name;
         rewrite_journal(p);
       },
       Expected::kSetAside, kAppendJournalName},
      // Catches a user's line after the killed run's text cut short taken for that run's text,
      // as when only its first bytes were compared.
      {"a line added after a report cut short",
       [](Planted& p) { p.here.write(report(2), p.here.read(report(2)) + "my line\n"); },
       Expected::kSetAside, report(2)},
      // Catches a journal that others can write, or another user's, obeyed.
      {"the journal writable by others",
       [](Planted& p) { chmod_file(p.here.file(kAppendJournalName), 0666); }, Expected::kSetAside,
       kAppendJournalName, "NG-0-Append-Journal-set-aside-1.txt", true},
      {"the journal another user's", [](Planted& p) { give_away(p.here.file(kAppendJournalName)); },
       Expected::kSetAside, kAppendJournalName, "NG-0-Append-Journal-set-aside-1.txt", true},
      // Catches notes added to a report after the crash cut away with the killed run's text.
      {"notes appended to a report",
       [](Planted& p) { p.here.write(report(1), p.here.read(report(1)) + "my notes\n"); },
       Expected::kSetAside, report(1)},
      // Catches a report replaced by another file (a backup moved in) cut back.
      {"a report replaced by another file",
       [](Planted& p) {
         p.here.write("backup", p.here.read(report(1)));
         std::filesystem::rename(p.here.file("backup"), p.here.file(report(1)));
       },
       Expected::kSetAside, report(1)},
      // Catches the bytes before the run's text not checked: an earlier section edited.
      {"an earlier section edited",
       [](Planted& p) {
         std::string text = p.here.read(report(1));
         text[p.before.at(report(1)).size() - 1] = '!';
         std::fstream out(p.here.file(report(1)), std::ios::in | std::ios::out | std::ios::binary);
         out.write(text.data(), static_cast<std::streamsize>(text.size()));
       },
       Expected::kSetAside, report(1)},
      // Catches a backup restored at a name the killed run created deleted.
      {"a backup restored at a created name",
       [](Planted& p) { p.here.write(report(4), "a backup of report 4\n"); }, Expected::kSetAside,
       report(4)},
      // Catches a created file of the run's length taken for the run's own by its first bytes.
      {"a created name holding other text after the run's first bytes",
       [](Planted& p) {
         std::string text = killed_sections()[3].text;
         text.back() = '!';
         p.here.write(report(4), text);
       },
       Expected::kSetAside, report(4)},
      // Catches a folder at a created name making every later run fail.
      {"a folder at a created name",
       [](Planted& p) {
         std::filesystem::remove(p.here.file(report(4)));
         std::filesystem::create_directory(p.here.file(report(4)));
       },
       Expected::kSetAside, report(4)},
      // Catches the journal's name taken by a folder read as a journal, or said without what to
      // do.
      {"a folder at the journal's name",
       [](Planted& p) {
         std::filesystem::remove(p.here.file(kAppendJournalName));
         std::filesystem::create_directory(p.here.file(kAppendJournalName));
       },
       Expected::kRefused, kAppendJournalName},
      // Catches a truncation that follows a link to the report's own file, now elsewhere.
      {"a report moved elsewhere, a link to it in its place",
       [](Planted& p) {
         // The same file (one temporary folder's disk), so that only the link tells.
         std::filesystem::rename(p.here.file(report(1)), p.elsewhere.file("moved.txt"));
         make_link(p.elsewhere.file("moved.txt"), p.here.file(report(1)));
       },
       Expected::kSetAside, report(1), "NG-0-Append-Journal-set-aside-1.txt", true},
      // Catches a journal that is a link obeyed, or its target moved.
      {"the journal a link to a file elsewhere",
       [](Planted& p) {
         p.elsewhere.write("journal.txt", p.here.read(kAppendJournalName));
         std::filesystem::remove(p.here.file(kAppendJournalName));
         make_link(p.elsewhere.file("journal.txt"), p.here.file(kAppendJournalName));
       },
       Expected::kSetAside, kAppendJournalName, "NG-0-Append-Journal-set-aside-1.txt", true},
      // The first attack of the report: an older journal deleting and emptying files elsewhere.
      {"an old journal naming a link and a file elsewhere",
       [](Planted& p) {
         p.elsewhere.write("notes.txt", "my notes\n");
         make_link(p.elsewhere.file("notes.txt"), p.here.file("NG-x"));
         p.here.write(kAppendJournalName,
                      "Quorvane report append journal 1\nA run is writing its reports in this "
                      "folder, or stopped while writing them; the next run puts them back.\n2\n0 "
                      "created " +
                          p.elsewhere.file("thesis.svg") + "\n0 kept NG-x\nend\n");
       },
       Expected::kSetAside, kAppendJournalName, "NG-0-Append-Journal-set-aside-1.txt", true},
  };
  return cases;
}

TEST_F(ReportAppend, APlantedOrDamagedJournalNeverTouchesAFileItsRunDidNotWrite) {
  const unsigned existing = 0x55;
  // The kill point: report 1 written whole, report 2 half.
  int kill_at = 0;
  for (int k = 1; kill_at == 0 && k < 200; ++k) {
    const Files before = prepare(existing);
    killed_append(killed_sections(), k);
    const std::string left = folder_.read(report(2));
    if (left.size() > 0 && left.size() < killed_sections()[1].text.size()) kill_at = k;
  }
  ASSERT_NE(kill_at, 0);
  for (const PlantedCase& planted_case : planted_cases()) {
#if defined(_WIN32)
    if (planted_case.needs_links) continue;
#endif
    SCOPED_TRACE(planted_case.what);
    testing::TempFolder elsewhere;
    elsewhere.write("thesis.svg", "a thesis's picture");
    const Files before = prepare(existing);
    killed_append(killed_sections(), kill_at);
    const ParsedJournal journal = parse_journal(folder_.read(kAppendJournalName), append_scope());
    ASSERT_EQ(journal.kind, ParsedJournal::Kind::kWhole);
    Planted planted{folder_, elsewhere, journal.journal, before};
    planted_case.plant(planted);
    const Files planted_files = folder_.snapshot();
    const Files elsewhere_files = elsewhere.snapshot();

    const Outcome next = killed_append(short_sections("the next run"), 0);
    EXPECT_TRUE(elsewhere.snapshot() == elsewhere_files) << "a file elsewhere was changed";
    switch (planted_case.expected) {
      case Expected::kRepaired:
        EXPECT_TRUE(next.ok) << next.error;
        EXPECT_TRUE(folder_.snapshot() == appended(before, short_sections("the next run")));
        EXPECT_EQ(next.notes.size(), 1u);
        break;
      case Expected::kRemoved:
        EXPECT_TRUE(next.ok) << next.error;
        EXPECT_TRUE(folder_.snapshot() == appended(before, short_sections("the next run")));
        EXPECT_TRUE(next.notes.empty());
        break;
      case Expected::kRefused:
        EXPECT_FALSE(next.ok);
        EXPECT_EQ(next.error, std::string(kAppendJournalName) +
                                  ": this name is kept for the journal of the report appends but "
                                  "is taken by something that is not a plain file (a folder, "
                                  "device or broken link); move it out of the working folder and "
                                  "run again; no report file was changed");
        EXPECT_TRUE(folder_.snapshot() == planted_files);
        std::filesystem::remove(folder_.file(kAppendJournalName));
        EXPECT_TRUE(killed_append(short_sections("the run after"), 0).ok);
        break;
      case Expected::kSetAside: {
        EXPECT_FALSE(next.ok);
        EXPECT_EQ(next.error.rfind(planted_case.named + ": ", 0), 0u) << next.error;
        EXPECT_NE(next.error.find("moved to " + planted_case.set_aside), std::string::npos)
            << next.error;
        EXPECT_NE(next.error.find("no report file was changed"), std::string::npos) << next.error;
        // Every file as the user left it, the journal under its new name.
        Files expected = planted_files;
        const auto journal_left = expected.find(kAppendJournalName);
        if (journal_left != expected.end()) {
          expected[planted_case.set_aside] = journal_left->second;
          expected.erase(journal_left);
        }
        Files found = folder_.snapshot();
        EXPECT_TRUE(found == expected) << "a file was changed, created or removed";
        // The next run in the folder then works, once what the line names is moved away.
        std::error_code ignored;
        if (std::filesystem::is_directory(folder_.file(report(4)))) {
          std::filesystem::remove(folder_.file(report(4)), ignored);
        }
        for (const std::string& name : {report(1), report(4)}) {
          if (std::filesystem::is_symlink(folder_.file(name)))
            std::filesystem::remove(folder_.file(name));
        }
        const Outcome after = killed_append(short_sections("the run after"), 0);
        EXPECT_TRUE(after.ok) << after.error;
        EXPECT_TRUE(after.notes.empty());
        break;
      }
    }
  }
}

// Another program acts on a report between the append's check of it and its opening, or between
// its write and the putting back: the run acts on no file but the one it checked, and on nothing
// elsewhere. Catches an open or a cut by name that takes what the name leads to then, a size or an
// identity not compared with the one checked, and a rollback that cuts back a line another
// program added to a report while this run wrote to it (as a run in another folder sharing the
// file would) and then says that no report file was changed.
TEST_F(ReportAppend, AFileChangedBetweenCheckAndActIsLeftAsTheOtherProgramLeftIt) {
  const std::string other_line = "\nanother program's line";
  const std::string elsewhere_text = "a thesis";
  using Change = std::function<void(testing::TempFolder & folder, const std::string& name,
                                    const std::string& elsewhere)>;
  const Change copy_moved_in = [](testing::TempFolder& folder, const std::string& name,
                                  const std::string&) {
    folder.write("copy", folder.read(name));
    std::filesystem::rename(folder.file("copy"), folder.file(name));
  };
  const Change line_added = [&](testing::TempFolder& folder, const std::string& name,
                                const std::string&) {
    folder.write(name, folder.read(name) + other_line);
  };
  const struct {
    const char* what;
    Fault fault;  // kNone: the change comes before the file is opened; kWrite: as report 3's fails
    std::string file;
    Change change;
    std::string said;           // after the file's name in the error
    Call before = Call::kOpen;  // with kNone: the first such call on the file
  } cases[] = {
    {"another file of the same size moved in", Fault::kNone, report(3), copy_moved_in, ""},
    {"another file moved in as the end is checked", Fault::kNone, report(3), copy_moved_in,
     ": cannot check the report", Call::kRead},
    {"a line added by another program", Fault::kNone, report(3), line_added, ""},
    {"a line added as the run writes", Fault::kWrite, report(3), line_added,
     ": cannot write the report: injected fault; " + report(3) +
         " was left as it is, as another program wrote to it at the same time: look at its end "
         "and take out this run's section cut short"},
#if !defined(_WIN32)
    {"a link to a file elsewhere moved in", Fault::kNone, report(3),
     [](testing::TempFolder& folder, const std::string& name, const std::string& elsewhere) {
       std::filesystem::remove(folder.file(name));
       std::filesystem::create_symlink(elsewhere, folder.file(name));
     },
     ""},
    // Report 2, written whole, is replaced by a copy of itself as report 3's write fails. (On
    // Windows the run holds the reports it opened without delete sharing: none can be replaced.)
    {"a written report replaced by its copy before the rollback", Fault::kWrite, report(2),
     copy_moved_in, ""},
#endif
  };
  for (const auto& one : cases) {
    SCOPED_TRACE(one.what);
    const Files before = prepare(0xFF);
    testing::TempFolder elsewhere;
    elsewhere.write("thesis.txt", elsewhere_text);
    const std::string outside = elsewhere.file("thesis.txt");
    std::string error;
    Files expected;
    {
      testing::WorkingFolder here(folder_.path());
      const auto system = make_system_file_system();
      // The 4th write: the journal's, then reports 1 and 2, then report 3.
      testing::FaultyFileSystem files(*system, one.fault, one.fault == Fault::kNone ? 0 : 4);
      bool changed = false;
      const auto change = [&] {
        changed = true;
        one.change(folder_, one.file, outside);
        expected = before;
        expected[one.file] = folder_.read(one.file);
      };
      if (one.fault == Fault::kNone) {
        files.before_each_call([&](Call call, const std::string& name) {
          if (call == one.before && name == one.file && !changed) change();
        });
      } else {
        files.at_fault([&](const std::string&) { change(); });
      }
      EXPECT_FALSE(append_reports(
          files, append_scope(), short_sections("this run"), {}, [](const std::string&) {},
          &error));
      ASSERT_TRUE(changed);
    }
    EXPECT_NE(error.find(one.file + one.said), std::string::npos) << error;
    EXPECT_EQ(elsewhere.read("thesis.txt"), elsewhere_text);
    // Every report as it was before the run, the one changed as the other program left it.
    EXPECT_TRUE(folder_.snapshot() == expected) << error;
  }
}

// Catches a repair that cannot put a file back, or remove its journal, said without telling
// whether anything changed and that the next run will try again; and a journal dropped then.
TEST_F(ReportAppend, ARepairThatCannotFinishSaysSoAndLeavesTheJournalForTheNextRun) {
  const std::string journal_failure =
      std::string(kAppendJournalName) + ": cannot remove the append journal: injected fault";
  const std::string tried_again =
      "; this run wrote nothing, and the next run will try again: fix what the system says, or "
      "move that file out of the working folder";
  const struct {
    const char* what;
    bool touched;  // the killed run had changed a report
    Fault fault;
    std::string error;
  } cases[] = {
      {"a report that cannot be cut back", true, Fault::kNone,
       report(1) + ": cannot put back the report of a run that stopped while writing it: " +
           testing::FaultyFileSystem::kReason + tried_again},
      {"the journal not removed after the repair", true, Fault::kRemove,
       journal_failure + tried_again},
      {"a journal cut short not removed", false, Fault::kRemove,
       journal_failure + "; no report file was changed"},
  };
  for (const auto& repair : cases) {
    SCOPED_TRACE(repair.what);
    const Files before = prepare(0xFF);
    if (repair.touched) {
      // Killed once report 1 is written, before report 2 is.
      for (int k = 1; folder_.read(report(1)) == before.at(report(1)); ++k) {
        prepare(0xFF);
        killed_append(short_sections("the killed run"), k);
      }
    } else {
      folder_.write(kAppendJournalName, "Quorvane report append jour");
    }
    const Files left = folder_.snapshot();
    std::string error;
    {
      testing::WorkingFolder here(folder_.path());
      const auto system = make_system_file_system();
      testing::FaultyFileSystem files(*system, repair.fault, 1);
      if (repair.fault == Fault::kNone) files.fail_restoring();
      EXPECT_FALSE(append_reports(
          files, append_scope(), short_sections("the next run"), {}, [](const std::string&) {},
          &error));
    }
    EXPECT_EQ(error, repair.error);
    EXPECT_EQ(folder_.snapshot().count(kAppendJournalName), 1u) << "the journal was dropped";
    if (!repair.touched) {
      EXPECT_TRUE(folder_.snapshot() == left);
    }
    // The next run finishes the repair.
    const Outcome next = killed_append(short_sections("the next run"), 0);
    EXPECT_TRUE(next.ok) << next.error;
    EXPECT_TRUE(folder_.snapshot() == appended(before, short_sections("the next run")));
  }
}

// Catches a set-aside journal written over an earlier one when every name is taken, or a line
// that does not say so and what to remove.
TEST_F(ReportAppend, WithEverySetAsideNameTakenTheLineSaysWhatToRemove) {
  prepare(0xFF);
  folder_.write(kAppendJournalName, "garbage\n");
  for (int i = 1; i <= 999; ++i) {
    folder_.write("NG-0-Append-Journal-set-aside-" + std::to_string(i) + ".txt", "earlier\n");
  }
  const Files before = folder_.snapshot();
  const Outcome next = killed_append(short_sections("the next run"), 0);
  EXPECT_FALSE(next.ok);
  EXPECT_EQ(next.error, std::string(kAppendJournalName) +
                            ": cannot move the append journal aside, as every name from "
                            "NG-0-Append-Journal-set-aside-1.txt to "
                            "NG-0-Append-Journal-set-aside-999.txt is taken; move those files out "
                            "of the working folder (or delete them once read), look at the end of "
                            "each report for a section cut short, and run again; no report file "
                            "was changed");
  EXPECT_TRUE(folder_.snapshot() == before);
}

// Catches an export's files removed in whatever folder now has the export folder's name (a link
// to another folder put in its place): the repair must find the folder the run wrote in.
TEST_F(ReportAppend, AnExportFolderReplacedSinceTheKilledRunIsNotEntered) {
#if !defined(_WIN32)
  testing::TempFolder elsewhere;
  const auto exported = [](const std::string& name) {
    Texts files;
    for (const std::string& file : export_file_names("out/" + name)) {
      files.push_back({file, name + " export of " + file + "\n"});
    }
    return files;
  };
  prepare(0xFF);
  std::filesystem::create_directory(folder_.file("out"));
  // Killed after creating its export's files, before writing them all.
  for (int k = 1; !std::filesystem::exists(folder_.file("out/pilot.svg")); ++k) {
    ASSERT_LT(k, 100);
    prepare(0xFF);
    std::filesystem::create_directory(folder_.file("out"));
    testing::WorkingFolder here(folder_.path());
    const auto system = make_system_file_system();
    testing::FaultyFileSystem files(*system, Fault::kKill, k);
    try {
      std::string error;
      append_reports(
          files, append_scope(), short_sections("the killed run"), exported("pilot"),
          [](const std::string&) {}, &error);
    } catch (const testing::FaultyFileSystem::Killed&) {
    }
  }
  for (const std::string& file : export_file_names("pilot")) {
    elsewhere.write(file, "the user's own " + file);
  }
  std::filesystem::rename(folder_.file("out"), folder_.file("out-old"));
  make_link(elsewhere.path(), folder_.file("out"));
  const Files elsewhere_before = elsewhere.snapshot();
  const Outcome next = killed_append(short_sections("the next run"), 0);
  EXPECT_FALSE(next.ok);
  EXPECT_EQ(next.error.rfind("out/: a run stopped while writing its export in this folder, but the "
                             "name now leads to another folder",
                             0),
            0u)
      << next.error;
  EXPECT_TRUE(elsewhere.snapshot() == elsewhere_before) << "a file elsewhere was changed";
#endif
}

}  // namespace
}  // namespace quorvane
