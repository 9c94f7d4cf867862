#pragma once

#include <cstdint>
#include <vector>

#include "simulation/random_sets.h"
#include "simulation/response_matrix.h"

namespace quorvane {

// Scores the groups of one set. A group's allMissed count W is the number of items all its
// members missed; its NumCorrect is M - W, from 0 to M. A set's groups are the consecutive runs of
// k slots of its ordering; a partial last group (N not a multiple of k) is left out.
class GroupScorer {
 public:
  // Counts bits with the processor's own instruction where it has one, unless told not to.
  GroupScorer(const ResponseMatrix& matrix, int group_size, bool popcount_instruction = true);

  int items() const { return items_; }
  // G: the full groups of every set.
  int full_groups() const { return full_groups_; }

  // Writes W of each of the set's G full groups, in slot order, to all_missed[0] to [G - 1].
  void score(const Participant* order, int* all_missed) const { score_(*this, order, all_missed); }

 private:
  using Scoring = void (*)(const GroupScorer&, const Participant*, int*);
  template <int kGroupSize, typename Masks>
  friend struct GroupScoring;

  int items_;
  int group_size_;
  int full_groups_;
  int mask_words_;
  // Every participant's missed items, mask_words_ words each (two words when items fit in them).
  std::vector<std::uint64_t> masks_;
  Scoring score_;
};

}  // namespace quorvane
