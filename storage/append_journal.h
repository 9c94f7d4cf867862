#pragma once

// Internal to storage/: the journal's text and what it records, shared by the append
// (report_append.cpp) and its tests. The programs use report_append.h alone.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "storage/report_append.h"

namespace quorvane {

// How many bytes of a run's text, and of the file just before it, a journal keeps to recognise
// them.
inline constexpr std::size_t kRecognisedBytes = 64;

// FNV-1a, 64 bits: a checksum of a run's text and of the bytes a file held before it.
std::uint64_t text_checksum(const std::string& bytes);

// What an append found of one file before writing to it, and enough to recognise its own text
// there later.
struct JournalEntry {
  std::string file_name;
  bool created = false;      // the append creates it
  std::uint64_t size = 0;    // its size before the append; 0 when created
  std::uint64_t length = 0;  // of the run's text
  // Of a kept file (a created one has none yet when the journal is written).
  FileSystem::FileIdentity identity;
  std::uint64_t before_checksum = 0;  // of the up to kRecognisedBytes bytes before `size`
  std::uint64_t text_checksum = 0;    // of the run's whole text
  std::string first_bytes;            // the run's first up to kRecognisedBytes bytes

  bool operator==(const JournalEntry& other) const;
};

// The journal's text, ending in a line that a journal cut short lacks.
std::string journal_text(const std::vector<JournalEntry>& entries);

// What a file by the journal's name holds.
struct ParsedJournal {
  enum class Kind {
    kWhole,     // a journal these programs write, every entry inside `scope`
    kCutShort,  // the start of one: the run stopped while writing it, before touching a file
    kForeign,   // anything else: damaged, edited, another version's, or no journal at all
  };
  Kind kind = Kind::kForeign;
  std::vector<JournalEntry> entries;
};
// Reads a journal exactly as journal_text writes it (lines may end in CR LF, as after an
// editor), with one entry per file, each a report name of `scope` or a file of one export.
ParsedJournal parse_journal(const std::string& text, const AppendScope& scope);

// Writes the whole text through an open handle, however many writes it takes; *done says how
// many bytes were written, also when one fails. A write that accepts nothing is a failure, so
// that a stuck file system cannot make the append spin.
bool write_whole(FileSystem& files, int handle, const std::string& text, std::size_t* done,
                 FileFailure* failure);

// Writes the journal, which must not exist; on failure none is left and *error says why.
bool write_journal(FileSystem& files, const std::vector<JournalEntry>& entries, std::string* error);
bool remove_journal(FileSystem& files, std::string* error);

// Under the folder lock, before an append: when a run stopped while appending, and every file it
// names still holds that run's text after what it held before, cuts each back, removes the files
// it created, removes its journal and says which files it put back in one note. A journal cut
// short is removed. A journal that cannot be obeyed is moved aside, and false with *error naming
// what was found and what to do; so is a file that cannot be put back (the journal then stays).
bool repair_stopped_append(FileSystem& files, const AppendScope& scope, const AppendNote& note,
                           std::string* error);

}  // namespace quorvane
