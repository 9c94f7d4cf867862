#include "simulation/set_draws.h"

#include "simulation/set_label.h"

namespace quorvane {

SetDraws::SetDraws(int participants, std::uint32_t seed)
    : participants_(participants),
      seed_(seed),
      bounds_(participants),
      generator_(seed),
      keep_(participants <= kMostKeptParticipants) {
  restart();
}

void SetDraws::restart() {
  const auto set_size = static_cast<std::size_t>(participants_);
  if (keep_ && kept_.size() == set_size * kSetCount) {
    replaying_ = true;
    next_kept_ = 0;
    return;
  }
  generator_ = RandomGenerator(seed_);
  order_ = make_participant_order(participants_);
  kept_.clear();
  if (keep_) kept_.reserve(set_size * kSetCount);
}

const Participant* SetDraws::next() {
  if (replaying_) {
    const Participant* set = &kept_[next_kept_];
    next_kept_ += static_cast<std::size_t>(participants_);
    return set;
  }
  draw_next_set(order_, generator_, bounds_);
  if (keep_) kept_.insert(kept_.end(), order_.begin(), order_.end());
  return order_.data();
}

}  // namespace quorvane
