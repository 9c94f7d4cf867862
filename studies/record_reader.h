#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "studies/study.h"

namespace quorvane {

// A field of a record: its text (without the quotes around it, "" as one quote) and whether it
// was quoted.
struct Field {
  std::string_view text;
  bool quoted = false;
};

// One line of a table (more, when a quoted field holds a line break) and its `count` fields. A
// field whose text stands in the file as it is (no quotes, no byte-order mark inside) is found
// there; the others' texts are held one after another in one string of the record's own.
class Record {
 public:
  long line = 0;
  std::size_t count = 0;

  // Field i, counted from 0, while the record is not changed and the text it was read from lives.
  Field field(std::size_t i) const {
    const Slot& slot = slots_[i];
    const char* const base = slot.own != 0 ? texts_.data() : source_;
    return {std::string_view(base + slot.start, slot.size), slot.quoted != 0};
  }

 private:
  friend class RecordReader;

  // A data file is never larger than kLargestDataFile, far below 4 GB.
  struct Slot {
    std::uint32_t start;  // in the text read, or in texts_ where own
    std::uint32_t size;
    std::uint8_t quoted;
    std::uint8_t own;
  };

  const char* source_ = nullptr;
  std::string texts_;
  std::vector<Slot> slots_;
};

// Splits the text into records of fields. The separator ' ' stands for runs of blanks and tabs;
// around every other separator, blanks (and tabs, unless the tab separates) are dropped.
// Byte-order marks are skipped wherever they stand. In a quoted field "" is a quote, and so is \"
// where blanks separate the fields (as R's write.table writes them).
class RecordReader {
 public:
  // Calls `pause` (when given) after each kReadingPiece bytes of records.
  RecordReader(std::string_view text, char separator, const ReadingPause* pause = nullptr)
      : text_(text), separator_(separator), pause_(pause) {}

  // The next record that is not blank (every field empty and unquoted); false at the end of the
  // text, or with *refusal when a quote opens a field that the file never closes.
  bool next(Record* record, Refusal* refusal);

 private:
  bool is_blank(char c) const {
    return c == ' ' || c == '\v' || c == '\f' || (c == '\t' && separator_ != '\t');
  }
  bool at_line_end() const { return text_[at_] == '\n' || text_[at_] == '\r'; }
  bool ends_field() const {
    return at_ == text_.size() || at_line_end() ||
           (separator_ == ' ' ? is_blank(text_[at_]) : text_[at_] == separator_);
  }
  void skip_blanks();
  void end_line();
  void read_record(Record* record);
  bool read_quoted(std::string* text);

  std::string_view text_;
  char separator_;
  const ReadingPause* pause_;
  std::size_t at_ = 0;
  std::size_t next_pause_ = kReadingPiece;
  long line_ = 1;
};

// The file's separator, from its first line that holds anything: a semicolon, else a comma, else
// a tab found outside quotes; ' ' (white space) when there is none.
char separator_of(std::string_view text);

}  // namespace quorvane
