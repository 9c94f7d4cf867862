#pragma once

#include <cstdint>
#include <vector>

#include "simulation/random_sets.h"

namespace quorvane {

// The 10,000 sets of a run, drawn one after another in grid order from a generator seeded once
// and a participant order that is never reset. The same seed gives the same sets, so a pass over
// them need keep none: restart() replays them from the first. Sets of small studies are kept as
// they are first drawn, which costs little memory and spares drawing them again.
class SetDraws {
 public:
  // Studies of up to this many participants keep their sets: 10,000 x 400 x 2 bytes, 8 MB.
  static constexpr int kMostKeptParticipants = 400;

  SetDraws(int participants, std::uint32_t seed);

  int participants() const { return participants_; }

  // Back to before the first set.
  void restart();
  // The next set's ordering of the N participants; valid until the next call.
  const Participant* next();

 private:
  int participants_;
  std::uint32_t seed_;
  ShuffleBounds bounds_;
  RandomGenerator generator_;
  ParticipantOrder order_;
  bool keep_;
  std::vector<Participant> kept_;  // the sets drawn so far, one after another, when kept
  std::size_t next_kept_ = 0;      // where the next set starts in kept_, once all are kept
  bool replaying_ = false;
};

}  // namespace quorvane
