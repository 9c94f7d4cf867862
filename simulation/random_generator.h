#pragma once

#include <algorithm>
#include <array>
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
  // The 31 words before the next draw, oldest first: all the generator needs to go on.
  using State = std::array<std::uint32_t, 31>;

  explicit RandomGenerator(std::uint32_t seed) {
    std::int32_t word = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
    std::uint32_t* const history = &words_[kBlock];
    history[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < kDegree; ++i) {
      word = times_16807(word);
      history[i] = static_cast<std::uint32_t>(word);
    }
    // Words 31 to 33 copy words 0 to 2; words 34 to 343 are discarded, so that the next block
    // starts with word 344, the first draw.
    std::uint32_t words[kWarmUpEnd];
    std::copy(history, history + kDegree, words);
    for (int i = kDegree; i < kDegree + kSeparation; ++i) words[i] = words[i - kDegree];
    for (int i = kDegree + kSeparation; i < kWarmUpEnd; ++i) {
      words[i] = words[i - kDegree] + words[i - kSeparation];
    }
    std::copy(words + kWarmUpEnd - kDegree, words + kWarmUpEnd, history);
    next_ = kEnd;
  }

  explicit RandomGenerator(const State& state) {
    std::copy(state.begin(), state.end(), &words_[kBlock]);
    next_ = kEnd;
  }

  State state() const {
    State state;
    std::copy(&words_[next_ - kDegree], &words_[next_], state.begin());
    return state;
  }

  // The next draw, 0 to 2^31 - 1.
  int next() {
    if (next_ == kEnd) refill();
    return static_cast<int>(words_[next_++] >> 1);
  }

  // The next draws, at most `most` of them and at least one, as words whose upper 31 bits are
  // the draws: `words` points at them and the count is returned. They count as drawn.
  int next_words(const std::uint32_t*& words, int most) {
    if (next_ == kEnd) refill();
    const int count = kEnd - next_ < most ? kEnd - next_ : most;
    words = &words_[next_];
    next_ += count;
    return count;
  }

 private:
  static constexpr int kDegree = 31;
  static constexpr int kSeparation = 3;
  static constexpr int kWarmUpEnd = 344;
  // Words are made a block at a time, after the 31 they follow, three at a time.
  static constexpr int kBlock = 3 * 160;
  static constexpr int kEnd = kDegree + kBlock;
  static_assert(kSeparation == 3 && kBlock % 3 == 0 && kBlock >= kDegree);

  // 16807 * word modulo 2^31 - 1 without leaving 32 bits (Schrage: 2^31 - 1 = 16807 * 127773 +
  // 2836), in truncating signed division, as the sequence is defined for negative seeds too.
  static std::int32_t times_16807(std::int32_t word) {
    const std::int32_t high = word / 127773;
    const std::int32_t low = word % 127773;
    std::int32_t next = 16807 * low - 2836 * high;
    if (next < 0) next += 2147483647;
    return next;
  }

  // Moves the last 31 words to the front and makes the next block after them. Each word depends
  // on words 3 and 31 before it: three running sums, one for each word of three, held in
  // registers, so that no word is read back from memory just after it is written.
  void refill() {
    std::copy(&words_[kBlock], &words_[kEnd], &words_[0]);
    std::uint32_t a = words_[kDegree - 3];
    std::uint32_t b = words_[kDegree - 2];
    std::uint32_t c = words_[kDegree - 1];
    for (int i = kDegree; i < kEnd; i += 3) {
      a += words_[i - kDegree];
      b += words_[i + 1 - kDegree];
      c += words_[i + 2 - kDegree];
      words_[i] = a;
      words_[i + 1] = b;
      words_[i + 2] = c;
    }
    next_ = kDegree;
  }

  std::uint32_t words_[kEnd];
  int next_;  // where the next draw is in words_, kEnd when a block must be made first
};

}  // namespace quorvane
