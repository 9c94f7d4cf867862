#pragma once

#include <cstdint>
#include <vector>

#include "simulation/random_sets.h"
#include "simulation/response_matrix.h"

namespace quorvane {

// The ways the groups' masks can be scored, all with the same results: word by word in portable
// code or with the processor's popcount instruction, 256 bits at a time with AVX2, 512 bits at a
// time with AVX-512 and its popcount of 64-bit lanes, or 128 bits at a time with WebAssembly's
// SIMD instructions (in a module built with them).
enum class ScoringKernel { kPortable, kPopcount, kAvx2, kAvx512, kWasmSimd };

// The kernels this processor and build can run, kPortable first, the fastest last.
std::vector<ScoringKernel> available_scoring_kernels();
const char* name_of(ScoringKernel kernel);

// Scores the groups of one set. A group's allMissed count W is the number of items all its
// members missed; its NumCorrect is M - W, from 0 to M. A set's groups are the consecutive runs of
// k slots of its ordering; a partial last group (N not a multiple of k) is left out. The masks
// are the matrix's own, which must outlive the scorer.
class GroupScorer {
 public:
  // Scores with the fastest kernel available.
  GroupScorer(const ResponseMatrix& matrix, int group_size);
  // Scores with the given kernel, which must be one of available_scoring_kernels().
  GroupScorer(const ResponseMatrix& matrix, int group_size, ScoringKernel kernel);

  int items() const { return items_; }
  // G: the full groups of every set.
  int full_groups() const { return full_groups_; }
  ScoringKernel kernel() const { return kernel_; }

  // Writes W of each of the set's G full groups, in slot order, to all_missed[0] to [G - 1].
  void score(const Participant* order, int* all_missed) const { score_(*this, order, all_missed); }

 private:
  using Scoring = void (*)(const GroupScorer&, const Participant*, int*);
  friend struct GroupScoring;

  int items_;
  int group_size_;
  int full_groups_;
  int mask_words_;   // words holding items
  int mask_stride_;  // words from one participant's mask to the next
  const std::uint64_t* masks_;
  ScoringKernel kernel_;
  Scoring score_;
};

}  // namespace quorvane
