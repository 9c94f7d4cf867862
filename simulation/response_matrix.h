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
  // A study of `items` items that has no participants yet, with room made for `room` of them, to
  // which add_participant adds them one by one.
  static ResponseMatrix without_participants(int items, int room);
  // Adds participant participants() + 1, who has missed nothing until set_response says so.
  void add_participant();

  int participants() const { return participants_; }
  int items() const { return items_; }

  // Records a response: exactly 0 is a miss, every other value counts as correct.
  void set_response(int participant, int item, int value) {
    const auto bit = static_cast<unsigned>(item - 1);
    std::uint64_t& word = missed_bits_[static_cast<std::size_t>(participant) *
                                           static_cast<std::size_t>(mask_stride_) +
                                       bit / 64];
    const std::uint64_t item_bit = std::uint64_t{1} << (bit % 64);
    word = value == 0 ? word | item_bit : word & ~item_bit;
  }
  // The participant's missed items as mask_words() words of bits: item c is bit (c - 1) % 64 of
  // word (c - 1) / 64. Bits beyond item M are 0, up to the next participant's mask, which
  // starts mask_stride() words on: 2 for up to 128 items, else mask_words() rounded up to a
  // multiple of 8 (512 bits), so that the scoring can take whole pieces of any width.
  int mask_words() const { return mask_words_; }
  int mask_stride() const { return mask_stride_; }
  const std::uint64_t* missed_items(int participant) const {
    return &missed_bits_[static_cast<std::size_t>(participant) *
                         static_cast<std::size_t>(mask_stride_)];
  }

 private:
  int participants_;
  int items_;
  int mask_words_;
  int mask_stride_;
  std::vector<std::uint64_t> missed_bits_;
};

}  // namespace quorvane
