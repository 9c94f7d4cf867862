#include "bench/draws_alone.h"

#include <utility>

#include "simulation/draw_sequence.h"

namespace quorvane::bench {

void draws_alone(std::uint32_t seed, std::vector<int>& order) {
  constexpr int kSets = 10000;
  constexpr int kShufflesPerSet = 2;
  seed_draws(seed);
  const std::size_t size = order.size();
  for (int draw_round = 0; draw_round < kSets * kShufflesPerSet; ++draw_round) {
    for (std::size_t p = 1; p < size; ++p) {
      const auto j = static_cast<std::size_t>(next_draw()) % (p + 1);
      std::swap(order[p], order[j]);
    }
  }
}

}  // namespace quorvane::bench
