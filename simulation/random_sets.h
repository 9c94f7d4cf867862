#pragma once

#include <cstdint>
#include <vector>

#include "simulation/random_generator.h"

namespace quorvane {

// A participant number in a set's ordering.
using Participant = std::uint16_t;

// The participant order that every set is shuffled from: 1 to N once, then never reset, so
// each set starts from the ordering the previous one left.
using ParticipantOrder = std::vector<Participant>;
ParticipantOrder make_participant_order(int participants);

// Remainders by the bounds 2 to N of the shuffles of N participants, each from a multiplication
// by the bound's reciprocal in 64-bit fixed point (48-bit on WebAssembly): exact for every 32-bit
// dividend.
class ShuffleBounds {
 public:
  explicit ShuffleBounds(int participants);

  // value % bound, for a bound from 2 to N.
  std::uint32_t remainder(std::uint32_t value, std::uint32_t bound) const {
#if defined(__wasm__)
    return narrow_remainder(reciprocals_[bound], value, bound);
#else
    const std::uint64_t fraction = reciprocals_[bound] * value;
#if defined(__SIZEOF_INT128__)
    return wide_high_word(fraction, bound);
#else
    return high_word(fraction, bound);
#endif
#endif
  }

  // value % bound in 48-bit fixed point, for WebAssembly, where a 128-bit product is a call to a
  // library: two 64-bit multiplies, for every 32-bit value and a bound up to kMostNarrowBound
  // (the shuffles' bounds are at most 32,768). With c = 2^48 / bound rounded up, c x bound =
  // 2^48 + e with e < bound < 2^16 = 2^48 / 2^32, so the lowest 48 bits of c x value, times
  // bound, hold value % bound above bit 48: the 64-bit form's reasoning (there e < bound < 2^32 =
  // 2^64 / 2^32) with 48 for 64. That product stays below 2^48 x 2^16 and fits in 64 bits.
  static constexpr std::uint32_t kMostNarrowBound = 0xFFFFu;
  static std::uint64_t narrow_reciprocal(std::uint32_t bound) { return kNarrowMask / bound + 1; }
  static std::uint32_t narrow_remainder(std::uint64_t reciprocal, std::uint32_t value,
                                        std::uint32_t bound) {
    return static_cast<std::uint32_t>((((reciprocal * value) & kNarrowMask) * bound) >> 48);
  }

  // The bits above the lowest 64 of fraction x bound: with the processor's widest multiply, or
  // from the halves of the fraction in 64-bit multiplies alone, where a 128-bit product is a
  // call to a library (WebAssembly).
#if defined(__SIZEOF_INT128__)
  static std::uint32_t wide_high_word(std::uint64_t fraction, std::uint32_t bound) {
    __extension__ typedef unsigned __int128 Wide;
    return static_cast<std::uint32_t>((Wide{fraction} * bound) >> 64);
  }
#endif
  static std::uint32_t high_word(std::uint64_t fraction, std::uint32_t bound) {
    const std::uint64_t low = (fraction & 0xFFFFFFFFu) * bound;
    const std::uint64_t high = (fraction >> 32) * bound + (low >> 32);
    return static_cast<std::uint32_t>(high >> 32);
  }

 private:
  static constexpr std::uint64_t kNarrowMask = (std::uint64_t{1} << 48) - 1;
  // By bound: 2^64 / bound rounded up (2^48 / bound on WebAssembly).
  std::vector<std::uint64_t> reciprocals_;
};

// Draws the next set from the order: positions 1 to N - 1 in turn each swapped with a position
// drawn from the lowest 15 bits of a draw (one draw per position while N is at most 32,768,
// pieces of several draws beyond), then positions 1 to N - 1 again, each swapped with the next
// draw modulo p + 1. 2(N - 1) draws in all; `bounds` are those of the order's size.
void draw_next_set(ParticipantOrder& order, RandomGenerator& generator,
                   const ShuffleBounds& bounds);

}  // namespace quorvane
