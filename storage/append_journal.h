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

// How many bytes of the file just before a run's text, and of the start of that text, a journal
// keeps to recognise them.
inline constexpr std::size_t kRecognisedBytes = 64;

// A run's text in a file is checked in blocks that end where the file's pages do (every
// kChecksumBlock bytes of the file), since a run killed while writing stops at such an end.
inline constexpr std::uint64_t kChecksumBlock = 4096;

// A checksum of some bytes that reads them eight at a time.
std::uint64_t text_checksum(const char* bytes, std::size_t count);
std::uint64_t text_checksum(const std::string& bytes);

// The checksums of a text appended to a file of `size` bytes, one per block: the first block
// runs to the next multiple of kChecksumBlock of the file, each other one kChecksumBlock long.
std::vector<std::uint64_t> block_checksums(const std::string& text, std::uint64_t size);

// What an append found of one file before writing to it, and enough to recognise its own text
// there later.
struct JournalEntry {
  std::string file_name;     // a plain name, in the working folder or the export's folder
  bool exported = false;     // a file of the export, in the export's folder
  bool created = false;      // the append creates it
  std::uint64_t size = 0;    // its size before the append; 0 when created
  std::uint64_t length = 0;  // of the run's text
  // Of a kept file (a created one has none yet when the journal is written).
  FileSystem::FileIdentity identity;
  std::uint64_t before_checksum = 0;  // of the up to kRecognisedBytes bytes before `size`
  std::string first_bytes;            // the run's first up to kRecognisedBytes bytes
  std::vector<std::uint64_t> blocks;  // block_checksums of the run's text

  bool operator==(const JournalEntry& other) const;
};

// What a journal records: the export's folder, when the run wrote one, and one entry per file.
struct Journal {
  // The export's folder as the run opened it ("." for the working folder), and its identity;
  // empty without an export.
  std::string export_folder;
  FileSystem::FileIdentity export_folder_identity;
  std::vector<JournalEntry> entries;
};

// The journal's text, ending in a line that a journal cut short lacks.
std::string journal_text(const Journal& journal);

// What a file by the journal's name holds.
struct ParsedJournal {
  enum class Kind {
    kWhole,     // a journal a run writes, of the files of `scope`
    kCutShort,  // the start of one: the run stopped while writing it, before touching a file
    kForeign,   // anything else: damaged, edited, another version's, or no journal at all
  };
  Kind kind = Kind::kForeign;
  Journal journal;
};
// Reads a journal exactly as journal_text writes it (lines may end in CR LF, as after an
// editor). Whole only when a run could have written it: the eight reports of one edition, the
// files of one export all or none, and lengths, first bytes and checksums that agree.
ParsedJournal parse_journal(const std::string& text, const AppendScope& scope);

// Writes the whole text through an open handle, however many writes it takes; *done says how
// many bytes were written, also when one fails. A write that accepts nothing is a failure, so
// that a stuck file system cannot make the append spin.
bool write_whole(FileSystem& files, int handle, const std::string& text, std::size_t* done,
                 FileFailure* failure);

// Writes the journal, which must not exist, in the folder `folder` (the working folder's
// handle), readable and writable by the user alone; on failure none is left and *error says why.
bool write_journal(FileSystem& files, int folder, const Journal& journal, std::string* error);
bool remove_journal(FileSystem& files, std::string* error);

// Under the folder lock, before an append: when a run stopped while appending, and every file it
// names still holds that run's text after what it held before, cuts each back, removes the files
// it created, removes its journal and says which files it put back in one note. A journal cut
// short is removed. A journal that cannot be obeyed is moved aside, and false with *error naming
// what was found and what to do; so is a file that cannot be put back (the journal then stays).
bool repair_stopped_append(FileSystem& files, int folder, const AppendScope& scope,
                           const AppendNote& note, std::string* error);

}  // namespace quorvane
