#include "simulation/random_sets.h"

#include <cstdint>
#include <cstring>
#include <utility>

#include "simulation/draw_sequence.h"

namespace quorvane {
namespace {

// The shuffles work on the order's positions through a local pointer, which the draws
// between the swaps cannot change, so that it stays in a register.
inline void shuffle_wide_at(Participant* order, std::size_t size) {
  for (std::size_t p = 1; p < size; ++p) {
    const auto bound = static_cast<std::uint32_t>(p + 1);
    auto r = static_cast<std::uint32_t>(next_draw()) & 0x7FFFu;
    std::uint32_t range = 0x7FFFu;
    while (range < bound && range != 0xFFFFFFFFu) {
      r = (r << 15) | (static_cast<std::uint32_t>(next_draw()) & 0x7FFFu);
      range = (range << 15) | 0x7FFFu;
    }
    const std::size_t j = r % bound;
    if (j != p) std::swap(order[p], order[j]);
  }
}

template <typename Generator>
inline void shuffle_with_generator_at(Participant* order, std::size_t size, Generator gen) {
  for (std::size_t p = 1; p < size; ++p) {
    const int bound = static_cast<int>(p + 1);
    const auto j = static_cast<std::size_t>(gen(bound) % bound);
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

int random_below(int n) { return next_draw() % n; }

void shuffle_wide(ParticipantOrder& order) { shuffle_wide_at(order.data(), order.size()); }

void shuffle_with_generator(ParticipantOrder& order, int (*gen)(int)) {
  shuffle_with_generator_at(order.data(), order.size(), gen);
}

void draw_sets(ParticipantOrder& order, SetGrid& grid) {
  Participant* const positions = order.data();
  const std::size_t size = order.size();
  for (int set = 0; set < kSetCount; ++set) {
    shuffle_wide_at(positions, size);
    shuffle_with_generator_at(positions, size, random_below);
    std::memcpy(grid.order(set), positions, size);
  }
}

}  // namespace quorvane
