#include "studies/bare_numbers.h"

#include "studies/response_field.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

// A word of several 0s and 1s, such as a row written without blanks: "00110011".
bool is_run_of_responses(const WordReader& reader) {
  if (reader.length() < 2) return false;
  for (const char c : reader.word()) {
    if (c != '0' && c != '1') return false;
  }
  return true;
}

constexpr const char* kWithoutBlanks = "are the responses written without blanks between them?";
constexpr const char* kWhatResponsesAre =
    "responses are whole numbers (1 correct, 0 missed) separated by blanks, tabs or line breaks";

}  // namespace

std::string place(int participant, int item) {
  return "row " + std::to_string(participant) + ", item " + std::to_string(item);
}

std::string count_of(long count, const char* one, const char* many) {
  return std::to_string(count) + (count == 1 ? one : many);
}

std::string unusual_note(long unusual, const std::string& first, const std::string& more) {
  return count_of(unusual, " response is", " responses are") +
         " neither 0 nor 1 and counted as correct (the first: " + first + more +
         "); if that is a coding slip, correct the data file and run again";
}

bool load(std::istream& data, ResponseMatrix& matrix, std::vector<std::string>* notes,
          Refusal* refusal) {
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
        refusal->row = participant;
        refusal->item = item;
        refusal->fix = "complete the file, or type the numbers of rows and columns it holds";
        refusal->message =
            place(participant, item) + ": the file ends after " + std::to_string(read) +
            " of the " + std::to_string(static_cast<long>(participants) * items) +
            " responses of " + count_of(participants, " participant", " participants") + " by " +
            count_of(items, " item", " items") +
            (first_run.empty() ? "" : " (" + first_run + ": " + kWithoutBlanks + ")") + "; " +
            refusal->fix;
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
        refusal->line = reader.line();
        refusal->row = participant;
        refusal->item = item;
        refusal->found = reader.found();
        refusal->fix = kWhatResponsesAre;
        refusal->message = place(participant, item) + " (line " + std::to_string(reader.line()) +
                           " of the file): found " + refusal->found + what + "; " + refusal->fix;
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
    refusal->line = reader.line();
    refusal->found = reader.found();
    refusal->fix =
        "check that the file is the study's and the numbers of participants and items typed";
    refusal->message = "line " + std::to_string(reader.line()) + " of the file, after the " +
                       std::to_string(participants) + " x " + std::to_string(items) +
                       " responses: found " + refusal->found + "; " + refusal->fix;
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

}  // namespace quorvane
