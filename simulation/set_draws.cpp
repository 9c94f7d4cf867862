#include "simulation/set_draws.h"

#include <utility>

#include "simulation/set_label.h"

namespace quorvane {
namespace {

constexpr int kParticipantsPerSnapshotRow = 2000;

}  // namespace

SetDraws::SetDraws(int participants, std::uint32_t seed, std::function<void()> between_sets)
    : participants_(participants),
      sets_per_snapshot_(kGridColumns * ((participants + kParticipantsPerSnapshotRow - 1) /
                                         kParticipantsPerSnapshotRow)),
      bounds_(participants),
      generator_(seed),
      order_(make_participant_order(participants)),
      between_sets_(std::move(between_sets)) {}

const Participant* SetDraws::next() {
  if (between_sets_ && next_set_ % kGridColumns == 0) between_sets_();
  if (next_set_ % sets_per_snapshot_ == 0 &&
      static_cast<std::size_t>(next_set_ / sets_per_snapshot_) == snapshots_.size()) {
    snapshots_.push_back({generator_.state(), order_});
  }
  draw_next_set(order_, generator_, bounds_);
  ++next_set_;
  return order_.data();
}

void SetDraws::seek(int set) {
  const Snapshot& snapshot = snapshots_[static_cast<std::size_t>(set / sets_per_snapshot_)];
  generator_ = RandomGenerator(snapshot.generator);
  order_ = snapshot.order;
  next_set_ = set - set % sets_per_snapshot_;
  while (next_set_ < set) next();
}

}  // namespace quorvane
