#include "storage/append_journal.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <set>

#include "platform/failure_words.h"

namespace quorvane {
namespace {

constexpr const char* kFirstLine = "Quorvane report append journal 3";
constexpr const char* kSecondLine =
    "A run is writing its reports in this folder, or stopped while writing them; the next run "
    "puts them back.";
constexpr const char* kExportLine = "export";
constexpr const char* kLastLine = "end";
constexpr const char* kReport = "report";
constexpr const char* kExported = "exported";
constexpr const char* kKept = "kept";
constexpr const char* kCreated = "created";
constexpr const char* kNoBytes = "-";
// A journal records a few kilobytes of checksums per megabyte written; a longer file by its
// name is no journal of ours.
constexpr std::size_t kLongestJournal = 16 * 1024 * 1024;
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
  if (bytes.empty()) return kNoBytes;
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

std::string hex_of(const std::vector<std::uint64_t>& values) {
  if (values.empty()) return kNoBytes;
  std::string hex;
  for (const std::uint64_t value : values) hex += (hex.empty() ? "" : ",") + hex_of(value);
  return hex;
}

std::string identity_text(const FileSystem::FileIdentity& identity) {
  return std::to_string(identity.device) + ' ' + std::to_string(identity.inode);
}

std::string entry_line(const JournalEntry& entry) {
  return std::string(entry.exported ? kExported : kReport) + ' ' +
         (entry.created ? kCreated : kKept) + ' ' + std::to_string(entry.size) + ' ' +
         std::to_string(entry.length) + ' ' + identity_text(entry.identity) + ' ' +
         hex_of(entry.before_checksum) + ' ' + hex_of(entry.first_bytes) + ' ' +
         hex_of(entry.blocks) + ' ' + entry.file_name;
}

std::string export_line(const Journal& journal) {
  if (journal.export_folder.empty()) return std::string(kExportLine) + ' ' + kNoBytes;
  return std::string(kExportLine) + ' ' + identity_text(journal.export_folder_identity) + ' ' +
         hex_of(journal.export_folder);
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
  if (hex.empty() || hex.size() % 2 != 0) return std::nullopt;
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

std::optional<std::vector<std::uint64_t>> checksums_of_hex(const std::string& hex) {
  std::vector<std::uint64_t> values;
  if (hex == kNoBytes) return values;
  for (std::size_t start = 0; start <= hex.size(); start += 17) {
    const std::optional<std::uint64_t> value = checksum_of_hex(hex.substr(start, 16));
    if (!value || (start + 16 < hex.size() && hex[start + 16] != ',')) return std::nullopt;
    values.push_back(*value);
  }
  return values;
}

// The first `count` fields of a line separated by single spaces, and the rest after them.
std::optional<std::vector<std::string>> fields_of(const std::string& line, std::size_t count) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  while (fields.size() < count) {
    const std::size_t space = line.find(' ', start);
    if (space == std::string::npos) return std::nullopt;
    fields.push_back(line.substr(start, space - start));
    start = space + 1;
  }
  fields.push_back(line.substr(start));
  return fields;
}

// One entry line as entry_line writes it; whether a run could have written it comes after.
std::optional<JournalEntry> parse_entry(const std::string& line) {
  const auto fields = fields_of(line, 9);
  if (!fields) return std::nullopt;
  const std::vector<std::string>& f = *fields;
  JournalEntry entry;
  entry.exported = f[0] == kExported;
  entry.created = f[1] == kCreated;
  const auto size = number_of(f[2]);
  const auto length = number_of(f[3]);
  const auto device = number_of(f[4]);
  const auto inode = number_of(f[5]);
  const auto before = checksum_of_hex(f[6]);
  const auto first = bytes_of_hex(f[7]);
  const auto blocks = checksums_of_hex(f[8]);
  if (!size || !length || !device || !inode || !before || !first || !blocks) return std::nullopt;
  entry.size = *size;
  entry.length = *length;
  entry.identity = {*device, *inode};
  entry.before_checksum = *before;
  entry.first_bytes = *first;
  entry.blocks = *blocks;
  entry.file_name = f[9];
  // Only the form journal_text writes: the same line again, byte for byte.
  if (entry_line(entry) != line) return std::nullopt;
  return entry;
}

// The export line as export_line writes it.
std::optional<Journal> parse_export_line(const std::string& line) {
  Journal journal;
  if (line == export_line(journal)) return journal;
  const auto fields = fields_of(line, 3);
  if (!fields || (*fields)[0] != kExportLine) return std::nullopt;
  const auto device = number_of((*fields)[1]);
  const auto inode = number_of((*fields)[2]);
  const auto folder = bytes_of_hex((*fields)[3]);
  if (!device || !inode || !folder || folder->empty()) return std::nullopt;
  journal.export_folder = *folder;
  journal.export_folder_identity = {*device, *inode};
  if (export_line(journal) != line) return std::nullopt;
  return journal;
}

bool ends_with(const std::string& text, const std::string& ending) {
  return text.size() > ending.size() &&
         text.compare(text.size() - ending.size(), ending.size(), ending) == 0;
}

// A name of a file in its folder: no separator, no drive or stream, not only dots, nothing but
// printable characters.
bool is_plain_name(const std::string& name) {
  if (name.empty() || name.find_first_of("/\\:") != std::string::npos) return false;
  if (name.find_first_not_of('.') == std::string::npos) return false;
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) return false;
  }
  return true;
}

// Whether the entry's recorded text agrees with itself: its first bytes and its checksums are
// those of a text of its length appended at its size, and a file the run created was empty.
bool is_consistent(const JournalEntry& entry) {
  if (entry.created && (entry.size != 0 || entry.identity != FileSystem::FileIdentity{} ||
                        entry.before_checksum != 0)) {
    return false;
  }
  if (!entry.created && entry.before_checksum == 0) return false;
  if (entry.first_bytes.size() != std::min<std::uint64_t>(entry.length, kRecognisedBytes)) {
    return false;
  }
  const std::uint64_t first = kChecksumBlock - entry.size % kChecksumBlock;
  const std::uint64_t blocks =
      entry.length == 0
          ? 0
          : 1 + (entry.length > first ? (entry.length - first + kChecksumBlock - 1) / kChecksumBlock
                                      : 0);
  return entry.blocks.size() == blocks;
}

// Whether the entries are those of one run: the eight reports of one edition, in their order,
// then the files of one export under one name, all or none, only ever created.
bool is_a_runs(const Journal& journal, const AppendScope& scope) {
  const std::vector<JournalEntry>& entries = journal.entries;
  for (const JournalEntry& entry : entries) {
    if (!is_plain_name(entry.file_name) || !is_consistent(entry)) return false;
  }
  // File 2's name tells the edition: the same for every size of group but its own.
  if (entries.size() < 2) return false;
  const std::vector<std::string> names = scope.edition_holding(entries[1].file_name);
  if (names.empty() || entries.size() < names.size()) return false;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (entries[i].exported || entries[i].file_name != names[i]) return false;
  }
  for (const std::size_t line : scope.one_line_reports) {
    // One line: a line end as its first byte, and no other.
    const std::string& first = entries[line].first_bytes;
    if (first.empty() || first[0] != '\n' || first.find('\n', 1) != std::string::npos) {
      return false;
    }
  }
  const std::size_t exported = entries.size() - names.size();
  if (exported == 0) return journal.export_folder.empty();
  if (journal.export_folder.empty() || exported != scope.export_endings.size()) return false;
  const JournalEntry& first = entries[names.size()];
  if (!ends_with(first.file_name, scope.export_endings[0])) return false;
  const std::string name =
      first.file_name.substr(0, first.file_name.size() - scope.export_endings[0].size());
  for (std::size_t i = 0; i < exported; ++i) {
    const JournalEntry& entry = entries[names.size() + i];
    if (!entry.exported || !entry.created || entry.file_name != name + scope.export_endings[i]) {
      return false;
    }
  }
  return true;
}

// Whether the text is the start of a journal journal_text writes: the run stopped while writing
// it, before touching any other file.
bool is_start_of_journal(const std::vector<std::string>& lines) {
  // The last of `lines` is the part after the last line end: any start of a line.
  const std::size_t whole = lines.size() - 1;
  const std::string& part = lines.back();
  const auto starts = [&](const std::string& line) { return line.rfind(part, 0) == 0; };
  if (whole == 0) return starts(kFirstLine);
  if (lines[0] != kFirstLine) return false;
  if (whole == 1) return starts(kSecondLine);
  if (lines[1] != kSecondLine) return false;
  if (whole == 2) {
    return starts(std::string(kExportLine) + ' ') ||
           (part.rfind(std::string(kExportLine) + ' ', 0) == 0 &&
            part.find_first_not_of("0123456789abcdef -", 7) == std::string::npos);
  }
  if (!parse_export_line(lines[2])) return false;
  if (whole == 3) return part.find_first_not_of("0123456789") == std::string::npos;
  const std::optional<std::uint64_t> count = number_of(lines[3]);
  if (!count || std::to_string(*count) != lines[3] || whole - 4 > *count) return false;
  for (std::size_t i = 4; i < whole; ++i) {
    if (!parse_entry(lines[i])) return false;
  }
  return whole - 4 < *count || starts(kLastLine);
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
    *error = journal_says("cannot move the append journal aside, as every name from " +
                          set_aside_name(1) + " to " + set_aside_name(kMostSetAside) +
                          " is taken; move those files out of the working folder (or delete "
                          "them once read), look at the end of each report for a section cut "
                          "short, and run again") +
             kNothingChanged;
    return false;
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

// Whether `bytes`, found after the entry's size, are a start of the run's text that a run
// stops at: whole blocks, each with its checksum (or the whole text), and a report of one line a
// start of one line.
bool is_start_of_text(const JournalEntry& entry, const std::string& bytes, bool one_line) {
  if (bytes.size() > entry.length) return false;
  const std::size_t compared = std::min(bytes.size(), entry.first_bytes.size());
  if (bytes.compare(0, compared, entry.first_bytes, 0, compared) != 0) return false;
  if (one_line && bytes.find('\n', 1) != std::string::npos) return false;
  std::size_t start = 0;
  std::size_t block = kChecksumBlock - entry.size % kChecksumBlock;
  for (const std::uint64_t checksum : entry.blocks) {
    if (start == bytes.size()) return true;
    block = static_cast<std::size_t>(std::min<std::uint64_t>(block, entry.length - start));
    if (bytes.size() - start < block) return false;  // a block cut short: not recognised
    if (text_checksum(bytes.data() + start, block) != checksum) return false;
    start += block;
    block = kChecksumBlock;
  }
  return start == bytes.size();
}

// One file the journal names, as the repair found it, through the handle it checked.
struct Examined {
  Found found = Found::kAsBefore;
  int handle = -1;  // open when found holds the run's text
  FileSystem::FileIdentity identity;
};

// Examines one file the journal names in `folder`; false with *failure when the system cannot
// say. A file that holds the run's text stays open, for the change to act on what was checked.
bool examine(FileSystem& files, int folder, const JournalEntry& entry, bool one_line,
             Examined* examined, FileFailure* failure) {
  examined->found = Found::kChanged;
  FileSystem::FileState state;
  int handle = -1;
  if (!files.open_at(folder, entry.file_name, FileSystem::OpenAt::kRepair, &handle, &state,
                     failure)) {
    switch (failure->code) {
      case FileFailure::Code::kNotFound:
        if (entry.created) examined->found = Found::kAsBefore;
        return true;
      case FileFailure::Code::kLink:
      case FileFailure::Code::kNotPlainFile:
      case FileFailure::Code::kIsFolder:
        return true;
      default:
        return false;
    }
  }
  const auto close = [&] {
    FileFailure ignored;
    files.close(handle, &ignored);
  };
  if (state.links != 1 ||
      (!entry.created && (state.identity != entry.identity || state.size < entry.size ||
                          state.size - entry.size > entry.length)) ||
      (entry.created && state.size > entry.length)) {
    close();
    return true;
  }
  std::string bytes;
  if (!entry.created) {
    const std::uint64_t before = std::min<std::uint64_t>(entry.size, kRecognisedBytes);
    if (!files.read_handle(handle, entry.size - before, static_cast<std::size_t>(before), &bytes,
                           failure)) {
      close();
      return false;
    }
    if (bytes.size() != before || text_checksum(bytes) != entry.before_checksum) {
      close();
      return true;
    }
    if (state.size == entry.size) {
      examined->found = Found::kAsBefore;
      close();
      return true;
    }
  }
  const std::uint64_t added = state.size - entry.size;
  if (!files.read_handle(handle, entry.size, static_cast<std::size_t>(added), &bytes, failure)) {
    close();
    return false;
  }
  if (bytes.size() != added || !is_start_of_text(entry, bytes, one_line)) {
    close();
    return true;
  }
  examined->found = Found::kRunsText;
  examined->handle = handle;
  examined->identity = state.identity;
  return true;
}

// Reads the journal through a handle, refusing a link, a file with other names, and (on POSIX
// systems) one that another user owns or can write; *trusted says whether it is such a file.
bool read_journal(FileSystem& files, int folder, std::string* text, bool* trusted,
                  std::string* error) {
  FileSystem::FileState state;
  FileFailure failure;
  int handle = -1;
  *trusted = false;
  if (!files.open_at(folder, kAppendJournalName, FileSystem::OpenAt::kRead, &handle, &state,
                     &failure)) {
    if (failure.code == FileFailure::Code::kLink) return true;
    *error =
        journal_says("cannot read the append journal: " + failure_words(failure)) + kNothingChanged;
    return false;
  }
  *trusted = state.links == 1 && state.private_to_user && state.size <= kLongestJournal;
  bool ok = true;
  // One byte more than its size: a file that grew since is not taken for a whole journal.
  const auto size = static_cast<std::size_t>(state.size) + 1;
  if (*trusted && !files.read_handle(handle, 0, size, text, &failure)) {
    *error =
        journal_says("cannot read the append journal: " + failure_words(failure)) + kNothingChanged;
    ok = false;
  }
  FileFailure ignored;
  files.close(handle, &ignored);
  return ok;
}

// The line of a stop when the journal was set aside.
std::string set_aside_said(const std::string& what, const std::string& moved_to) {
  return what + "; the journal was moved to " + moved_to +
         ", which records where that run began in each file, and no report file was changed";
}

// A file's name as the user knows it: in the working folder, or in the export's folder.
std::string shown_name(const Journal& journal, const JournalEntry& entry) {
  if (!entry.exported || journal.export_folder == ".") return entry.file_name;
  const char last = journal.export_folder.back();
  return journal.export_folder + (last == '/' || last == '\\' ? "" : "/") + entry.file_name;
}

// How the export's folder of a journal was found.
enum class ExportFolder {
  kNone,      // the run wrote no export
  kOpen,      // still the folder the run wrote in, now open
  kGone,      // no longer there, and its files with it
  kReplaced,  // another folder has taken its name
  kFailed,    // the system cannot say
};

ExportFolder open_export_folder(FileSystem& files, const Journal& journal, int* folder,
                                FileFailure* failure) {
  if (journal.export_folder.empty()) return ExportFolder::kNone;
  FileSystem::FileIdentity identity;
  if (!files.open_folder(journal.export_folder, folder, &identity, failure)) {
    return failure->code == FileFailure::Code::kNotFound ? ExportFolder::kGone
                                                         : ExportFolder::kFailed;
  }
  if (identity == journal.export_folder_identity) return ExportFolder::kOpen;
  files.close_folder(*folder);
  *folder = -1;
  return ExportFolder::kReplaced;
}

bool is_one_line(const AppendScope& scope, const Journal& journal, std::size_t i) {
  return std::find(scope.one_line_reports.begin(), scope.one_line_reports.end(), i) !=
             scope.one_line_reports.end() &&
         !journal.entries[i].exported;
}

// The checksum's running state: each word of eight bytes mixed in by a multiplication, the
// length first and the last bytes as a shorter word; the order of the bytes within a word is the
// machine's.
class Checksum {
 public:
  explicit Checksum(std::size_t count) : count_(count), hash_(0x243F6A8885A308D3ull ^ count) {}
  void mix_word_at(const char* bytes) {
    std::uint64_t word;
    std::memcpy(&word, bytes, 8);
    mix(word);
  }
  // Mixes in what is left after the whole words (fewer than eight bytes) and the length.
  std::uint64_t finish(const char* rest, std::size_t rest_count) {
    if (rest_count > 0) {
      std::uint64_t word = 0;
      std::memcpy(&word, rest, rest_count);
      mix(word);
    }
    mix(count_);
    return hash_;
  }

 private:
  static constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  void mix(std::uint64_t word) {
    hash_ = (hash_ ^ word) * kMultiplier;
    hash_ ^= hash_ >> 29;
  }
  std::size_t count_;
  std::uint64_t hash_;
};

// The checksums of four blocks of `count` bytes each, one after another from `bytes`, worked out
// side by side, so that each chain of multiplications waits less on its own: the same values as
// text_checksum gives each block.
void four_checksums(const char* bytes, std::size_t count, std::uint64_t* out) {
  Checksum a(count), b(count), c(count), d(count);
  const std::size_t whole = count - count % 8;
  for (std::size_t at = 0; at < whole; at += 8) {
    a.mix_word_at(bytes + at);
    b.mix_word_at(bytes + count + at);
    c.mix_word_at(bytes + 2 * count + at);
    d.mix_word_at(bytes + 3 * count + at);
  }
  const std::size_t rest = count - whole;
  out[0] = a.finish(bytes + whole, rest);
  out[1] = b.finish(bytes + count + whole, rest);
  out[2] = c.finish(bytes + 2 * count + whole, rest);
  out[3] = d.finish(bytes + 3 * count + whole, rest);
}

}  // namespace

std::uint64_t text_checksum(const char* bytes, std::size_t count) {
  Checksum checksum(count);
  const std::size_t whole = count - count % 8;
  for (std::size_t at = 0; at < whole; at += 8) checksum.mix_word_at(bytes + at);
  return checksum.finish(bytes + whole, count - whole);
}

std::uint64_t text_checksum(const std::string& bytes) {
  return text_checksum(bytes.data(), bytes.size());
}

std::vector<std::uint64_t> block_checksums(const std::string& text, std::uint64_t size) {
  std::vector<std::uint64_t> checksums;
  std::size_t start = 0;
  std::size_t block = static_cast<std::size_t>(kChecksumBlock - size % kChecksumBlock);
  while (start < text.size()) {
    block = std::min(block, text.size() - start);
    if (block == kChecksumBlock && text.size() - start >= 4 * kChecksumBlock) {
      std::uint64_t four[4];
      four_checksums(text.data() + start, block, four);
      checksums.insert(checksums.end(), four, four + 4);
      start += 4 * block;
      continue;
    }
    checksums.push_back(text_checksum(text.data() + start, block));
    start += block;
    block = static_cast<std::size_t>(kChecksumBlock);
  }
  return checksums;
}

bool JournalEntry::operator==(const JournalEntry& other) const {
  return entry_line(*this) == entry_line(other);
}

std::string journal_text(const Journal& journal) {
  std::string text = std::string(kFirstLine) + '\n' + kSecondLine + '\n' + export_line(journal) +
                     '\n' + std::to_string(journal.entries.size()) + '\n';
  for (const JournalEntry& entry : journal.entries) text += entry_line(entry) + '\n';
  return text + kLastLine + '\n';
}

ParsedJournal parse_journal(const std::string& text, const AppendScope& scope) {
  ParsedJournal parsed;
  if (text.size() > kLongestJournal) return parsed;
  const std::vector<std::string> lines = lines_of_text(text);
  if (!lines.back().empty() || lines.size() < 6 || lines[lines.size() - 2] != kLastLine) {
    if (is_start_of_journal(lines)) parsed.kind = ParsedJournal::Kind::kCutShort;
    return parsed;
  }
  // lines: the two first, the export, the count, the entries, the end line and the empty part
  // after it.
  const std::optional<Journal> journal = parse_export_line(lines[2]);
  const std::optional<std::uint64_t> count = number_of(lines[3]);
  if (lines[0] != kFirstLine || lines[1] != kSecondLine || !journal || !count ||
      std::to_string(*count) != lines[3] || *count != lines.size() - 6) {
    return parsed;
  }
  parsed.journal = *journal;
  for (std::size_t i = 4; i + 2 < lines.size(); ++i) {
    const std::optional<JournalEntry> entry = parse_entry(lines[i]);
    if (!entry) return ParsedJournal{};
    parsed.journal.entries.push_back(*entry);
  }
  if (!is_a_runs(parsed.journal, scope)) return ParsedJournal{};
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

bool write_journal(FileSystem& files, int folder, const Journal& journal, std::string* error) {
  const std::string text = journal_text(journal);
  FileFailure failure;
  int handle = -1;
  FileSystem::FileState state;
  if (!files.open_at(folder, kAppendJournalName, FileSystem::OpenAt::kCreatePrivate, &handle,
                     &state, &failure)) {
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
    files.remove_at(folder, kAppendJournalName, state.identity, &ignored);
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

bool repair_stopped_append(FileSystem& files, int folder, const AppendScope& scope,
                           const AppendNote& note, std::string* error) {
  FileSystem::FileState state;
  FileFailure failure;
  if (!files.inspect_at(folder, kAppendJournalName, &state, &failure)) {
    *error = journal_says("cannot check the append journal: " + failure_words(failure)) +
             kNothingChanged;
    return false;
  }
  if (!state.exists && !state.symbolic_link) return true;
  if (!state.symbolic_link && !state.regular) {
    *error = journal_says(
                 "this name is kept for the journal of the report appends but is taken by "
                 "something that is not a plain file (a folder, device or broken link); move it "
                 "out of the working folder and run again") +
             kNothingChanged;
    return false;
  }
  std::string text;
  bool trusted = false;
  if (!read_journal(files, folder, &text, &trusted, error)) return false;
  const ParsedJournal parsed = trusted ? parse_journal(text, scope) : ParsedJournal{};
  const Journal& journal = parsed.journal;
  std::string moved_to;
  if (parsed.kind == ParsedJournal::Kind::kForeign) {
    if (!set_aside(files, &moved_to, error)) return false;
    *error = journal_says(
        "this file is not an append journal that these programs write (it is damaged, edited, "
        "a link, writable by another user, or another program's), so it was not obeyed; it was "
        "moved to " +
        moved_to +
        " and no report file was changed; if a run stopped while writing its reports, look at "
        "the end of each report for a section cut short, then run again");
    return false;
  }
  int export_folder = -1;
  const ExportFolder exports = open_export_folder(files, journal, &export_folder, &failure);
  if (exports == ExportFolder::kFailed) {
    *error = journal.export_folder +
             ": cannot open the export's folder of a run that stopped while writing it: " +
             failure_words(failure) + kTriedAgain;
    return false;
  }
  if (exports == ExportFolder::kReplaced) {
    if (!set_aside(files, &moved_to, error)) return false;
    *error = journal.export_folder +
             set_aside_said(
                 ": a run stopped while writing its export in this folder, but the name now leads "
                 "to another folder, so that run's text was not taken out",
                 moved_to) +
             "; look at the end of each report, take out what that run left if anything, and run "
             "again";
    return false;
  }
  // Every file is examined before any is changed: one that is no longer the run's stops it all.
  std::vector<Examined> examined(journal.entries.size());
  const auto close_all = [&] {
    FileFailure ignored;
    for (const Examined& file : examined) {
      if (file.handle >= 0) files.close(file.handle, &ignored);
    }
    if (export_folder >= 0) files.close_folder(export_folder);
  };
  for (std::size_t i = 0; i < journal.entries.size(); ++i) {
    const JournalEntry& entry = journal.entries[i];
    if (entry.exported && exports == ExportFolder::kGone) continue;
    if (!examine(files, entry.exported ? export_folder : folder, entry,
                 is_one_line(scope, journal, i), &examined[i], &failure)) {
      close_all();
      *error = shown_name(journal, entry) +
               ": cannot check the report of a run that stopped while writing "
               "it: " +
               failure_words(failure) + kTriedAgain;
      return false;
    }
    if (examined[i].found != Found::kChanged) continue;
    close_all();
    if (!set_aside(files, &moved_to, error)) return false;
    *error = shown_name(journal, entry) +
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
    Examined& file = examined[i];
    if (file.found != Found::kRunsText) continue;
    bool ok;
    if (entry.created) {
      files.close(file.handle, &failure);
      file.handle = -1;
      ok = files.remove_at(entry.exported ? export_folder : folder, entry.file_name, file.identity,
                           &failure);
    } else {
      ok = files.truncate_handle(file.handle, entry.size, &failure);
    }
    if (!ok) {
      close_all();
      *error = shown_name(journal, entry) +
               ": cannot put back the report of a run that stopped while writing it: " +
               failure_words(failure) + kTriedAgain;
      return false;
    }
    (entry.created ? removed : cut).push_back(shown_name(journal, entry));
  }
  close_all();
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
