// The journal's text: only what an append writes is obeyed, every entry a file the run itself
// writes in its folder; a journal cut short is known as such.
#include "storage/append_journal.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "programs/run_driver.h"
#include "reports/export_files.h"
#include "reports/report_names.h"

namespace quorvane {
namespace {

// An entry as an append records it, for a text of `length` bytes.
JournalEntry entry_of(const std::string& name, bool created, bool exported = false,
                      std::size_t length = 5000) {
  JournalEntry entry;
  entry.file_name = name;
  entry.exported = exported;
  entry.created = created;
  entry.size = created ? 0 : 12345;
  entry.identity = created ? FileSystem::FileIdentity{} : FileSystem::FileIdentity{2049, 77};
  entry.before_checksum = created ? 0 : text_checksum("earlier runs");
  std::string text = "\nthis run's first bytes\t\x01\xff";
  text.resize(length, '.');
  entry.length = text.size();
  entry.first_bytes = text.substr(0, kRecognisedBytes);
  entry.blocks = block_checksums(text, entry.size);
  return entry;
}

// A run of the triads with an export in a folder of its own: its eight reports, then the
// export's files.
const Journal& run_journal() {
  static const Journal journal = [] {
    Journal made;
    made.export_folder = "out/";
    made.export_folder_identity = {2049, 12};
    const auto names = report_file_names(kTriadsEdition.words);
    for (std::size_t i = 0; i < names.size(); ++i) {
      // Files 7 and 8: one line.
      made.entries.push_back(entry_of(names[i], i % 2 == 1, false, i >= 6 ? 40 : 5000));
    }
    for (const std::string& name : export_file_names("pilot-1")) {
      made.entries.push_back(entry_of(name, true, true));
    }
    return made;
  }();
  return journal;
}

ParsedJournal::Kind kind_of(const std::string& text) {
  return parse_journal(text, append_scope()).kind;
}

TEST(AppendJournal, WhatAnAppendWritesReadsBackWholeAlsoWithCrLfLineEnds) {
  // Catches a field lost or changed between writing and reading, or CR LF (an editor's) refused.
  const std::string text = journal_text(run_journal());
  const ParsedJournal parsed = parse_journal(text, append_scope());
  ASSERT_EQ(parsed.kind, ParsedJournal::Kind::kWhole);
  EXPECT_EQ(parsed.journal.entries, run_journal().entries);
  EXPECT_EQ(parsed.journal.export_folder, run_journal().export_folder);
  EXPECT_EQ(parsed.journal.export_folder_identity, run_journal().export_folder_identity);
  std::string crlf;
  for (const char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  EXPECT_EQ(parse_journal(crlf, append_scope()).journal.entries, run_journal().entries);
}

TEST(AppendJournal, AJournalCutShortAnywhereIsKnownAsSuchAndNeverObeyed) {
  // A run killed while writing its journal has touched no file: what it managed to write, such
  // as a size cut after its first digits, must never be obeyed, nor be taken for a stranger's.
  const std::string text = journal_text(run_journal());
  for (std::size_t size = 0; size < text.size(); size += size < 400 ? 1 : 97) {
    EXPECT_EQ(kind_of(text.substr(0, size)), ParsedJournal::Kind::kCutShort)
        << "cut to " << size << ": " << text.substr(0, size);
  }
}

TEST(AppendJournal, TheChecksumOfEachBlockReadsEveryByteAsVersion21Did) {
  // Catches a checksum that skips the last bytes of a block or the order of its words, blocks
  // worked out several at a time that differ from one at a time, and any change of the checksum,
  // which would leave a journal that version 2.1 wrote unrecognised.
  std::string text;
  for (int i = 0; i < 5 * static_cast<int>(kChecksumBlock) + 13; ++i) {
    text += static_cast<char>('a' + i * 7 % 26);
  }
  // To the first page end of the file, four whole pages, the rest.
  const std::vector<std::uint64_t> written_by_2_1 = {0x377a3f59b3f0c315, 0x99a463d4aa0b7c34,
                                                     0xb35b4688e643e32f, 0xf51a2446e91746c8,
                                                     0xf5bcb20a76fbb746, 0x8d29a4017e380873};
  EXPECT_EQ(block_checksums(text, 100), written_by_2_1);
  for (const std::size_t at : {std::size_t{0}, kChecksumBlock - 101, text.size() - 1}) {
    std::string changed = text;
    changed[at] = '!';
    EXPECT_NE(block_checksums(changed, 100), written_by_2_1) << "a byte changed at " << at;
  }
  EXPECT_NE(text_checksum("abcdefgh12345678"), text_checksum("12345678abcdefgh"));
}

// A journal as written, changed in one way.
struct Variant {
  const char* what;
  std::function<std::string()> text;
};

std::string with_journal(const std::function<void(Journal&)>& change) {
  Journal journal = run_journal();
  change(journal);
  return journal_text(journal);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
  const std::size_t at = text.find(from);
  if (at != std::string::npos) text.replace(at, from.size(), to);
  return text;
}

TEST(AppendJournal, OnlyAJournalARunCouldHaveWrittenIsObeyed) {
  const std::string text = journal_text(run_journal());
  using J = Journal&;
  const std::vector<Variant> variants = {
      // Catches another version's journal obeyed by this one's rules.
      {"version 2", [&] { return replaced(text, "journal 3", "journal 2"); }},
      // Catches a count that does not match the entries.
      {"count off by one",
       [&] {
         const std::size_t count = run_journal().entries.size();
         return replaced(text, "\n" + std::to_string(count) + "\n",
                         "\n" + std::to_string(count - 1) + "\n");
       }},
      // Catches numbers read in any form, not only as written.
      {"a size with a leading zero", [&] { return replaced(text, " 12345 ", " 012345 "); }},
      {"a checksum in capitals",
       [&] {
         char lower[17];
         char upper[17];
         const auto checksum =
             static_cast<unsigned long long>(run_journal().entries[0].before_checksum);
         std::snprintf(lower, sizeof lower, "%016llx", checksum);
         std::snprintf(upper, sizeof upper, "%016llX", checksum);
         return replaced(text, lower, upper);
       }},
      // Catches lines after the end line, or text between entries, let through.
      {"text after the end", [&] { return text + "more\n"; }},
      {"an empty line among the entries", [&] { return replaced(text, "\nreport", "\n\nreport"); }},
      // The forgeries of the report: no first bytes and a length of 10^12; one report of eight.
      {"a length of 10^12 without first bytes",
       [] {
         return with_journal([](J j) {
           j.entries[0].length = 1000000000000;
           j.entries[0].first_bytes.clear();
         });
       }},
      {"one report of eight", [] { return with_journal([](J j) { j.entries.resize(1); }); }},
      // Catches first bytes, lengths and checksums that disagree taken for a run's.
      {"more first bytes than the length",
       [] { return with_journal([](J j) { j.entries[0].length = 10; }); }},
      {"a checksum missing",
       [] { return with_journal([](J j) { j.entries[2].blocks.pop_back(); }); }},
      {"a checksum too many",
       [] { return with_journal([](J j) { j.entries[2].blocks.push_back(1); }); }},
      // Catches file 7 cut back past earlier runs: a run adds one line to it.
      {"two lines in file 7",
       [] { return with_journal([](J j) { j.entries[6].first_bytes[10] = '\n'; }); }},
      // Catches reports of two editions, or in another order, taken for one run's.
      {"file 4 of the pairs",
       [] {
         return with_journal(
             [](J j) { j.entries[3].file_name = report_file_names(kPairsEdition.words)[3]; });
       }},
      {"file 4 of groups of 6 among the triads'",
       [] {
         return with_journal(
             [](J j) { j.entries[3].file_name = report_file_names(edition_profile(6).words)[3]; });
       }},
      {"two reports swapped",
       [] { return with_journal([](J j) { std::swap(j.entries[0], j.entries[1]); }); }},
      // Catches a user's own NG- file, or the data file, cut back.
      {"NG-my-notes.txt kept",
       [] { return with_journal([](J j) { j.entries[0].file_name = "NG-my-notes.txt"; }); }},
      // Catches a created file with a size before, which only a kept file has.
      {"a created file with a size",
       [] { return with_journal([](J j) { j.entries[1].size = 5; }); }},
      // Catches an export file that a journal could cut back rather than only remove.
      {"an export file kept",
       [] { return with_journal([](J j) { j.entries[8].created = false; }); }},
      // Catches an export's files in part: all or none.
      {"one export file missing", [] { return with_journal([](J j) { j.entries.pop_back(); }); }},
      {"export files without their folder",
       [] { return with_journal([](J j) { j.export_folder.clear(); }); }},
      {"an export folder without files",
       [] { return with_journal([](J j) { j.entries.resize(8); }); }},
      // Catches files of two export names taken for one run's.
      {"two export names",
       [] { return with_journal([](J j) { j.entries[12].file_name = "other.svg"; }); }},
      // Catches export files reached through a subfolder (a link to another folder) or outside.
      {"an export file in a subfolder",
       [] {
         return with_journal([](J j) {
           for (std::size_t i = 8; i < j.entries.size(); ++i) {
             j.entries[i].file_name = "sub/" + j.entries[i].file_name;
           }
         });
       }},
      {"an export file through ..",
       [] { return with_journal([](J j) { j.entries[8].file_name = ".."; }); }},
      {"an export file on a drive",
       [] {
         return with_journal([](J j) { j.entries[8].file_name = "C:pilot-1-distribution.csv"; });
       }},
      // Catches any file by the journal's name taken for a journal.
      {"a user's text", [] { return std::string("my own notes\nend\n"); }},
  };
  // Catches the reports of groups of a larger size, known by their form alone, refused.
  EXPECT_EQ(kind_of(with_journal([](J j) {
              const auto names = report_file_names(edition_profile(6).words);
              for (std::size_t i = 0; i < names.size(); ++i) j.entries[i].file_name = names[i];
            })),
            ParsedJournal::Kind::kWhole);
  for (const Variant& variant : variants) {
    const std::string changed = variant.text();
    ASSERT_NE(changed, text) << variant.what << ": the variant changed nothing";
    EXPECT_EQ(kind_of(changed), ParsedJournal::Kind::kForeign) << variant.what;
  }
}

}  // namespace
}  // namespace quorvane
