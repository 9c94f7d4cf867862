#include "simulation/nominal_group_run.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "simulation/group_scoring.h"
#include "simulation/nominal_group_run_internal.h"
#include "simulation/set_draws.h"
#include "simulation/set_label.h"
#include "simulation/set_scores.h"

namespace quorvane {
namespace {

// The groups of a set already drawn, drawn again from the nearest snapshot; none for kNoSet.
ChosenSet chosen(SetDraws& draws, const GroupScorer& scorer, int set, int group_size) {
  ChosenSet choice;
  if (set == kNoSet) return choice;
  const int groups = scorer.full_groups();
  std::vector<int> all_missed(static_cast<std::size_t>(groups));
  draws.seek(set);
  const Participant* order = draws.next();
  scorer.score(order, all_missed.data());
  choice.members.assign(order, order + static_cast<std::ptrdiff_t>(groups) * group_size);
  for (const int w : all_missed) choice.num_correct.push_back(scorer.items() - w);
  return choice;
}

// The DIST search over the distributions kept by the scoring; the sets after them, if any, are
// drawn and scored again. `between_sets` is called before each grid row.
SearchLog search_dist(SetDraws& draws, const GroupScorer& scorer,
                      const SetDistributions& distributions, const Statistics& statistics,
                      const std::function<void()>& between_sets) {
  constexpr int kAtOnce = DistSearch::kSetsAtOnce;
  const int items = scorer.items();
  const int groups = scorer.full_groups();
  DistSearch dist(statistics, items, groups);
  std::vector<int> all_missed(static_cast<std::size_t>(groups));
  if (distributions.kept() < kSetCount) draws.seek(distributions.kept());
  static_assert(kSetCount % kAtOnce == 0);
  for (int first = 0; first < kSetCount; first += kAtOnce) {
    if (between_sets && first % kGridColumns == 0) between_sets();
    for (int i = 0; i < kAtOnce; ++i) {
      const int set = first + i;
      unsigned* const counts = dist.counts() + i;
      if (set < distributions.kept()) {
        distributions.add(set, counts, kAtOnce);
        continue;
      }
      scorer.score(draws.next(), all_missed.data());
      for (const int w : all_missed)
        counts[std::size_t{kAtOnce} * static_cast<std::size_t>(items - w)] += 1;
    }
    dist.consider();
  }
  return dist.finish();
}

}  // namespace

RunResult run_simulation(const ResponseMatrix& matrix, int group_size, std::uint32_t seed,
                         const RunHooks& hooks) {
  return internal::run_simulation_keeping(matrix, group_size, seed, SetDistributions::kNoLimit,
                                          hooks);
}

std::uint64_t simulation_bytes(const ResponseMatrix& matrix, int group_size) {
  const GroupScorer scorer(matrix, group_size);
  const int groups = scorer.full_groups();
  std::vector<int> all_missed(static_cast<std::size_t>(groups));
  SetDraws draws(matrix.participants(), 1u);
  scorer.score(draws.next(), all_missed.data());
  SetDistributions sample(scorer.items(), groups);
  sample.keep(all_missed.data());
  const std::uint64_t distributions = sample.reserved_for(kSetCount);
  const auto values = static_cast<std::uint64_t>(scorer.items()) + 1;
  // Per set: the sums, the statistics and the two searches' logs; per value: the counts of the
  // DIST search and its table of terms; the snapshots of the draws.
  const std::uint64_t per_set =
      kSetCount * (4 * sizeof(double) + 2 * (sizeof(double) + sizeof(int)));
  const std::uint64_t per_value =
      values * (DistSearch::kSetsAtOnce * sizeof(unsigned) + 4 * sizeof(double));
  const std::uint64_t terms =
      std::min<std::uint64_t>(DistSearch::kMostTabulatedTerms,
                              values * (static_cast<std::uint64_t>(groups) + 1)) *
      sizeof(double);
  const std::uint64_t snapshots =
      std::uint64_t{kSetCount} / static_cast<std::uint64_t>(draws.sets_per_snapshot()) *
      (sizeof(RandomGenerator::State) +
       sizeof(Participant) * static_cast<std::uint64_t>(matrix.participants()));
  return distributions + per_set + per_value + terms + snapshots;
}

RunResult internal::run_simulation_keeping(const ResponseMatrix& matrix, int group_size,
                                           std::uint32_t seed, std::size_t most_distribution_bytes,
                                           const RunHooks& hooks) {
  RunResult result;
  result.group_size = group_size;
  result.items = matrix.items();
  const GroupScorer scorer(matrix, group_size);
  SetDraws draws(matrix.participants(), seed, hooks.between_sets);

  // One pass draws and scores every set for the statistics and the MV search, and keeps each
  // set's distribution for the DIST search, which needs the overall distribution of them all.
  const SetScores scores = score_sets(draws, scorer, most_distribution_bytes, hooks.sets_scored);
  result.statistics = compute_statistics(scores);
  result.mv = search_mv(result.statistics);
  result.dist =
      search_dist(draws, scorer, scores.distributions, result.statistics, hooks.between_sets);
  result.mv_choice = chosen(draws, scorer, result.mv.best(), group_size);
  result.dist_choice = chosen(draws, scorer, result.dist.best(), group_size);
  return result;
}

}  // namespace quorvane
