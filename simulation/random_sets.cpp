#include "simulation/random_sets.h"

#include <cstdint>
#include <utility>

namespace quorvane {
namespace {

// The shuffles work on the order's positions through a local pointer, which the generator's
// draws between the swaps cannot change, so that it stays in a register.
inline void shuffle_wide_at(Participant* order, std::size_t size, RandomGenerator& generator) {
  for (std::size_t p = 1; p < size; ++p) {
    const auto bound = static_cast<std::uint32_t>(p + 1);
    auto r = static_cast<std::uint32_t>(generator.next()) & 0x7FFFu;
    std::uint32_t range = 0x7FFFu;
    while (range < bound && range != 0xFFFFFFFFu) {
      r = (r << 15) | (static_cast<std::uint32_t>(generator.next()) & 0x7FFFu);
      range = (range << 15) | 0x7FFFu;
    }
    const std::size_t j = r % bound;
    if (j != p) std::swap(order[p], order[j]);
  }
}

inline void shuffle_with_generator_at(Participant* order, std::size_t size,
                                      RandomGenerator& generator) {
  for (std::size_t p = 1; p < size; ++p) {
    const int bound = static_cast<int>(p + 1);
    const auto j = static_cast<std::size_t>(random_below(generator, bound));
    if (j != p) std::swap(order[p], order[j]);
  }
}

}  // namespace

ParticipantOrder make_participant_order(int participants) {
  ParticipantOrder order;
  for (int participant = 1; participant <= participants; ++participant)
    order.push_back(static_cast<Participant>(participant));
  return order;
}

void shuffle_wide(ParticipantOrder& order, RandomGenerator& generator) {
  shuffle_wide_at(order.data(), order.size(), generator);
}

void shuffle_with_generator(ParticipantOrder& order, RandomGenerator& generator) {
  shuffle_with_generator_at(order.data(), order.size(), generator);
}

void draw_next_set(ParticipantOrder& order, RandomGenerator& generator) {
  Participant* const positions = order.data();
  const std::size_t size = order.size();
  shuffle_wide_at(positions, size, generator);
  shuffle_with_generator_at(positions, size, generator);
}

}  // namespace quorvane
