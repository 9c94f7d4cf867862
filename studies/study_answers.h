#pragma once

#include <optional>
#include <string>

#include "studies/study.h"
#include "studies/word_reader.h"

namespace quorvane {

// The numbers of participants and items a front end is given for a study, checked and worded as
// every front end words them: the console's prompts and the web page's fields alike.

// What a number of participants must be: from two full groups of the edition's size, whose words
// follow the number in a message (" (at least two full groups of 3)").
int fewest_participants(int group_size);
std::string full_groups_words(int group_size);

// Reads the next word of `answers` as a number of participants (`what` "participants", from
// fewest_participants) or of items ("items", from 1), up to kLargestCount. Without one, *error
// says what was found and how to answer.
std::optional<int> read_count(WordReader& answers, const std::string& what, int lowest,
                              const std::string& why, std::string* error);

// The refusal of a file of too few participants for the group size, read without the numbers
// (one participant per line).
std::string too_few_participants(int participants, int group_size);

}  // namespace quorvane
