#include "programs/data_file_reader.h"

#include "programs/word_reader.h"

namespace quorvane {
namespace {

std::string place(int participant, int item) {
  return "row " + std::to_string(participant) + ", item " + std::to_string(item);
}

std::string count_of(long count, const char* one, const char* many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

}  // namespace

bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          std::string* error) {
  const int participants = matrix.participants();
  const int items = matrix.items();
  WordReader reader(data);
  long unusual = 0;
  std::string first_unusual;
  for (int participant = 1; participant <= participants; ++participant) {
    for (int item = 1; item <= items; ++item) {
      if (!reader.next()) {
        const long read = static_cast<long>(participant - 1) * items + item - 1;
        *error = place(participant, item) + ": the file ends after " + std::to_string(read) +
                 " of the " + std::to_string(static_cast<long>(participants) * items) +
                 " responses of " + std::to_string(participants) + " participants by " +
                 std::to_string(items) +
                 " items; complete the file, or type the numbers of rows and columns it holds";
        return false;
      }
      int value = 0;
      const WholeNumber parsed = parse_whole_number(reader, &value);
      if (parsed != WholeNumber::kNumber) {
        *error = place(participant, item) + " (line " + std::to_string(reader.line()) +
                 " of the file): found " + reader.shown() +
                 (parsed == WholeNumber::kTooLarge ? ", a number too large for a response"
                                                   : " where a response was expected") +
                 "; responses are whole numbers (1 correct, 0 missed) separated by blanks, tabs "
                 "or line breaks";
        return false;
      }
      if (value != 0 && value != 1 && unusual++ == 0) {
        first_unusual = place(participant, item) + " holds " + std::to_string(value);
      }
      matrix.set_response(participant, item, value);
    }
  }
  if (unusual > 0) {
    notes->push_back(count_of(unusual, " response is", " responses are") +
                     " neither 0 nor 1 and counted as correct (the first: " + first_unusual +
                     "); if that is a coding slip, correct the data file and run again");
  }
  long extra = 0;
  long first_extra_line = 0;
  while (reader.next()) {
    if (extra++ == 0) first_extra_line = reader.line();
  }
  if (extra > 0) {
    notes->push_back("the data file holds " + count_of(extra, " more value", " more values") +
                     " after the " + std::to_string(participants) + " x " + std::to_string(items) +
                     " responses read (the first on line " + std::to_string(first_extra_line) +
                     "), ignored; check the numbers of participants and items typed");
  }
  return true;
}

}  // namespace quorvane
