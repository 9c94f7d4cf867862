#include "simulation/random_sets.h"

#include <cstdint>
#include <cstdlib>
#include <utility>

namespace quorvane {

ParticipantOrder make_participant_order(int participants) {
  ParticipantOrder order;
  for (int participant = 1; participant <= participants; ++participant)
    order.push_back(participant);
  return order;
}

int random_below(int n) { return std::rand() % n; }

void shuffle_wide(ParticipantOrder& order) {
  const std::size_t size = order.size();
  for (std::size_t p = 1; p < size; ++p) {
    const auto bound = static_cast<std::uint32_t>(p + 1);
    auto r = static_cast<std::uint32_t>(std::rand()) & 0x7FFFu;
    std::uint32_t range = 0x7FFFu;
    while (range < bound && range != 0xFFFFFFFFu) {
      r = (r << 15) | (static_cast<std::uint32_t>(std::rand()) & 0x7FFFu);
      range = (range << 15) | 0x7FFFu;
    }
    const std::size_t j = r % bound;
    if (j != p) std::swap(order[p], order[j]);
  }
}

void shuffle_with_generator(ParticipantOrder& order, int (*gen)(int)) {
  const std::size_t size = order.size();
  for (std::size_t p = 1; p < size; ++p) {
    const int bound = static_cast<int>(p + 1);
    const auto j = static_cast<std::size_t>(gen(bound) % bound);
    if (j != p) std::swap(order[p], order[j]);
  }
}

void draw_sets(ParticipantOrder& order, SetGrid& grid) {
  int (*const generator)(int) = random_below;
  for (int set = 0; set < kSetCount; ++set) {
    shuffle_wide(order);
    shuffle_with_generator(order, generator);
    Participant* slots = grid.order(set);
    for (std::size_t slot = 0; slot < order.size(); ++slot) {
      slots[slot] = static_cast<Participant>(order[slot]);
    }
  }
}

}  // namespace quorvane
