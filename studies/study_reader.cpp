#include <algorithm>
#include <streambuf>
#include <utility>

#include "studies/bare_numbers.h"
#include "studies/record_reader.h"
#include "studies/response_field.h"
#include "studies/study.h"
#include "studies/table_layout.h"
#include "studies/text_decoding.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

// The first few texts of a column or a line, for a note.
std::string some_of(const std::vector<std::string>& texts, bool utf8) {
  std::string shown;
  for (std::size_t i = 0; i < texts.size() && i < 3; ++i) {
    shown += (i == 0 ? "" : ", ") + shown_name(utf8 ? texts[i] : from_windows_1252(texts[i]));
  }
  return shown + (texts.size() > 3 ? ", ..." : "");
}

// A stream over text in memory without its byte-order marks, and without a copy: each piece
// between two marks, of at most kReadingPiece bytes, is a get area in turn, and `pause` (when
// given) is called between them. Reading never writes to the text: a get area is written only by
// putting back another character than the one read, which fails here.
class TextBuffer : public std::streambuf {
 public:
  TextBuffer(std::string_view text, const ReadingPause& pause) : text_(text), pause_(pause) {
    piece_from(0);
  }

 protected:
  int_type underflow() override {
    while (gptr() == egptr()) {
      const auto end = static_cast<std::size_t>(egptr() - text_.data());
      if (end >= text_.size()) return traits_type::eof();
      if (pause_) pause_();
      piece_from(mark_at(text_, end) ? end + kByteOrderMark.size() : end);
    }
    return traits_type::to_int_type(*gptr());
  }

 private:
  void piece_from(std::size_t start) {
    start = std::min(start, text_.size());
    // A mark that starts within the piece ends it, though it may end beyond it; one that starts
    // right after it starts the next. The search goes no further, so that it reads each byte once.
    const std::string_view ahead = text_.substr(start, kReadingPiece + kByteOrderMark.size() - 1);
    const std::size_t mark = ahead.find(kByteOrderMark);
    const std::size_t end =
        start + (mark != std::string_view::npos ? mark : std::min(ahead.size(), kReadingPiece));
    char* base = const_cast<char*>(text_.data());
    setg(base + start, base + start, base + end);
  }

  std::string_view text_;
  const ReadingPause& pause_;
};

std::string line_of(const Record& record) {
  return "line " + std::to_string(record.line) + " of the file";
}

bool refuse(const Record& record, std::string fix, std::string message, Refusal* refusal) {
  refusal->line = record.line;
  refusal->fix = std::move(fix);
  refusal->message = std::move(message);
  return false;
}

// The responses of participant `row`, the record's fields from `start` on, one per item; counts
// those that are neither 0 nor 1. Called once per record rather than a loop inside read_table's,
// for WebAssembly (see add_groups in simulation/set_scores.cpp).
[[gnu::noinline]] bool read_responses(const Record& record, std::size_t start, char separator,
                                      int row, Study* study, long* unusual,
                                      std::string* first_unusual, Refusal* refusal) {
  const int items = study->responses.items();
  for (int item = 1; item <= items; ++item) {
    const Field field = record.field(start + static_cast<std::size_t>(item) - 1);
    int value = 0;
    const Response kind = response_of(field.text, separator, &value);
    if (kind != Response::kNumber) {
      const NotAResponse why = why_not(kind, std::string(field.text));
      refusal->row = row;
      refusal->item = item;
      refusal->found = why.found;
      return refuse(
          record, why.fix,
          place(row, item) + " (" + line_of(record) + "): " + why.problem + "; " + why.fix,
          refusal);
    }
    if (value != 0 && value != 1 && (*unusual)++ == 0) {
      *first_unusual = place(row, item) + " holds " + std::to_string(value);
    }
    study->responses.set_response(row, item, value);
  }
  return true;
}

// One participant per record, each with the same number of responses. *other_shape is set when
// the table's shape is not the one typed.
bool read_table(std::string_view text, char separator, const Layout& layout,
                const std::optional<StudyShape>& typed, const ReadingPause& pause, Study* study,
                Refusal* refusal, bool* other_shape) {
  const bool utf8 = is_utf8(text, pause);
  if (!utf8) study->reading.encoding = StudyReading::Encoding::kWindows1252;
  study->reading.separator = separator;
  RecordReader reader(text, separator, &pause);
  Record record;
  std::vector<std::string> column_names;
  if (layout.header && reader.next(&record, refusal)) {
    study->reading.column_names_line = record.line;
    for (std::size_t i = layout.start - (layout.row_names ? 1 : 0); i < record.count; ++i) {
      column_names.emplace_back(record.field(i).text);
    }
  }
  std::vector<std::string> labels;
  int rows = 0;
  int items = -1;
  long first_line = 0;
  long unusual = 0;
  std::string first_unusual;
  const std::size_t start = layout.start;
  while (reader.next(&record, refusal)) {
    if (rows == kLargestCount) {
      return refuse(record, "",
                    line_of(record) + ": the file holds more than " +
                        std::to_string(kLargestCount) +
                        " participants' lines, the most a study takes",
                    refusal);
    }
    const long count = static_cast<long>(record.count) - static_cast<long>(start);
    if (items < 0) {
      if (count > kLargestCount || count < 1) {
        return refuse(record, "",
                      line_of(record) + ": it holds " + std::to_string(count) +
                          " responses; a study has from 1 to " + std::to_string(kLargestCount) +
                          " items",
                      refusal);
      }
      items = static_cast<int>(count);
      first_line = record.line;
      // Each line holds at least a character and a separator or line end per response, so
      // that room for this many participants is never too little, and never much too much.
      const std::size_t most_rows = (text.size() + 1) / (2 * static_cast<std::size_t>(items)) + 1;
      study->responses = ResponseMatrix::without_participants(
          items, static_cast<int>(std::min<std::size_t>(most_rows, kLargestCount)));
    } else if (count != items) {
      const std::string fix = "correct line " + std::to_string(record.line);
      return refuse(record, fix,
                    line_of(record) + " holds " + count_of(count, " response", " responses") +
                        ", but line " + std::to_string(first_line) +
                        " (the first participant's) holds " + std::to_string(items) +
                        ": every line holds one participant's responses, one per item" +
                        (layout.table ? "" : " (as in a data file named on the command line)") +
                        "; " + fix,
                    refusal);
    }
    ++rows;
    study->responses.add_participant();
    if (layout.labels) {
      const std::string_view label = record.field(start - 1).text;
      labels.push_back(utf8 ? std::string(label) : from_windows_1252(label));
    }
    if (!read_responses(record, start, separator, rows, study, &unusual, &first_unusual, refusal)) {
      return false;
    }
  }
  if (!refusal->message.empty()) return false;
  if (rows == 0) {
    refusal->message =
        "the file holds no responses; each line of the file holds one participant's "
        "responses, 1 for correct and 0 for missed";
    return false;
  }
  if (typed && (typed->participants != rows || typed->items != items)) {
    *other_shape = true;
    refusal->fix = "type " + std::to_string(rows) + " and " + std::to_string(items) +
                   " at the prompts, or correct the file";
    refusal->message = "the file holds " + count_of(rows, " row", " rows") + " of " +
                       count_of(items, " response", " responses") +
                       " (one participant per line), not " + std::to_string(typed->participants) +
                       " participants by " + std::to_string(typed->items) + " items; " +
                       refusal->fix;
    return false;
  }
  study->labels = std::move(labels);
  study->reading.label_column = layout.labels;
  std::vector<std::string>& notes = study->reading.notes;
  if (layout.header) {
    notes.push_back("the first line was taken as the names of the columns (" +
                    some_of(column_names, utf8) + "), not as responses");
  }
  if (layout.row_names) {
    notes.push_back(
        "the first column, without a name in the first line, was taken as R's row names, not as "
        "responses");
  }
  if (layout.labels) {
    notes.push_back(std::string("the ") + (layout.row_names ? "second" : "first") +
                    " column was taken as the participants' labels (" +
                    some_of(study->labels, true) + "), not as responses");
  }
  if (unusual > 0) notes.push_back(unusual_note(unusual, first_unusual, ""));
  return true;
}

bool read_study(std::string_view bytes, const std::optional<StudyShape>& typed,
                const ReadingPause& pause, Study* study, Refusal* refusal) {
  std::string decoded;
  std::string_view text;
  if (!decode_text(bytes, &decoded, &text, &study->reading, refusal, pause)) return false;
  const std::string marks = inner_marks_note(text, pause);
  if (!marks.empty()) study->reading.notes.push_back(marks);
  const char separator = separator_of(text);
  std::vector<Record> records;
  {
    RecordReader reader(text, separator);
    Record record;
    while (records.size() < kSampledRecords && reader.next(&record, refusal)) {
      records.push_back(record);
    }
    if (!refusal->message.empty()) return false;
  }
  LayoutChoice choice;
  if (!choose_layout(records, separator, &choice, refusal)) return false;
  records.clear();
  const auto bare_numbers = [&] {
    // Bare numbers with the study's shape typed: read as they always were.
    study->reading.bare_numbers = true;
    study->responses = ResponseMatrix(typed->participants, typed->items);
    TextBuffer buffer(text, pause);
    std::istream data(&buffer);
    return load(data, study->responses, &study->reading.notes, refusal);
  };
  if (!choice.layout.table && typed) return bare_numbers();
  if (choice.other && !typed) {
    *refusal = choice.question;
    return false;
  }
  // Bare numbers without: one participant per line, whatever white space separates them.
  const StudyReading initial = study->reading;
  bool other_shape = false;
  const Layout& layout = choice.layout;
  if (read_table(text, layout.table ? separator : ' ', layout, typed, pause, study, refusal,
                 &other_shape)) {
    return true;
  }
  if (!other_shape) return false;
  // The numbers typed choose between two readings the file leaves open.
  if (choice.other) {
    const Layout& other = *choice.other;
    Refusal second;
    bool second_shape = false;
    study->reading = initial;
    if (read_table(text, other.table ? separator : ' ', other, typed, pause, study, &second,
                   &second_shape)) {
      return true;
    }
    if (!second_shape) {
      *refusal = second;
      return false;
    }
  }
  // A file read as bare numbers until its numbers made it a table stays so with the numbers
  // typed.
  if (layout.from_numbers) {
    *refusal = Refusal{};
    study->reading = initial;
    return bare_numbers();
  }
  return false;
}

}  // namespace

StudyLoad load_study(std::string_view bytes, const std::optional<StudyShape>& typed,
                     const ReadingPause& pause) {
  StudyLoad outcome;
  Study study;
  if (read_study(bytes, typed, pause, &study, &outcome.refusal)) outcome.study = std::move(study);
  return outcome;
}

}  // namespace quorvane
