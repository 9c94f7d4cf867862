#include "bench/draws_alone.h"

#include <utility>

#include "simulation/random_generator.h"
#include "simulation/random_sets.h"

namespace quorvane::bench {

void draws_alone(std::uint32_t seed, std::vector<int>& order) {
  constexpr int kSets = 10000;
  constexpr int kShufflesPerSet = 2;
  RandomGenerator generator(seed);
  const std::size_t size = order.size();
  const ShuffleBounds bounds(static_cast<int>(size));
  for (int draw_round = 0; draw_round < kSets * kShufflesPerSet; ++draw_round) {
    for (std::size_t p = 1; p < size; ++p) {
      const auto draw = static_cast<std::uint32_t>(generator.next());
      std::swap(order[p], order[bounds.remainder(draw, static_cast<std::uint32_t>(p + 1))]);
    }
  }
}

}  // namespace quorvane::bench
