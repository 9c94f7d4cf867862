#include "simulation/set_draws.h"

#include <cstdlib>

namespace quorvane {

SetDraws::SetDraws(int participants, std::uint32_t seed)
    : participants_(participants), seed_(seed) {
  restart();
}

void SetDraws::restart() {
  std::srand(seed_);
  order_ = make_participant_order(participants_);
}

const Participant* SetDraws::next() {
  draw_next_set(order_);
  return order_.data();
}

}  // namespace quorvane
