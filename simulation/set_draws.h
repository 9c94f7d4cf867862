#pragma once

#include <cstdint>

#include "simulation/random_sets.h"

namespace quorvane {

// The 10,000 sets of a run, drawn one after another in grid order from a generator seeded once
// and a participant order that is never reset. The same seed gives the same sets, so a pass over
// them keeps none: restart() replays them from the first.
class SetDraws {
 public:
  SetDraws(int participants, std::uint32_t seed);

  int participants() const { return participants_; }

  // Back to before the first set: the generator seeded again, the order 1 to N again.
  void restart();
  // Draws the next set; its ordering of the N participants stays valid until the next call.
  const Participant* next();

 private:
  int participants_;
  std::uint32_t seed_;
  RandomGenerator generator_;
  ParticipantOrder order_;
};

}  // namespace quorvane
