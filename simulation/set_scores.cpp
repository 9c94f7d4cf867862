#include "simulation/set_scores.h"

#include <cstdint>

#include "simulation/set_label.h"

namespace quorvane {
namespace {

struct Sums {
  std::int64_t sum = 0;
  std::int64_t sum_of_squares = 0;
};

// One set's groups: each allMissed count W counted, and their sum and sum of squares. A function
// of its own, called once per set: a WebAssembly engine (V8) first compiles a function quickly and
// recompiles it for speed once it is called or loops often, but a call already running stays in
// the quick code, as a loop inside score_sets' loop over the sets would for the whole run.
[[gnu::noinline]] Sums add_groups(const std::vector<int>& all_missed,
                                  std::vector<std::int64_t>& counts_by_missed) {
  Sums sums;
  for (const int w : all_missed) {
    counts_by_missed[static_cast<std::size_t>(w)] += 1;
    sums.sum += w;
    sums.sum_of_squares += std::int64_t{w} * w;
  }
  return sums;
}

}  // namespace

SetScores score_sets(SetDraws& draws, const GroupScorer& scorer,
                     std::size_t most_distribution_bytes, const SetsScored& sets_scored) {
  const int items = scorer.items();
  const int groups = scorer.full_groups();
  SetScores scores{items,
                   groups,
                   groups * kSetCount,
                   {},
                   {},
                   {},
                   SetDistributions(items, groups, most_distribution_bytes)};
  scores.sum.resize(kSetCount);
  scores.sum_of_squares.resize(kSetCount);
  std::vector<std::int64_t> counts_by_missed(static_cast<std::size_t>(items + 1));
  std::vector<int> all_missed(static_cast<std::size_t>(groups));

  for (std::size_t set = 0; set < kSetCount; ++set) {
    scorer.score(draws.next(), all_missed.data());
    const Sums sums = add_groups(all_missed, counts_by_missed);
    // Whole numbers below 2^53: the same doubles as adding each group's W in turn.
    scores.sum[set] = static_cast<double>(sums.sum);
    scores.sum_of_squares[set] = static_cast<double>(sums.sum_of_squares);
    scores.distributions.keep(all_missed.data());
    if (sets_scored && (set + 1) % kSetsScoredStep == 0) sets_scored(static_cast<int>(set + 1));
  }

  scores.overall_counts.resize(static_cast<std::size_t>(items + 1));
  for (int w = 0; w <= items; ++w) {
    scores.overall_counts[static_cast<std::size_t>(items - w)] =
        static_cast<double>(counts_by_missed[static_cast<std::size_t>(w)]);
  }
  return scores;
}

}  // namespace quorvane
