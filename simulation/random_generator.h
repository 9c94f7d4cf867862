#pragma once

#include <cstdint>

namespace quorvane {

// The generator every run draws its sets from: an additive lagged-Fibonacci generator of degree
// 31 and separation 3, seeded through the minimal-standard multiplicative sequence. It gives,
// value for value, what the GNU C library's rand() gives after srand(seed), on every platform.
//
// Seeding: word 0 is the seed as a signed 32-bit value (0 is taken as 1); words 1 to 30 each
// 16807 times the one before, modulo 2^31 - 1. Then word i is word i - 31 for i = 31 to 33 and
// word i - 31 + word i - 3 (modulo 2^32) from i = 34 on. Words 34 to 343 are discarded; draw d
// is word 344 + d without its lowest bit.
class RandomGenerator {
 public:
  explicit RandomGenerator(std::uint32_t seed) {
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    words_[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
      word = times_16807(word);
      words_[i] = static_cast<std::uint32_t>(word);
    }
    // Words 31 to 61: the first three copy words 0 to 2, which are already in place.
    for (int i = kSeparation; i < kDegree; ++i) words_[i] += words_[i - kSeparation];
    // Ten more rounds: words 341 to 371, of which word 344, the first draw, is in slot 3.
    for (int round = 0; round < 10; ++round) refill();
    next_ = kSeparation;
  }

  // The next draw, 0 to 2^31 - 1.
  int next() {
    if (next_ == kDegree) {
      refill();
      next_ = 0;
    }
    return static_cast<int>(words_[next_++] >> 1);
  }

 private:
  static constexpr int kDegree = 31;
  static constexpr int kSeparation = 3;

  // 16807 * word modulo 2^31 - 1 without leaving 32 bits (Schrage: 2^31 - 1 = 16807 * 127773 +
  // 2836), in truncating signed division, as the sequence is defined for negative seeds too.
  static std::int32_t times_16807(std::int32_t word) {
    const std::int32_t high = word / 127773;
    const std::int32_t low = word % 127773;
    std::int32_t next = 16807 * low - 2836 * high;
    if (next < 0) next += 2147483647;
    return next;
  }

  // Replaces the 31 words held, i - 31 to i - 1, by words i to i + 30. Slot s holds word i + s:
  // the first three slots add the previous round's last three words, the others this round's.
  void refill() {
    for (int s = 0; s < kSeparation; ++s) words_[s] += words_[s + kDegree - kSeparation];
    for (int s = kSeparation; s < kDegree; ++s) words_[s] += words_[s - kSeparation];
  }

  std::uint32_t words_[kDegree];
  int next_;
};

}  // namespace quorvane
