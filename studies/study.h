#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulation/response_matrix.h"

namespace quorvane {

// A study read from a data file's bytes, or why the file cannot be one: no console, clock or file
// system, so that every front end (the console programs, the web page, the R package) reads
// files alike and words the outcome its own way.

// The largest study a run takes: 10,000 participants by 10,000 items.
inline constexpr int kLargestCount = 10000;
// A data file larger than this is not a study's (10,000 by 10,000 responses written as "1.00;"
// take 500,000,000 bytes).
inline constexpr std::size_t kLargestDataFile = std::size_t{600} << 20;
// Values after the responses are counted up to this many; a note says "more than" beyond it.
inline constexpr long kMostExtraValues = 100000;

// The numbers of participants and items typed at the prompts.
struct StudyShape {
  int participants = 0;
  int items = 0;
};

// How a data file was read.
struct StudyReading {
  enum class Encoding { kUtf8, kUtf8WithMark, kUtf16LittleEndian, kUtf16BigEndian, kWindows1252 };
  Encoding encoding = Encoding::kUtf8;
  // Between the responses of a record: ',', ';' or '\t'; ' ' for any white space.
  char separator = ' ';
  // Bare numbers read in the shape typed, line breaks meaningless; else one participant per
  // record.
  bool bare_numbers = false;
  // The line of the file taken as the columns' names, 0 when none was.
  long column_names_line = 0;
  // Whether the first column was taken as the participants' labels.
  bool label_column = false;
  // One line for each thing worth saying that does not stop a run, in the words the programs
  // give it after the file's name.
  std::vector<std::string> notes;
};

// The study a run computes.
struct Study {
  // The data file's name as its user gave it: messages and the export name the study so. Front
  // ends set it; load_study leaves it empty.
  std::string file_name;
  ResponseMatrix responses{0, 0};
  // Participant 1's label first, when the file's first column named them; else empty.
  std::vector<std::string> labels;
  StudyReading reading;
};

// Why a file cannot be the study. The fields that do not apply are 0 or empty.
struct Refusal {
  long line = 0;  // the line of the file where it went wrong, counted from 1
  int row = 0;    // the participant, counted from 1
  int item = 0;   // the item, counted from 1
  // What stood where a response or a mark was expected, as messages show it ("'1.5'").
  std::string found;
  // What to do about it ("correct line 7").
  std::string fix;
  // All of the above in one line, as the programs say it after the file's name.
  std::string message;
};

// The outcome of load_study: a study, or else the refusal.
struct StudyLoad {
  std::optional<Study> study;
  Refusal refusal;

  bool loaded() const { return study.has_value(); }
};

// A file's first bytes that tell a workbook or another program's data file from text.
inline constexpr std::size_t kFormatBytes = 4096;

// The refusal of a file in a format no study is written in (a workbook, a statistics package's
// or R's data file, an archive), recognised by its first bytes (at least the first kFormatBytes
// of the file, or all of a shorter one), which names the format and how to save the study as
// text; none for any other. load_study refuses these too: a front end that asks questions calls
// this first, so that it refuses such a file before asking them.
std::optional<Refusal> refusal_of_format(std::string_view first_bytes);

// Reads a data file from its bytes, in one pass that never writes to them (they may be a mapped
// file). It takes the file as researchers save it:
// - whole numbers separated by white space, line breaks meaningless, when `typed` is given;
// - a table: fields separated by commas, semicolons or tabs, in double quotes or not ("" is a
//   quote inside), a first line of column names, a first column of participant labels; one
//   participant per line, each with the same number of responses;
// - a response written with a decimal part of zeros (1.00) as the whole number;
// - UTF-8 with or without a byte-order mark, UTF-16 with one or without, or (bytes that are not
//   UTF-8) Windows-1252; LF, CR LF or CR line ends; blank lines skipped; a byte-order mark inside
//   the file skipped, with a note.
// With `typed`, the study is typed.participants by typed.items, and a table of another shape is
// refused; without, a table's rows and responses per row give the study (a file of bare numbers
// then holds one participant per line).
//
// `pause`, where given, is called each time the reading has gone through about kReadingPiece
// more bytes: a front end whose bytes are a file mapped into memory lets go of the pages read so
// far, which the system gives again from the file should they be read again.
using ReadingPause = std::function<void()>;
inline constexpr std::size_t kReadingPiece = std::size_t{1} << 20;
StudyLoad load_study(std::string_view bytes, const std::optional<StudyShape>& typed,
                     const ReadingPause& pause = {});

}  // namespace quorvane
