// The journal's text: only what an append writes is obeyed, every entry a file the run itself
// writes in its folder; a journal cut short is known as such.
#include "storage/append_journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "programs/run_driver.h"

namespace quorvane {
namespace {

JournalEntry entry_of(const std::string& name, bool created) {
  JournalEntry entry;
  entry.file_name = name;
  entry.created = created;
  entry.size = created ? 0 : 12345;
  entry.length = 678;
  entry.identity = created ? FileSystem::FileIdentity{} : FileSystem::FileIdentity{2049, 77};
  entry.before_checksum = created ? 0 : text_checksum("earlier runs");
  entry.text_checksum = text_checksum("this run");
  entry.first_bytes = "\nthis run's first bytes\t\x01\xff";
  return entry;
}

const std::vector<JournalEntry>& run_entries() {
  static const std::vector<JournalEntry> entries = {
      entry_of("NG-1-Representative-MV-DIST.txt", false),
      entry_of("NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt", true),
      entry_of("out/pilot-1-sets.csv", true), entry_of("out/pilot-1.svg", true)};
  return entries;
}

ParsedJournal::Kind kind_of(const std::string& text) {
  return parse_journal(text, append_scope()).kind;
}

TEST(AppendJournal, WhatAnAppendWritesReadsBackWholeAlsoWithCrLfLineEnds) {
  // Catches a field lost or changed between writing and reading, or CR LF (an editor's) refused.
  const std::string text = journal_text(run_entries());
  const ParsedJournal parsed = parse_journal(text, append_scope());
  ASSERT_EQ(parsed.kind, ParsedJournal::Kind::kWhole);
  EXPECT_EQ(parsed.entries, run_entries());
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(parse_journal(crlf, append_scope()).entries, run_entries());
}

TEST(AppendJournal, AJournalCutShortAnywhereIsKnownAsSuchAndNeverObeyed) {
  // A run killed while writing its journal has touched no file: what it managed to write, such
  // as a size cut after its first digits, must never be obeyed, nor be taken for a stranger's.
  const std::string text = journal_text(run_entries());
  for (std::size_t size = 0; size < text.size(); ++size) {
    EXPECT_EQ(kind_of(text.substr(0, size)), ParsedJournal::Kind::kCutShort)
        << "cut to " << size << ": " << text.substr(0, size);
  }
}

// A journal as written, changed in one way.
struct Variant {
  const char* what;
  std::function<std::string()> text;
};

std::string with_entries(std::vector<JournalEntry> entries,
                         const std::function<void(std::vector<JournalEntry>&)>& change) {
  change(entries);
  return journal_text(entries);
}

// The journal with both of its export files under another export name.
std::string exported_as(const std::string& name) {
  return with_entries(run_entries(), [&](std::vector<JournalEntry>& e) {
    e[2].file_name = name + "-sets.csv";
    e[3].file_name = name + ".svg";
  });
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(AppendJournal, OnlyAJournalOfTheRunsOwnFilesIsObeyed) {
  const std::string text = journal_text(run_entries());
  const std::vector<Variant> variants = {
      // Catches another version's journal obeyed by this one's rules.
      {"version 1", [&] { return replaced(text, "journal 2", "journal 1"); }},
      // Catches a count that does not match the entries.
      {"count off by one", [&] { return replaced(text, "\n4\n", "\n3\n"); }},
      // Catches numbers read in any form, not only as written.
      {"a size with a leading zero", [&] { return replaced(text, " 12345 ", " 012345 "); }},
      {"a checksum in capitals",
       [&] {
         char lower[17];
         char upper[17];
         const auto checksum = static_cast<unsigned long long>(run_entries()[0].before_checksum);
         std::snprintf(lower, sizeof lower, "%016llx", checksum);
         std::snprintf(upper, sizeof upper, "%016llX", checksum);
         return replaced(text, lower, upper);
       }},
      // Catches lines after the end line, or text between entries, let through.
      {"text after the end", [&] { return text + "more\n"; }},
      {"an empty line among the entries", [&] { return replaced(text, "\nkept", "\n\nkept"); }},
      // Catches two entries for one file both obeyed.
      {"one file twice",
       [&] { return with_entries(run_entries(), [](auto& e) { e.push_back(e.front()); }); }},
      // Catches a name that is no report of any edition obeyed, such as the user's own NG- file.
      {"NG-my-notes.txt kept",
       [&] {
         return with_entries(run_entries(), [](auto& e) { e[0].file_name = "NG-my-notes.txt"; });
       }},
      {"the data file kept",
       [&] { return with_entries(run_entries(), [](auto& e) { e[0].file_name = "study.txt"; }); }},
      // Catches a folder separator in a report name obeyed.
      {"a report in another folder",
       [&] {
         return with_entries(
             run_entries(), [](auto& e) { e[0].file_name = "../NG-1-Representative-MV-DIST.txt"; });
       }},
      // Catches an export file that a journal could cut back rather than only remove.
      {"an export file kept",
       [&] { return with_entries(run_entries(), [](auto& e) { e[2].created = false; }); }},
      // Catches export files deleted outside the folder.
      {"an export through ..", [&] { return exported_as("../x"); }},
      {"an export through a folder ..", [&] { return exported_as("out/../../x"); }},
      {"an export through .", [&] { return exported_as("./x"); }},
      {"an export by an absolute path", [&] { return exported_as("/x"); }},
      {"an export by a Windows path", [&] { return exported_as("\\\\server\\x"); }},
      {"an export on a drive", [&] { return exported_as("C:x"); }},
      {"an export with an empty folder", [&] { return exported_as("out//x"); }},
      // Catches files of two export names taken for one run's.
      {"two export names",
       [&] { return with_entries(run_entries(), [](auto& e) { e[3].file_name = "other.svg"; }); }},
      // Catches any file by a name that ends as an export's obeyed.
      {"a file that only ends as an export's",
       [&] { return with_entries(run_entries(), [](auto& e) { e[3].file_name = "thesis.txt"; }); }},
      // Catches a created file with a size before, which only a kept file has.
      {"a created file with a size",
       [&] { return with_entries(run_entries(), [](auto& e) { e[1].size = 5; }); }},
      // Catches a journal longer than any append writes read in part and obeyed.
      {"over 64 KiB",
       [&] {
         std::string far = "x";
         while (far.size() < 66 * 1024) far += "/x";
         return with_entries(run_entries(), [&](auto& e) {
           e.resize(3);
           e[2].file_name = far + "-sets.csv";
         });
       }},
      // Catches any file by the journal's name taken for a journal.
      {"a user's text", [] { return std::string("my own notes\nend\n"); }},
  };
  // The export in a folder of its own is the run's.
  EXPECT_EQ(kind_of(exported_as("results/pilot-2")), ParsedJournal::Kind::kWhole);
  for (const Variant& variant : variants) {
    const std::string changed = variant.text();
    ASSERT_NE(changed, text) << variant.what << ": the variant changed nothing";
    EXPECT_EQ(kind_of(changed), ParsedJournal::Kind::kForeign) << variant.what;
  }
}

}  // namespace
}  // namespace quorvane
