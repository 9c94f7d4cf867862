#include "simulation/draw_sequence.h"

namespace quorvane {
namespace {

// An additive lagged Fibonacci generator: r[i] = r[i - 31] + r[i - 3] modulo 2^32, each draw
// r[i] / 2. The last 31 values are kept in a ring; `front` is where r[i - 31] is, and is
// overwritten by r[i]; `rear` is where r[i - 3] is.
constexpr int kLag = 31;
constexpr int kShortLag = 3;
// The seeding draws and drops ten values per place of the ring.
constexpr int kDropped = 10 * kLag;

std::uint32_t ring[kLag];
int front = 0;
int rear = 0;

}  // namespace

void seed_draws(std::uint32_t seed) {
  if (seed == 0) seed = 1;
  // r[0] is the seed; r[1] to r[30] follow by r[i] = 16807 r[i - 1] modulo 2^31 - 1, by
  // Schrage's steps, from the seed taken as a signed 32-bit number: a seed of 2^31 or more starts
  // from a negative number, which the steps carry on in their own way.
  ring[0] = seed;
  std::int64_t word = static_cast<std::int32_t>(seed);
  for (int i = 1; i < kLag; ++i) {
    const std::int64_t high = word / 127773;
    const std::int64_t low = word % 127773;
    word = 16807 * low - 2836 * high;
    if (word < 0) word += 2147483647;
    ring[i] = static_cast<std::uint32_t>(word);
  }
  // r[31] to r[33] repeat r[0] to r[2], so the ring already holds r[3] to r[33] and the first
  // value made is r[34].
  front = kShortLag;
  rear = 0;
  for (int i = 0; i < kDropped; ++i) next_draw();
}

int next_draw() {
  const std::uint32_t value = ring[front] + ring[rear];
  ring[front] = value;
  front = front + 1 == kLag ? 0 : front + 1;
  rear = rear + 1 == kLag ? 0 : rear + 1;
  return static_cast<int>(value >> 1);
}

}  // namespace quorvane
