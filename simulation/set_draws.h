#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "simulation/random_sets.h"

namespace quorvane {

// The 10,000 sets of a run, drawn one after another in grid order from a generator seeded once
// and a participant order that is never reset. While drawing, it keeps a snapshot of the
// generator and the order every so many sets, so that any set already drawn can be drawn again
// from the nearest snapshot before it rather than from the first set.
class SetDraws {
 public:
  // `between_sets`, when given, is called before every grid row's first set is drawn (also when a
  // set is drawn again), so that a front end can stop a long run there by throwing; it must not
  // touch the run.
  SetDraws(int participants, std::uint32_t seed, std::function<void()> between_sets = {});

  int participants() const { return participants_; }
  // Sets between two snapshots: one grid row up to 2,000 participants, a multiple beyond, so
  // that the snapshots take at most about 400 KB.
  int sets_per_snapshot() const { return sets_per_snapshot_; }

  // The next set's ordering of the N participants; valid until the next call.
  const Participant* next();
  // Goes back (or on) to just before `set`, which must have been reached already, so that
  // next() draws it again, and the sets after it.
  void seek(int set);

 private:
  struct Snapshot {
    RandomGenerator::State generator;
    ParticipantOrder order;
  };

  int participants_;
  int sets_per_snapshot_;
  ShuffleBounds bounds_;
  RandomGenerator generator_;
  ParticipantOrder order_;
  int next_set_ = 0;  // the set next() draws
  std::vector<Snapshot> snapshots_;
  std::function<void()> between_sets_;
};

}  // namespace quorvane
