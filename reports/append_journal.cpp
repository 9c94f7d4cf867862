#include "reports/append_journal.h"

#include <istream>
#include <limits>

#include "reports/export_files.h"

namespace quorvane {
namespace {

constexpr const char* kFirstLine = "Quorvane report append journal 1";
constexpr const char* kSecondLine =
    "A run is writing its reports in this folder, or stopped while writing them; the next run "
    "puts them back.";
constexpr const char* kLastLine = "end";
constexpr const char* kKept = "kept";
constexpr const char* kCreated = "created";
// A journal is a few hundred bytes; a longer file by its name is no journal of ours.
constexpr std::size_t kLongestJournal = 64 * 1024;
constexpr const char* kNothingChanged = "; no report file was changed";
constexpr const char* kTriedAgain = "; this run wrote nothing, and the next run will try again";

std::string journal_says(const std::string& what) {
  return std::string(kAppendJournalName) + ": " + what;
}

std::vector<std::string> lines_of_text(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::optional<std::uint64_t> number_of(const std::string& digits) {
  if (digits.empty() || digits.size() > 20) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    const auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

// Only a report file of this folder: never a path to somewhere else, nor the journal itself.
bool is_report_name(const std::string& name) {
  return name.rfind("NG-", 0) == 0 && name != kAppendJournalName &&
         name.find_first_of(std::string("/\\:\0", 4)) == std::string::npos;
}

// A file of a run's export, which an append only ever creates: its name ends as the export's
// names end (it may lie in another folder).
bool is_export_name(const std::string& name) {
  for (const std::string& ending : export_file_names("")) {
    if (name.size() > ending.size() &&
        name.compare(name.size() - ending.size(), ending.size(), ending) == 0) {
      return name.find('\0') == std::string::npos;
    }
  }
  return false;
}

// "a, b were" or "a was".
std::string listed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text + (names.size() == 1 ? " was" : " were");
}

bool read_journal(FileSystem& files, std::string* text, std::string* error) {
  std::string reason;
  FileSystem::FileIdentity identity;
  const std::unique_ptr<std::istream> in =
      files.open_for_reading(kAppendJournalName, &identity, &reason);
  if (in != nullptr) {
    try {
      char buffer[4096];
      while (text->size() <= kLongestJournal && in->read(buffer, sizeof buffer).gcount() > 0) {
        text->append(buffer, static_cast<std::size_t>(in->gcount()));
      }
      if (!in->bad()) return true;
      reason = "the system could not read it";
    } catch (const FileSystem::ReadError& failure) {
      reason = failure.what();
    }
  }
  *error = journal_says("cannot read the append journal: " + reason) + kNothingChanged;
  return false;
}

// Puts one file back as the journal found it; adds its name to *cut or *removed if it had to.
bool put_back(FileSystem& files, const JournalEntry& entry, std::vector<std::string>* cut,
              std::vector<std::string>* removed, std::string* error) {
  FileSystem::FileState state;
  std::string reason;
  bool ok = files.inspect(entry.file_name, &state, &reason);
  if (ok && entry.created && state.exists) {
    ok = files.remove(entry.file_name, &reason);
    if (ok) removed->push_back(entry.file_name);
  } else if (ok && !entry.created && state.regular && state.size > entry.size) {
    ok = files.truncate(entry.file_name, entry.size, &reason);
    if (ok) cut->push_back(entry.file_name);
  }
  if (!ok) {
    *error = entry.file_name +
             ": cannot put back the report of a run that stopped while writing it: " + reason +
             kTriedAgain;
  }
  return ok;
}

}  // namespace

std::string journal_text(const std::vector<JournalEntry>& entries) {
  std::string text =
      std::string(kFirstLine) + '\n' + kSecondLine + '\n' + std::to_string(entries.size()) + '\n';
  for (const JournalEntry& entry : entries) {
    text += std::to_string(entry.size) + ' ' + (entry.created ? kCreated : kKept) + ' ' +
            entry.file_name + '\n';
  }
  return text + kLastLine + '\n';
}

std::optional<std::vector<JournalEntry>> parse_journal(const std::string& text) {
  const std::vector<std::string> lines = lines_of_text(text);
  if (text.empty() || text.back() != '\n' || lines.size() < 4 || lines[0] != kFirstLine ||
      lines[1] != kSecondLine || lines.back() != kLastLine) {
    return std::nullopt;
  }
  const std::optional<std::uint64_t> count = number_of(lines[2]);
  if (!count || *count != lines.size() - 4) return std::nullopt;
  std::vector<JournalEntry> entries;
  for (std::size_t i = 3; i + 1 < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t first_space = line.find(' ');
    const std::size_t second_space =
        first_space == std::string::npos ? first_space : line.find(' ', first_space + 1);
    if (second_space == std::string::npos) return std::nullopt;
    JournalEntry entry;
    const std::optional<std::uint64_t> size = number_of(line.substr(0, first_space));
    const std::string kind = line.substr(first_space + 1, second_space - first_space - 1);
    entry.file_name = line.substr(second_space + 1);
    const bool known =
        is_report_name(entry.file_name) || (kind == kCreated && is_export_name(entry.file_name));
    if (!size || (kind != kKept && kind != kCreated) || !known) {
      return std::nullopt;
    }
    entry.size = *size;
    entry.created = kind == kCreated;
    entries.push_back(entry);
  }
  return entries;
}

bool write_journal(FileSystem& files, const std::vector<JournalEntry>& entries,
                   std::string* error) {
  const std::string text = journal_text(entries);
  std::string reason;
  int handle = -1;
  std::uint64_t size = 0;
  if (!files.open_for_append(kAppendJournalName, true, &handle, &size, &reason)) {
    *error = journal_says("cannot write the append journal: " + reason);
    return false;
  }
  std::size_t done = 0;
  bool ok = true;
  while (ok && done < text.size()) {
    std::size_t written = 0;
    ok = files.write_some(handle, text.data() + done, text.size() - done, &written, &reason);
    if (ok && written == 0) {
      reason = "the system accepted no more bytes";
      ok = false;
    }
    done += written;
  }
  if (!ok) {
    std::string ignored;
    files.close(handle, &ignored);
  } else {
    ok = files.close(handle, &reason);
  }
  if (!ok) {
    // A journal cut short is harmless (the next run removes it), but none is better.
    std::string ignored;
    files.remove(kAppendJournalName, &ignored);
    *error = journal_says("cannot write the append journal: " + reason);
  }
  return ok;
}

bool remove_journal(FileSystem& files, std::string* error) {
  std::string reason;
  if (files.remove(kAppendJournalName, &reason)) return true;
  *error = journal_says("cannot remove the append journal: " + reason);
  return false;
}

bool repair_stopped_append(FileSystem& files, const FileSystem::Note& note, std::string* error) {
  FileSystem::FileState state;
  std::string reason;
  if (!files.inspect(kAppendJournalName, &state, &reason)) {
    *error = journal_says("cannot check the append journal: " + reason) + kNothingChanged;
    return false;
  }
  if (!state.exists && !state.dangling_link) return true;
  if (!state.regular) {
    *error = journal_says(
                 "this name is kept for the journal of the report appends but is taken by "
                 "something that "
                 "is not a plain file (a folder, device or broken link); move it out of the "
                 "working folder "
                 "and run again") +
             kNothingChanged;
    return false;
  }
  std::string text;
  if (!read_journal(files, &text, error)) return false;
  const std::optional<std::vector<JournalEntry>> entries = parse_journal(text);
  std::vector<std::string> cut;
  std::vector<std::string> removed;
  if (entries) {
    for (const JournalEntry& entry : *entries) {
      if (!put_back(files, entry, &cut, &removed, error)) return false;
    }
    if (!cut.empty() || !removed.empty()) {
      std::string said = "a run in this folder stopped while writing its reports";
      if (!cut.empty()) {
        said +=
            "; " + listed(cut) +
            (cut.size() == 1 ? " cut back to its earlier end" : " cut back to their earlier ends");
      }
      if (!removed.empty()) {
        said += "; " + listed(removed) +
                (removed.size() == 1 ? " removed, as that run had created it"
                                     : " removed, as that run had created them");
      }
      note(said);
    }
  }
  // Cut short (the run stopped while writing it, before touching a report) or done with.
  if (remove_journal(files, error)) return true;
  *error += cut.empty() && removed.empty() ? kNothingChanged : kTriedAgain;
  return false;
}

}  // namespace quorvane
