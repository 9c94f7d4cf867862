#include "simulation/set_draws.h"

namespace quorvane {

SetDraws::SetDraws(int participants, std::uint32_t seed)
    : participants_(participants), seed_(seed), generator_(seed) {
  restart();
}

void SetDraws::restart() {
  generator_ = RandomGenerator(seed_);
  order_ = make_participant_order(participants_);
}

const Participant* SetDraws::next() {
  draw_next_set(order_, generator_);
  return order_.data();
}

}  // namespace quorvane
