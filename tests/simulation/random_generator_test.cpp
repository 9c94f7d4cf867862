#include "simulation/random_generator.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace quorvane {
namespace {

// Seeds at the edges of the signed and unsigned ranges, where a seed taken with the wrong sign or
// width, or 0 not replaced by 1, shows.
const std::uint32_t kEdgeSeeds[] = {0u, 1u, 2u, 2147483647u, 2147483648u, 4294967295u};

// The words of the sequence one after another in a plain array, straight from their definition,
// with 64-bit arithmetic instead of Schrage's steps: the first `draws` draws.
std::vector<int> draws_by_definition(std::uint32_t seed, int draws) {
  std::vector<std::uint32_t> word(344 + static_cast<std::size_t>(draws));
  std::int64_t value = static_cast<std::int32_t>(seed == 0 ? 1u : seed);
  word[0] = static_cast<std::uint32_t>(value);
  for (std::size_t i = 1; i < 31; ++i) {
    value = value * 16807 % 2147483647;
    if (value < 0) value += 2147483647;
    word[i] = static_cast<std::uint32_t>(value);
  }
  for (std::size_t i = 31; i < word.size(); ++i) {
    word[i] = i < 34 ? word[i - 31] : word[i - 31] + word[i - 3];
  }
  std::vector<int> result;
  for (std::size_t i = 344; i < word.size(); ++i) result.push_back(static_cast<int>(word[i] >> 1));
  return result;
}

std::vector<int> draws_of(std::uint32_t seed, int draws) {
  RandomGenerator generator(seed);
  std::vector<int> result;
  for (int d = 0; d < draws; ++d) result.push_back(generator.next());
  return result;
}

// Catches a ring buffer that reads a word of the wrong age, a refill at the wrong point, the
// wrong number of discarded words, or a seeding step that overflows: on every platform.
TEST(RandomGenerator, GivesTheSequenceAsDefined) {
  for (const std::uint32_t seed : kEdgeSeeds) {
    EXPECT_EQ(draws_of(seed, 1000), draws_by_definition(seed, 1000)) << "seed " << seed;
  }
  for (std::uint32_t seed = 12345; seed < 4000000000u; seed += 398765431u) {
    EXPECT_EQ(draws_of(seed, 200), draws_by_definition(seed, 200)) << "seed " << seed;
  }
}

// Catches any difference from the C library's rand(), which the runs drew from before and which
// the reference model of a whole run still uses: every 1,000,003rd seed and the edges.
TEST(RandomGenerator, DrawsWhatTheGnuCLibraryRandDraws) {
#if defined(__GLIBC__)
  std::vector<std::uint32_t> seeds(std::begin(kEdgeSeeds), std::end(kEdgeSeeds));
  for (std::uint64_t seed = 7; seed <= 0xFFFFFFFFu; seed += 1000003u) {
    seeds.push_back(static_cast<std::uint32_t>(seed));
  }
  for (const std::uint32_t seed : seeds) {
    RandomGenerator generator(seed);
    std::srand(seed);
    for (int draw = 0; draw < 2000; ++draw) {
      const int expected = std::rand();
      const int got = generator.next();
      if (got != expected) {
        ADD_FAILURE() << "seed " << seed << ", draw " << draw << ": " << got << " instead of "
                      << expected;
        break;
      }
    }
  }
#else
  GTEST_SKIP() << "rand() is the GNU C library's generator only where that library is used";
#endif
}

}  // namespace
}  // namespace quorvane
