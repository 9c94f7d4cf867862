#include "studies/study_answers.h"

namespace quorvane {

int fewest_participants(int group_size) { return 2 * group_size; }

std::string full_groups_words(int group_size) {
  return " (at least two full groups of " + std::to_string(group_size) + ")";
}

std::optional<int> read_count(WordReader& answers, const std::string& what, int lowest,
                              const std::string& why, std::string* error) {
  int value = 0;
  if (answers.next() == WordReader::Next::kWord &&
      parse_whole_number(answers, &value) == WholeNumber::kNumber && value >= lowest &&
      value <= kLargestCount) {
    return value;
  }
  *error = "the number of " + what + " must be a whole number from " + std::to_string(lowest) +
           " to " + std::to_string(kLargestCount) + why + "; found " + answers.found() +
           "; run the program again and type it at the prompt";
  return std::nullopt;
}

std::string too_few_participants(int participants, int group_size) {
  return "the file holds " + std::to_string(participants) + " participant" +
         (participants == 1 ? "" : "s") + " (one per line); a run needs " +
         std::to_string(fewest_participants(group_size)) + " or more" +
         full_groups_words(group_size);
}

}  // namespace quorvane
