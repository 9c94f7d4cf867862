#pragma once

// For tests only: the two shuffles of a set, one draw at a time and with the processor's
// division, as literally as they are defined. draw_next_set must give the same orders.

#include <cstdint>
#include <utility>

#include "simulation/random_sets.h"

namespace quorvane::internal {

// Positions 1 to N - 1 in turn, each swapped with a position drawn from 15-bit pieces of the
// generator's draws: one draw per position while N is at most 32,768.
inline void shuffle_wide(ParticipantOrder& order, RandomGenerator& generator) {
  for (std::size_t p = 1; p < order.size(); ++p) {
    const auto bound = static_cast<std::uint32_t>(p + 1);
    auto r = static_cast<std::uint32_t>(generator.next()) & 0x7FFFu;
    std::uint32_t range = 0x7FFFu;
    while (range < bound && range != 0xFFFFFFFFu) {
      r = (r << 15) | (static_cast<std::uint32_t>(generator.next()) & 0x7FFFu);
      range = (range << 15) | 0x7FFFu;
    }
    std::swap(order[p], order[r % bound]);
  }
}

// Positions 1 to N - 1 in turn, each swapped with the position of the next draw modulo p + 1.
inline void shuffle_with_generator(ParticipantOrder& order, RandomGenerator& generator) {
  for (std::size_t p = 1; p < order.size(); ++p) {
    std::swap(order[p], order[static_cast<std::size_t>(generator.next()) % (p + 1)]);
  }
}

}  // namespace quorvane::internal
