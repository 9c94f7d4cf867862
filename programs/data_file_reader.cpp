#include "programs/data_file_reader.h"

#include <cstdint>
#include <limits>
#include <streambuf>
#include <utility>

#include "programs/word_reader.h"

namespace quorvane {
namespace {

std::string place(int participant, int item) {
  return "row " + std::to_string(participant) + ", item " + std::to_string(item);
}

std::string count_of(long count, const char* one, const char* many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

// A word of several 0s and 1s, such as a row written without blanks: "00110011".
bool is_run_of_responses(const WordReader& reader) {
  if (reader.length() < 2) return false;
  for (const char c : reader.word()) {
    if (c != '0' && c != '1') return false;
  }
  return true;
}

// The note on responses other than 0 and 1, which count as correct.
std::string unusual_note(long unusual, const std::string& first, const std::string& more) {
  return count_of(unusual, " response is", " responses are") +
         " neither 0 nor 1 and counted as correct (the first: " + first + more +
         "); if that is a coding slip, correct the data file and run again";
}

constexpr const char* kWithoutBlanks = "are the responses written without blanks between them?";
constexpr const char* kWhatResponsesAre =
    "; responses are whole numbers (1 correct, 0 missed) separated by blanks, tabs or line breaks";

// What a response field holds.
enum class Response { kNumber, kTooLarge, kDecimal, kDecimalComma, kEmpty, kNotAvailable, kText };

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The marks statistics packages and spreadsheets write for a missing value.
bool is_not_available(std::string_view text) {
  std::string lower;
  for (const char c : text) lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
  return lower == "na" || lower == "n/a" || lower == "#n/a" || lower == "nan" || lower == ".";
}

// Reads a response: a whole number that fits in 32 bits, with an optional sign and an optional
// decimal part of zeros (1.00). In a file whose fields are separated by semicolons a comma is a
// decimal mark, so "1,0" is a decimal number there.
Response response_of(std::string_view text, char separator, int* value) {
  if (text.empty()) return Response::kEmpty;
  if (is_not_available(text)) return Response::kNotAvailable;
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const std::size_t digits = i;
  std::int64_t magnitude = 0;
  bool too_large = false;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    if (!too_large) magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) too_large = true;
  }
  if (i == digits) return Response::kText;
  if (i < text.size()) {
    const char mark = text[i];
    if ((mark != '.' && !(mark == ',' && separator == ';')) || i + 1 == text.size()) {
      return Response::kText;
    }
    bool zeros = true;
    for (std::size_t j = i + 1; j < text.size(); ++j) {
      if (!is_digit(text[j])) return Response::kText;
      zeros = zeros && text[j] == '0';
    }
    if (mark == ',') return Response::kDecimalComma;
    if (!zeros) return Response::kDecimal;
  }
  const std::int64_t signed_value = text[0] == '-' ? -magnitude : magnitude;
  if (too_large || signed_value > std::numeric_limits<int>::max()) return Response::kTooLarge;
  *value = static_cast<int>(signed_value);
  return Response::kNumber;
}

void append_utf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (code >> 6)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | (code >> 12)));
    text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | (code >> 18)));
    text.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool is_utf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8_length_at(text, at);
    if (length == 0) return false;
    at += length;
  }
  return true;
}

// Excel's "CSV (Comma delimited)" on a Western Windows writes Windows-1252.
std::string from_windows_1252(std::string_view bytes) {
  static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                    0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                    0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    append_utf8(text, byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char32_t{byte});
  }
  return text;
}

constexpr const char* kHowToSaveText =
    "save the study as text: in Excel, File > Save As > CSV (Comma delimited) or Text (Tab "
    "delimited); in Notepad, Save As with the encoding UTF-8";

// The line of the file on which byte `at` stands.
long line_at(std::string_view text, std::size_t at) {
  long line = 1;
  for (std::size_t i = 0; i < at && i < text.size(); ++i) {
    if (text[i] == '\r' || (text[i] == '\n' && (i == 0 || text[i - 1] != '\r'))) ++line;
  }
  return line;
}

bool decode_utf16(std::string_view bytes, bool big_endian, std::string* text, std::string* error) {
  if (bytes.size() % 2 != 0) {
    *error =
        "the file is UTF-16 (it starts with a byte-order mark) but ends in the middle of a "
        "character; " +
        std::string(kHowToSaveText);
    return false;
  }
  text->reserve(bytes.size() / 2);
  const auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t code = unit(i);
    if (code >= 0xD800 && code <= 0xDBFF && i + 2 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      *error = "line " + std::to_string(line_at(*text, text->size())) +
               " of the file: the file is UTF-16 (it starts with a byte-order mark) but holds a "
               "broken character; " +
               kHowToSaveText;
      return false;
    }
    append_utf8(*text, code);
  }
  return true;
}

// The file's text in UTF-8 as it was saved (bytes that are not UTF-8 stay as they are): without
// a UTF-8 byte-order mark, and decoded from UTF-16 into *decoded when it starts with that
// byte-order mark; else a part of `bytes`.
bool decode_text(std::string_view bytes, std::string* decoded, std::string_view* text,
                 std::string* error) {
  const auto starts_with = [&](std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
  };
  if (starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
  } else if (starts_with("\xFF\xFE") || starts_with("\xFE\xFF")) {
    if (!decode_utf16(bytes.substr(2), bytes[0] == '\xFE', decoded, error)) return false;
    *text = *decoded;
    return true;
  }
  const std::size_t nul = bytes.find('\0');
  if (nul != std::string_view::npos) {
    // Text in UTF-16 has a NUL byte beside every ASCII character.
    const bool utf16 = bytes.size() >= 2 && (bytes[0] == '\0') != (bytes[1] == '\0');
    *error = "line " + std::to_string(line_at(bytes, nul)) + " of the file: the file is not " +
             (utf16 ? "plain text but UTF-16 without a byte-order mark"
                    : "plain text (it holds NUL bytes, as a binary file or UTF-16 does)") +
             "; " + kHowToSaveText;
    return false;
  }
  *text = bytes;
  return true;
}

struct Field {
  std::string text;
  bool quoted = false;
};

// One line of a table (more, when a quoted field holds a line break): its fields, of which the
// first `count` of `fields` are this record's.
struct Record {
  long line = 0;
  std::size_t count = 0;
  std::vector<Field> fields;
};

// Splits the text into records of fields. The separator ' ' stands for runs of blanks and tabs;
// around every other separator, blanks (and tabs, unless the tab separates) are dropped.
class RecordReader {
 public:
  RecordReader(std::string_view text, char separator) : text_(text), separator_(separator) {}

  // The next record that is not blank (every field empty and unquoted); false at the end of the
  // text, or with *error when a quote opens a field that the file never closes.
  bool next(Record* record, std::string* error) {
    while (at_ < text_.size()) {
      record->line = line_;
      record->count = 0;
      read_record(record);
      if (at_ > text_.size()) {
        *error = "line " + std::to_string(record->line) +
                 " of the file: a quote opens a field that is never closed; close it, or write "
                 "the field without quotes";
        return false;
      }
      for (std::size_t i = 0; i < record->count; ++i) {
        if (!record->fields[i].text.empty() || record->fields[i].quoted) return true;
      }
    }
    return false;
  }

 private:
  bool is_blank(char c) const {
    return c == ' ' || c == '\v' || c == '\f' || (c == '\t' && separator_ != '\t');
  }
  bool at_line_end() const { return text_[at_] == '\n' || text_[at_] == '\r'; }
  bool ends_field() const {
    return at_ == text_.size() || at_line_end() ||
           (separator_ == ' ' ? is_blank(text_[at_]) : text_[at_] == separator_);
  }
  void skip_blanks() {
    while (at_ < text_.size() && is_blank(text_[at_])) ++at_;
  }
  void end_line() {
    if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
    ++at_;
    ++line_;
  }

  void read_record(Record* record) {
    for (;;) {
      skip_blanks();
      if (separator_ == ' ' && (at_ == text_.size() || at_line_end())) break;
      if (record->count == record->fields.size()) record->fields.emplace_back();
      Field& field = record->fields[record->count++];
      field.text.clear();
      field.quoted = at_ < text_.size() && text_[at_] == '"';
      if (field.quoted && !read_quoted(&field.text)) return;
      while (!ends_field()) field.text.push_back(text_[at_++]);
      while (!field.text.empty() && is_blank(field.text.back())) field.text.pop_back();
      if (at_ == text_.size()) return;
      if (at_line_end()) break;
      ++at_;  // the separator
    }
    if (at_ < text_.size()) end_line();
  }

  // Reads a quoted field's text past its closing quote; false (and at_ past the end) when the
  // text ends first.
  bool read_quoted(std::string* text) {
    for (++at_; at_ < text_.size(); ++at_) {
      const char c = text_[at_];
      if (c == '"') {
        if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
          text->push_back('"');
          ++at_;
          continue;
        }
        ++at_;
        return true;
      }
      if (c == '\r' || (c == '\n' && (at_ == 0 || text_[at_ - 1] != '\r'))) ++line_;
      text->push_back(c);
    }
    at_ = text_.size() + 1;
    return false;
  }

  std::string_view text_;
  char separator_;
  std::size_t at_ = 0;
  long line_ = 1;
};

// The file's separator, from its first line that holds anything: a semicolon, else a comma, else
// a tab found outside quotes; ' ' (white space) when there is none.
char separator_of(std::string_view text) {
  bool quoted = false;
  bool seen = false;
  char found = ' ';
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\n' || c == '\r') {
      if (seen) break;
      continue;
    }
    if (c != ' ' && c != '\t') seen = true;
    if (c == ';') return ';';
    if (c == ',') found = ',';
    if (c == '\t' && found == ' ') found = '\t';
  }
  return found;
}

Response kind_of(const Field& field, char separator) {
  int value = 0;
  return response_of(field.text, separator, &value);
}

// How the table is laid out, found from its first two records.
struct Layout {
  bool table = false;   // one participant per record
  bool header = false;  // the first record names the columns
  bool labels = false;  // the first field of every data record names its participant
};

bool starts_with_label(const Record& record, char separator) {
  if (record.count < 2) return false;
  if (kind_of(record.fields[0], separator) == Response::kText) return true;
  // R writes row names in quotes and numbers without.
  if (!record.fields[0].quoted) return false;
  for (std::size_t i = 1; i < record.count; ++i) {
    if (!record.fields[i].quoted) return true;
  }
  return false;
}

// Whether a column's name is one given to participants' numbers: "", "ID", "Subject", "VP",
// "participant_id", ...
bool names_participants(std::string_view name) {
  std::string lower;
  for (const char c : name) {
    if (c != ' ' && c != '_' && c != '.' && c != '-') {
      lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    }
  }
  for (const char* word : {"", "#", "id", "no", "nr", "number", "case", "code", "label", "name",
                           "person", "row", "vp", "subj", "pid", "sid"}) {
    if (lower == word) return true;
  }
  for (const char* start : {"participant", "subject", "respondent", "proband", "student"}) {
    if (lower.rfind(start, 0) == 0) return true;
  }
  return false;
}

Layout layout_of(const Record* first, const Record* second, char separator) {
  Layout layout;
  if (first == nullptr) return layout;
  layout.labels = starts_with_label(second != nullptr ? *second : *first, separator);
  const auto holds = [&](const Record& record, bool text) {
    for (std::size_t i = layout.labels ? 1 : 0; i < record.count; ++i) {
      const Response kind = kind_of(record.fields[i], separator);
      if ((kind == Response::kText) == text && kind != Response::kEmpty) return true;
    }
    return false;
  };
  layout.header = second != nullptr && holds(*first, true) && holds(*second, false);
  // A file of one line of names alone holds column names and no responses.
  if (second == nullptr && !holds(*first, false)) {
    layout.labels = false;
    layout.header = true;
  }
  // R's write.csv names the column of row names "", others name a column of participant
  // numbers so.
  if (layout.header && !layout.labels && first->count > 1 &&
      names_participants(first->fields[0].text) && second != nullptr &&
      second->count == first->count) {
    layout.labels = true;
  }
  bool quotes = false;
  for (const Record* record : {first, second}) {
    for (std::size_t i = 0; record != nullptr && i < record->count; ++i) {
      quotes = quotes || record->fields[i].quoted;
    }
  }
  layout.table = separator == ',' || separator == ';' || layout.header || layout.labels || quotes;
  return layout;
}

// The first few texts of a column or a line, for a note.
std::string some_of(const std::vector<std::string>& texts, bool utf8) {
  std::string shown;
  for (std::size_t i = 0; i < texts.size() && i < 3; ++i) {
    shown += (i == 0 ? "" : ", ") + shown_name(utf8 ? texts[i] : from_windows_1252(texts[i]));
  }
  return shown + (texts.size() > 3 ? ", ..." : "");
}

// A stream over text in memory, without a copy. Reading never writes to the text: a get area
// is written only by putting back another character than the one read, which fails here.
class TextBuffer : public std::streambuf {
 public:
  explicit TextBuffer(std::string_view text) {
    char* start = const_cast<char*>(text.data());
    setg(start, start, start + text.size());
  }
};

std::string line_of(const Record& record) {
  return "line " + std::to_string(record.line) + " of the file";
}

// What is wrong with a field that is not a response, and what responses are.
std::string why_not(Response kind, const std::string& text) {
  const std::string found = "found " + shown_name(text);
  const char* const kWhole = "; responses are whole numbers (1 correct, 0 missed)";
  const char* const kNeeded = "; every item needs a response (0 or 1) from every participant";
  switch (kind) {
    case Response::kEmpty:
      return std::string("the response is empty") + kNeeded;
    case Response::kNotAvailable:
      return found + ", no response" + kNeeded;
    case Response::kDecimal:
      return found + ", a decimal number" + kWhole;
    case Response::kDecimalComma:
      return found +
             ", a decimal number (in a file whose fields are separated by semicolons a comma is "
             "a decimal mark)" +
             kWhole;
    case Response::kTooLarge:
      return found + ", a number too large for a response" + kWhole;
    case Response::kNumber:
    case Response::kText:
      break;
  }
  return found + " where a response was expected" + kWhole;
}

// One participant per record, each with the same number of responses.
bool read_table(std::string_view text, char separator, const Layout& layout,
                const std::optional<StudyShape>& typed, StudyData* study, std::string* error) {
  const bool utf8 = is_utf8(text);
  RecordReader reader(text, separator);
  Record record;
  std::vector<std::string> column_names;
  if (layout.header && reader.next(&record, error)) {
    for (std::size_t i = layout.labels ? 1 : 0; i < record.count; ++i) {
      column_names.push_back(record.fields[i].text);
    }
  }
  std::vector<unsigned char> missed;
  std::vector<std::string> labels;
  int rows = 0;
  int items = -1;
  long first_line = 0;
  long unusual = 0;
  std::string first_unusual;
  const std::size_t start = layout.labels ? 1 : 0;
  while (reader.next(&record, error)) {
    if (rows == kLargestCount) {
      *error = line_of(record) + ": the file holds more than " + std::to_string(kLargestCount) +
               " participants' lines, the most a study takes";
      return false;
    }
    const long count = static_cast<long>(record.count) - static_cast<long>(start);
    if (items < 0) {
      if (count > kLargestCount || count < 1) {
        *error = line_of(record) + ": it holds " + std::to_string(count) +
                 " responses; a study has from 1 to " + std::to_string(kLargestCount) + " items";
        return false;
      }
      items = static_cast<int>(count);
      first_line = record.line;
    } else if (count != items) {
      *error = line_of(record) + " holds " + count_of(count, " response", " responses") +
               ", but line " + std::to_string(first_line) + " (the first participant's) holds " +
               std::to_string(items) +
               ": every line holds one participant's responses, one per item" +
               (layout.table ? "" : " (as in a data file named on the command line)") +
               "; correct line " + std::to_string(record.line);
      return false;
    }
    ++rows;
    if (layout.labels) {
      labels.push_back(utf8 ? record.fields[0].text : from_windows_1252(record.fields[0].text));
    }
    for (int item = 1; item <= items; ++item) {
      const Field& field = record.fields[start + static_cast<std::size_t>(item) - 1];
      int value = 0;
      const Response kind = response_of(field.text, separator, &value);
      if (kind != Response::kNumber) {
        *error = place(rows, item) + " (" + line_of(record) + "): " + why_not(kind, field.text);
        return false;
      }
      if (value != 0 && value != 1 && unusual++ == 0) {
        first_unusual = place(rows, item) + " holds " + std::to_string(value);
      }
      missed.push_back(value == 0 ? 1 : 0);
    }
  }
  if (!error->empty()) return false;
  if (rows == 0) {
    *error =
        "the file holds no responses; each line of the file holds one participant's "
        "responses, 1 for correct and 0 for missed";
    return false;
  }
  if (typed && (typed->participants != rows || typed->items != items)) {
    *error = "the file holds " + count_of(rows, " row", " rows") + " of " +
             count_of(items, " response", " responses") + " (one participant per line), not " +
             std::to_string(typed->participants) + " participants by " +
             std::to_string(typed->items) + " items; type " + std::to_string(rows) + " and " +
             std::to_string(items) + " at the prompts, or correct the file";
    return false;
  }
  study->matrix = ResponseMatrix(rows, items);
  std::size_t at = 0;
  for (int participant = 1; participant <= rows; ++participant) {
    for (int item = 1; item <= items; ++item) {
      study->matrix.set_response(participant, item, missed[at++] != 0 ? 0 : 1);
    }
  }
  study->labels = std::move(labels);
  if (layout.header) {
    study->notes.push_back("the first line was taken as the names of the columns (" +
                           some_of(column_names, utf8) + "), not as responses");
  }
  if (layout.labels) {
    study->notes.push_back("the first column was taken as the participants' labels (" +
                           some_of(study->labels, true) + "), not as responses");
  }
  if (unusual > 0) study->notes.push_back(unusual_note(unusual, first_unusual, ""));
  return true;
}

}  // namespace

bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          std::string* error) {
  const int participants = matrix.participants();
  const int items = matrix.items();
  WordReader reader(data);
  long unusual = 0;
  std::string first_unusual;
  std::string first_run;  // where a word looked like several responses run together
  for (int participant = 1; participant <= participants; ++participant) {
    for (int item = 1; item <= items; ++item) {
      const WordReader::Next next = reader.next();
      if (next == WordReader::Next::kEnd) {
        const long read = static_cast<long>(participant - 1) * items + item - 1;
        *error = place(participant, item) + ": the file ends after " + std::to_string(read) +
                 " of the " + std::to_string(static_cast<long>(participants) * items) +
                 " responses of " + count_of(participants, " participant", " participants") +
                 " by " + count_of(items, " item", " items") +
                 (first_run.empty() ? "" : " (" + first_run + ": " + kWithoutBlanks + ")") +
                 "; complete the file, or type the numbers of rows and columns it holds";
        return false;
      }
      int value = 0;
      WholeNumber parsed = next == WordReader::Next::kWord ? parse_whole_number(reader, &value)
                                                           : WholeNumber::kNotNumber;
      // Statistics packages write 1.00 for 1.
      if (parsed == WholeNumber::kNotNumber && next == WordReader::Next::kWord && reader.whole()) {
        if (response_of(reader.word(), ',', &value) == Response::kNumber) {
          parsed = WholeNumber::kNumber;
        }
      }
      if (parsed != WholeNumber::kNumber) {
        std::string what = " where a response was expected";
        if (parsed == WholeNumber::kTooLarge) {
          what = ", a number too large for a response";
          if (is_run_of_responses(reader)) what += std::string(" (") + kWithoutBlanks + ")";
        }
        *error = place(participant, item) + " (line " + std::to_string(reader.line()) +
                 " of the file): found " + reader.found() + what + kWhatResponsesAre;
        return false;
      }
      if (first_run.empty() && is_run_of_responses(reader)) {
        first_run = place(participant, item) + " holds " + reader.shown();
      }
      if (value != 0 && value != 1 && unusual++ == 0) {
        first_unusual = place(participant, item) + " holds " + std::to_string(value);
      }
      matrix.set_response(participant, item, value);
    }
  }
  long extra = 0;
  long first_extra_line = 0;
  WordReader::Next next = WordReader::Next::kWord;
  // Counting stops past kMostExtraValues: a file holding more is not this study's.
  while (extra <= kMostExtraValues && (next = reader.next()) == WordReader::Next::kWord) {
    if (extra++ == 0) first_extra_line = reader.line();
  }
  if (next == WordReader::Next::kWordTooLong || next == WordReader::Next::kTooManyBlanks) {
    *error = "line " + std::to_string(reader.line()) + " of the file, after the " +
             std::to_string(participants) + " x " + std::to_string(items) + " responses: found " +
             reader.found() +
             "; check that the file is the study's and the numbers of participants and items "
             "typed";
    return false;
  }
  if (unusual > 0) {
    notes->push_back(unusual_note(
        unusual, first_unusual, first_run.empty() ? "" : "; " + first_run + ": " + kWithoutBlanks));
  }
  if (extra > 0) {
    notes->push_back("the data file holds " +
                     (extra > kMostExtraValues
                          ? "more than " + std::to_string(kMostExtraValues) + " more values"
                          : count_of(extra, " more value", " more values")) +
                     " after the " + std::to_string(participants) + " x " + std::to_string(items) +
                     " responses read (the first on line " + std::to_string(first_extra_line) +
                     "), ignored; check the numbers of participants and items typed");
  }
  return true;
}

bool read_data_file(std::string_view bytes, const std::optional<StudyShape>& typed,
                    StudyData* study, std::string* error) {
  error->clear();
  std::string decoded;
  std::string_view text;
  if (!decode_text(bytes, &decoded, &text, error)) return false;
  const char separator = separator_of(text);
  RecordReader reader(text, separator);
  Record first;
  Record second;
  const bool has_first = reader.next(&first, error);
  const bool has_second = has_first && reader.next(&second, error);
  if (!error->empty()) return false;
  Layout layout =
      layout_of(has_first ? &first : nullptr, has_second ? &second : nullptr, separator);
  if (!layout.table && typed) {
    // Bare numbers with the study's shape typed: read as they always were.
    study->matrix = ResponseMatrix(typed->participants, typed->items);
    TextBuffer buffer(text);
    std::istream data(&buffer);
    return load(data, study->matrix, &study->notes, error);
  }
  // Bare numbers without: one participant per line, whatever white space separates them.
  return read_table(text, layout.table ? separator : ' ', layout, typed, study, error);
}

}  // namespace quorvane
