#pragma once

#include <cstdint>
#include <vector>

namespace quorvane {

// The study's results as the scoring needs them: for every participant and item, counted from 1,
// whether the participant missed the item (a response of exactly 0). Participant 0 is the null
// participant, who has no missed items.
class ResponseMatrix {
 public:
  ResponseMatrix(int participants, int items);

  int participants() const { return participants_; }
  int items() const { return items_; }

  // Records a response: exactly 0 is a miss, every other value counts as correct.
  void set_response(int participant, int item, int value);
  // The participant's missed items as mask_words() words of bits: item c is bit (c - 1) % 64 of
  // word (c - 1) / 64. Bits beyond item M are 0.
  int mask_words() const { return mask_words_; }
  const std::uint64_t* missed_items(int participant) const {
    return &missed_bits_[static_cast<std::size_t>(participant) *
                         static_cast<std::size_t>(mask_words_)];
  }

 private:
  int participants_;
  int items_;
  int mask_words_;
  std::vector<std::uint64_t> missed_bits_;
};

}  // namespace quorvane
