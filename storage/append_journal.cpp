#include "storage/append_journal.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <set>

#include "platform/failure_words.h"

namespace quorvane {
namespace {

constexpr const char* kFirstLine = "Quorvane report append journal 2";
constexpr const char* kSecondLine =
    "A run is writing its reports in this folder, or stopped while writing them; the next run "
    "puts them back.";
constexpr const char* kLastLine = "end";
constexpr const char* kKept = "kept";
constexpr const char* kCreated = "created";
constexpr const char* kNoBytes = "-";
// A journal is a few kilobytes; a longer file by its name is no journal of ours.
constexpr std::size_t kLongestJournal = 64 * 1024;
constexpr const char* kTriedAgain =
    "; this run wrote nothing, and the next run will try again: fix what the system says, or move "
    "that file out of the working folder";
// Set-aside journals are numbered from 1; past this many the user is asked to clear them.
constexpr int kMostSetAside = 999;

std::string journal_says(const std::string& what) {
  return std::string(kAppendJournalName) + ": " + what;
}

// The lines of a text, each without its line end (LF or CR LF); the last is what follows the
// last line end (empty when the text ends in one).
std::vector<std::string> lines_of_text(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      return lines;
    }
    std::size_t line_end = end;
    if (line_end > start && text[line_end - 1] == '\r') --line_end;
    lines.push_back(text.substr(start, line_end - start));
    start = end + 1;
  }
}

std::string hex_of(const std::string& bytes) {
  static const char digits[] = "0123456789abcdef";
  std::string hex;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    hex += digits[byte >> 4];
    hex += digits[byte & 0xF];
  }
  return hex;
}

std::string hex_of(std::uint64_t value) {
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string entry_line(const JournalEntry& entry) {
  return std::string(entry.created ? kCreated : kKept) + ' ' + std::to_string(entry.size) + ' ' +
         std::to_string(entry.length) + ' ' + std::to_string(entry.identity.device) + ' ' +
         std::to_string(entry.identity.inode) + ' ' + hex_of(entry.before_checksum) + ' ' +
         hex_of(entry.text_checksum) + ' ' +
         (entry.first_bytes.empty() ? std::string(kNoBytes) : hex_of(entry.first_bytes)) + ' ' +
         entry.file_name;
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

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> bytes_of_hex(const std::string& hex) {
  if (hex == kNoBytes) return std::string();
  if (hex.size() % 2 != 0) return std::nullopt;
  std::string bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2) {
    const int high = hex_digit(hex[i]);
    const int low = hex_digit(hex[i + 1]);
    if (high < 0 || low < 0) return std::nullopt;
    bytes += static_cast<char>(high * 16 + low);
  }
  return bytes;
}

std::optional<std::uint64_t> checksum_of_hex(const std::string& hex) {
  if (hex.size() != 16) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : hex) {
    const int digit = hex_digit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<std::uint64_t>(digit);
  }
  return value;
}

// One entry line as entry_line writes it; the checks of names against the scope come after.
std::optional<JournalEntry> parse_entry(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() < 8) {
    const std::size_t space = line.find(' ', start);
    if (space == std::string::npos) return std::nullopt;
    fields.push_back(line.substr(start, space - start));
    start = space + 1;
  }
  JournalEntry entry;
  entry.file_name = line.substr(start);
  if (fields[0] != kKept && fields[0] != kCreated) return std::nullopt;
  entry.created = fields[0] == kCreated;
  const auto size = number_of(fields[1]);
  const auto length = number_of(fields[2]);
  const auto device = number_of(fields[3]);
  const auto inode = number_of(fields[4]);
  const auto before = checksum_of_hex(fields[5]);
  const auto text = checksum_of_hex(fields[6]);
  const auto first = bytes_of_hex(fields[7]);
  if (!size || !length || !device || !inode || !before || !text || !first) return std::nullopt;
  entry.size = *size;
  entry.length = *length;
  entry.identity = {*device, *inode};
  entry.before_checksum = *before;
  entry.text_checksum = *text;
  entry.first_bytes = *first;
  // Only the form journal_text writes: the same line again, byte for byte.
  if (entry_line(entry) != line) return std::nullopt;
  return entry;
}

bool ends_with(const std::string& text, const std::string& ending) {
  return text.size() > ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// A path inside the working folder, by plain names: not absolute, no drive, no `..`, no empty
// part, nothing but printable characters.
bool is_inside_folder(const std::string& path) {
  if (path.empty() || path.find(':') != std::string::npos) return false;
  for (const char c : path) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find_first_of("/\\", start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    if (part.empty() || part == "." || part == "..") return false;
    start = end + 1;
  }
  return true;
}

// Whether every entry is a file a run writes here, one entry per file: a report name of the
// scope, or one of the files of a single export, only ever created.
bool within_scope(const std::vector<JournalEntry>& entries, const AppendScope& scope) {
  std::set<std::string> seen;
  std::optional<std::string> export_name;
  for (const JournalEntry& entry : entries) {
    if (!seen.insert(entry.file_name).second) return false;
    if (entry.created && entry.size != 0) return false;
    if (scope.holds_report(entry.file_name)) continue;
    bool exported = false;
    for (const std::string& ending : scope.export_endings) {
      if (!entry.created || !ends_with(entry.file_name, ending)) continue;
      const std::string name = entry.file_name.substr(0, entry.file_name.size() - ending.size());
      if (export_name && *export_name != name) return false;
      export_name = name;
      exported = is_inside_folder(entry.file_name);
      break;
    }
    if (!exported) return false;
  }
  return true;
}

// Whether the text is the start of a journal journal_text writes: the run stopped while writing
// it, before touching any other file.
bool is_start_of_journal(const std::vector<std::string>& lines) {
  // The last of `lines` is the part after the last line end: any start of a line.
  const std::size_t whole = lines.size() - 1;
  const std::string& part = lines.back();
  const auto starts = [&](const char* line) { return std::string(line).rfind(part, 0) == 0; };
  if (whole == 0) return starts(kFirstLine);
  if (lines[0] != kFirstLine) return false;
  if (whole == 1) return starts(kSecondLine);
  if (lines[1] != kSecondLine) return false;
  if (whole == 2) return part.find_first_not_of("0123456789") == std::string::npos;
  const std::optional<std::uint64_t> count = number_of(lines[2]);
  if (!count || std::to_string(*count) != lines[2] || whole - 3 > *count) return false;
  for (std::size_t i = 3; i < whole; ++i) {
    if (!parse_entry(lines[i])) return false;
  }
  return whole - 3 < *count || starts(kLastLine);
}

// "a, b were" or "a was".
std::string listed(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text + (names.size() == 1 ? " was" : " were");
}

std::string set_aside_name(int number) {
  return "NG-0-Append-Journal-set-aside-" + std::to_string(number) + ".txt";
}

// Moves the journal to the first free set-aside name, never over a file; *moved_to is the name.
bool set_aside(FileSystem& files, std::string* moved_to, std::string* error) {
  FileFailure failure;
  for (int number = 1; number <= kMostSetAside; ++number) {
    if (files.rename_to_new(kAppendJournalName, set_aside_name(number), &failure)) {
      *moved_to = set_aside_name(number);
      return true;
    }
    if (failure.code != FileFailure::Code::kExists) break;
  }
  if (failure.code == FileFailure::Code::kExists) {
    failure.reason = "every name up to " + set_aside_name(kMostSetAside) + " is taken";
  }
  *error = journal_says("cannot move the append journal aside: " + failure_words(failure) +
                        "; move it out of the working folder, look at the end of each report "
                        "for a section cut short, and run again") +
           kNothingChanged;
  return false;
}

// What the repair finds of one file the journal names.
enum class Found {
  kAsBefore,  // nothing of the run's: nothing to do
  kRunsText,  // what it held before, then a start of the run's text: to put back
  kChanged,   // anything else: not to be touched
};

// Whether `bytes` are a start of the run's text as the entry recognises it.
bool is_start_of_text(const JournalEntry& entry, const std::string& bytes) {
  if (bytes.size() > entry.length) return false;
  const std::size_t compared = std::min(bytes.size(), entry.first_bytes.size());
  if (bytes.compare(0, compared, entry.first_bytes, 0, compared) != 0) return false;
  return bytes.size() < entry.length || text_checksum(bytes) == entry.text_checksum;
}

// Examines one file the journal names; false with *failure when the system cannot say.
bool examine(FileSystem& files, const JournalEntry& entry, Found* found, FileFailure* failure) {
  FileSystem::FileState state;
  if (!files.inspect(entry.file_name, &state, failure)) return false;
  *found = Found::kChanged;
  if (entry.created && !state.exists && !state.dangling_link && !state.symbolic_link) {
    *found = Found::kAsBefore;
    return true;
  }
  if (!state.exists || !state.regular || state.symbolic_link) return true;
  if (!entry.created && (state.identity != entry.identity || state.size < entry.size ||
                         state.size - entry.size > entry.length)) {
    return true;
  }
  if (entry.created && state.size > entry.length) return true;
  std::string bytes;
  if (!entry.created) {
    const std::uint64_t before = std::min<std::uint64_t>(entry.size, kRecognisedBytes);
    if (!files.read_at(entry.file_name, entry.size - before, static_cast<std::size_t>(before),
                       &bytes, failure)) {
      return false;
    }
    if (bytes.size() != before || text_checksum(bytes) != entry.before_checksum) return true;
    if (state.size == entry.size) {
      *found = Found::kAsBefore;
      return true;
    }
  }
  const std::uint64_t added = state.size - entry.size;
  if (!files.read_at(entry.file_name, entry.size, static_cast<std::size_t>(added), &bytes,
                     failure)) {
    return false;
  }
  if (bytes.size() == added && is_start_of_text(entry, bytes)) *found = Found::kRunsText;
  return true;
}

bool read_journal(FileSystem& files, std::string* text, std::string* error) {
  FileFailure failure;
  if (files.read_at(kAppendJournalName, 0, kLongestJournal + 1, text, &failure)) return true;
  *error =
      journal_says("cannot read the append journal: " + failure_words(failure)) + kNothingChanged;
  return false;
}

// The line of a stop when the journal was set aside.
std::string set_aside_said(const std::string& what, const std::string& moved_to) {
  return what + "; the journal was moved to " + moved_to +
         ", which records where that run began in each file, and no report file was changed";
}

}  // namespace

std::uint64_t text_checksum(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  return hash;
}

bool JournalEntry::operator==(const JournalEntry& other) const {
  return entry_line(*this) == entry_line(other);
}

std::string journal_text(const std::vector<JournalEntry>& entries) {
  std::string text =
      std::string(kFirstLine) + '\n' + kSecondLine + '\n' + std::to_string(entries.size()) + '\n';
  for (const JournalEntry& entry : entries) text += entry_line(entry) + '\n';
  return text + kLastLine + '\n';
}

ParsedJournal parse_journal(const std::string& text, const AppendScope& scope) {
  ParsedJournal parsed;
  if (text.size() > kLongestJournal) return parsed;
  const std::vector<std::string> lines = lines_of_text(text);
  if (!lines.back().empty() || lines.size() < 5 || lines[lines.size() - 2] != kLastLine) {
    if (is_start_of_journal(lines)) parsed.kind = ParsedJournal::Kind::kCutShort;
    return parsed;
  }
  // lines: the two first, the count, the entries, the end line and the empty part after it.
  const std::optional<std::uint64_t> count = number_of(lines[2]);
  if (lines[0] != kFirstLine || lines[1] != kSecondLine || !count ||
      std::to_string(*count) != lines[2] || *count != lines.size() - 5) {
    return parsed;
  }
  for (std::size_t i = 3; i + 2 < lines.size(); ++i) {
    const std::optional<JournalEntry> entry = parse_entry(lines[i]);
    if (!entry) return parsed;
    parsed.entries.push_back(*entry);
  }
  if (!within_scope(parsed.entries, scope)) {
    parsed.entries.clear();
    return parsed;
  }
  parsed.kind = ParsedJournal::Kind::kWhole;
  return parsed;
}

bool write_whole(FileSystem& files, int handle, const std::string& text, std::size_t* done,
                 FileFailure* failure) {
  *done = 0;
  while (*done < text.size()) {
    std::size_t written = 0;
    if (!files.write_some(handle, text.data() + *done, text.size() - *done, &written, failure)) {
      return false;
    }
    if (written == 0) {
      *failure = {FileFailure::Code::kOther, "the system accepted no more bytes"};
      return false;
    }
    *done += written;
  }
  return true;
}

bool write_journal(FileSystem& files, const std::vector<JournalEntry>& entries,
                   std::string* error) {
  const std::string text = journal_text(entries);
  FileFailure failure;
  int handle = -1;
  std::uint64_t size = 0;
  if (!files.open_for_append(kAppendJournalName, true, &handle, &size, &failure)) {
    *error = journal_says("cannot write the append journal: " + failure_words(failure));
    return false;
  }
  std::size_t done = 0;
  bool ok = write_whole(files, handle, text, &done, &failure);
  if (!ok) {
    FileFailure ignored;
    files.close(handle, &ignored);
  } else {
    ok = files.close(handle, &failure);
  }
  if (!ok) {
    // A journal cut short is harmless (the next run removes it), but none is better.
    FileFailure ignored;
    files.remove(kAppendJournalName, &ignored);
    *error = journal_says("cannot write the append journal: " + failure_words(failure));
  }
  return ok;
}

bool remove_journal(FileSystem& files, std::string* error) {
  FileFailure failure;
  if (files.remove(kAppendJournalName, &failure)) return true;
  *error = journal_says("cannot remove the append journal: " + failure_words(failure));
  return false;
}

bool repair_stopped_append(FileSystem& files, const AppendScope& scope, const AppendNote& note,
                           std::string* error) {
  FileSystem::FileState state;
  FileFailure failure;
  if (!files.inspect(kAppendJournalName, &state, &failure)) {
    *error = journal_says("cannot check the append journal: " + failure_words(failure)) +
             kNothingChanged;
    return false;
  }
  if (!state.exists && !state.dangling_link) return true;
  if (!state.regular) {
    *error = journal_says(
                 "this name is kept for the journal of the report appends but is taken by "
                 "something that is not a plain file (a folder, device or broken link); move it "
                 "out of the working folder and run again") +
             kNothingChanged;
    return false;
  }
  std::string text;
  if (!state.symbolic_link && !read_journal(files, &text, error)) return false;
  const ParsedJournal journal = state.symbolic_link ? ParsedJournal{} : parse_journal(text, scope);
  std::string moved_to;
  if (journal.kind == ParsedJournal::Kind::kForeign) {
    if (!set_aside(files, &moved_to, error)) return false;
    *error = journal_says(
        "this file is not an append journal that these programs write (it is damaged, edited, "
        "a link, or another program's), so it was not obeyed; it was moved to " +
        moved_to +
        " and no report file was changed; if a run stopped while writing its reports, look at "
        "the end of each report for a section cut short, then run again");
    return false;
  }
  // Every file is examined before any is changed: one that is no longer the run's stops it all.
  std::vector<Found> found(journal.entries.size(), Found::kAsBefore);
  for (std::size_t i = 0; i < journal.entries.size(); ++i) {
    const JournalEntry& entry = journal.entries[i];
    if (!examine(files, entry, &found[i], &failure)) {
      *error = entry.file_name +
               ": cannot check the report of a run that stopped while writing "
               "it: " +
               failure_words(failure) + kTriedAgain;
      return false;
    }
    if (found[i] != Found::kChanged) continue;
    if (!set_aside(files, &moved_to, error)) return false;
    *error = entry.file_name +
             set_aside_said(
                 ": a run stopped while writing its reports, but this file has changed since (it "
                 "was replaced, edited or added to), so that run's text was not taken out",
                 moved_to) +
             "; look at the end of this file and of the other reports, take out what that run "
             "left if anything, and run again";
    return false;
  }
  std::vector<std::string> cut;
  std::vector<std::string> removed;
  for (std::size_t i = 0; i < journal.entries.size(); ++i) {
    const JournalEntry& entry = journal.entries[i];
    if (found[i] != Found::kRunsText) continue;
    const bool ok = entry.created ? files.remove(entry.file_name, &failure)
                                  : files.truncate(entry.file_name, entry.size, &failure);
    if (!ok) {
      *error = entry.file_name +
               ": cannot put back the report of a run that stopped while writing it: " +
               failure_words(failure) + kTriedAgain;
      return false;
    }
    (entry.created ? removed : cut).push_back(entry.file_name);
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
  // Cut short (the run stopped while writing it, before touching a report) or done with.
  if (remove_journal(files, error)) return true;
  *error += cut.empty() && removed.empty() ? kNothingChanged : kTriedAgain;
  return false;
}

}  // namespace quorvane
