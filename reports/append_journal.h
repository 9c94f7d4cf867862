#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace quorvane {

// The journal of an append: while it exists, a run is writing its reports in this folder or
// stopped while doing so. It sorts with the report files and is seen beside them, and no
// edition names a report NG-0.
inline constexpr const char* kAppendJournalName = "NG-0-Append-Journal.txt";

// What an append found of one report file before writing to it.
struct JournalEntry {
  std::string file_name;
  std::uint64_t size = 0;  // its size before the append; 0 when created
  bool created = false;    // the append creates it

  bool operator==(const JournalEntry& other) const {
    return file_name == other.file_name && size == other.size && created == other.created;
  }
};

// The journal's text, ending in a line that a journal cut short lacks.
std::string journal_text(const std::vector<JournalEntry>& entries);
// The entries of a whole journal; nothing when the text is cut short or not a journal.
std::optional<std::vector<JournalEntry>> parse_journal(const std::string& text);

// Writes the journal, which must not exist; on failure none is left and *error says why.
bool write_journal(FileSystem& files, const std::vector<JournalEntry>& entries, std::string* error);
bool remove_journal(FileSystem& files, std::string* error);

// Under the folder lock, before an append: when a run stopped while appending, cuts every file
// it wrote to back to its size before, removes the files it created, removes its journal and
// says which files it put back in one note. A journal cut short (the run stopped while writing
// it, before touching any report) is just removed. False, with *error, when a file cannot be
// put back; the journal then stays for the next run.
bool repair_stopped_append(FileSystem& files, const FileSystem::Note& note, std::string* error);

}  // namespace quorvane
