#pragma once

#include <cstddef>
#include <istream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "simulation/response_matrix.h"

namespace quorvane {

// Values after the responses are counted up to this many; a note says "more than" beyond it.
inline constexpr long kMostExtraValues = 100000;
// The largest study a run takes: 10,000 participants by 10,000 items.
inline constexpr int kLargestCount = 10000;
// A data file is read whole; one larger than this is not a study's (10,000 by 10,000 responses
// written as "1.00;" take 500,000,000 bytes).
inline constexpr std::size_t kLargestDataFile = std::size_t{600} << 20;

// The numbers of participants and items typed at the prompts.
struct StudyShape {
  int participants = 0;
  int items = 0;
};

// What a data file holds: the responses, the participants' labels when its first column had
// them (participant 1's first), and a line for each thing worth saying that does not stop a run.
struct StudyData {
  ResponseMatrix matrix{0, 0};
  std::vector<std::string> labels;
  std::vector<std::string> notes;
};

// Reads a data file from its bytes alone: no console, clock or file system, so that any front end
// can use it. It takes the file as researchers save it:
// - whole numbers separated by white space, line breaks meaningless (read exactly as load reads
//   them when `typed` is given);
// - a table: fields separated by commas, semicolons or tabs, in double quotes or not ("" is a
//   quote inside), a first line of column names, a first column of participant labels; one
//   participant per line, each with the same number of responses;
// - a response written with a decimal part of zeros (1.00) as the whole number;
// - UTF-8 with or without a byte-order mark, UTF-16 with one, or (bytes that are not UTF-8)
//   Windows-1252; LF, CR LF or CR line ends; blank lines skipped.
// With `typed`, the study is typed.participants by typed.items, and a table of another shape is
// refused; without, a table's rows and responses per row give the study (a file of bare numbers
// then holds one participant per line). Returns false with one line in *error (the row, item and
// line where it went wrong, and how to fix it) when the file cannot be the study.
bool read_data_file(std::string_view bytes, const std::optional<StudyShape>& typed,
                    StudyData* study, std::string* error);

// Loads the responses of a file of bare numbers into `matrix`: N x M whole numbers separated by any
// white space, participant 1's M responses first. Line breaks carry no meaning.
//
// Returns false, with *error saying where (row, item and line of the file) and what was found,
// when a response is missing or is not a whole number, or when the file holds a word or a run of
// blanks longer than any study's (see WordReader). Otherwise returns true and adds to *notes
// one line for each kind of slip that does not stop a run: responses other than 0 and 1 (which
// count as correct) and values after the last response (which are ignored).
bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          std::string* error);

}  // namespace quorvane
