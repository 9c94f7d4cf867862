#pragma once

#include <cstddef>
#include <cstdint>

namespace quorvane::fuzzing {

// What the dialogue made of one input, over the three editions.
struct DialogueVerdicts {
  int accepted = 0;
  int refused = 0;
};

// Runs the study dialogue of every edition on one input: its first three lines are the console
// answers, the rest is the content of the data file "study.txt". Checks what must hold whatever
// the bytes (one error line on refusal; on acceptance the counts typed, the notes due and every
// response and missed flag as an independent reading of the words gives them) and aborts with a
// description if anything does not.
DialogueVerdicts check_study_dialogue(const std::uint8_t* bytes, std::size_t size);

}  // namespace quorvane::fuzzing
