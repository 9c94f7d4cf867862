#include "simulation/nominal_group_run.h"

#include <algorithm>

#include "simulation/group_scoring.h"
#include "simulation/set_draws.h"
#include "simulation/set_label.h"
#include "simulation/set_scores.h"

namespace quorvane {
namespace {

ChosenSet chosen(const Participant* order, const int* all_missed, int items, int group_size,
                 int groups) {
  ChosenSet set;
  set.members.assign(order, order + static_cast<std::ptrdiff_t>(groups) * group_size);
  set.num_correct.resize(static_cast<std::size_t>(groups));
  for (int group = 0; group < groups; ++group) {
    set.num_correct[static_cast<std::size_t>(group)] = items - all_missed[group];
  }
  return set;
}

// The second pass: the same sets drawn again, in groups of four, for the DIST search, keeping the
// groups of the MV best set when it comes and of each new DIST best.
void search_dist_and_choose(SetDraws& draws, const GroupScorer& scorer, RunResult& result) {
  constexpr int kAtOnce = DistSearch::kSetsAtOnce;
  const int participants = draws.participants();
  const int groups = scorer.full_groups();
  const auto order_size = static_cast<std::size_t>(participants);
  const auto scores_size = static_cast<std::size_t>(groups);
  std::vector<Participant> orders(kAtOnce * order_size);
  std::vector<int> all_missed(kAtOnce * scores_size);
  const int* const four_all_missed[kAtOnce] = {&all_missed[0], &all_missed[scores_size],
                                               &all_missed[2 * scores_size],
                                               &all_missed[3 * scores_size]};
  DistSearch dist(result.statistics, result.items, groups);
  const int mv_best = result.mv.best();

  draws.restart();
  static_assert(kSetCount % kAtOnce == 0);
  for (int first = 0; first < kSetCount; first += kAtOnce) {
    for (std::size_t i = 0; i < kAtOnce; ++i) {
      std::copy_n(draws.next(), order_size, &orders[i * order_size]);
      scorer.score(&orders[i * order_size], &all_missed[i * scores_size]);
    }
    dist.consider(four_all_missed);
    for (int i = 0; i < kAtOnce; ++i) {
      const int set = first + i;
      const auto offset = static_cast<std::size_t>(i);
      if (set != mv_best && !dist.became_best(set)) continue;
      ChosenSet choice = chosen(&orders[offset * order_size], four_all_missed[i], result.items,
                                result.group_size, groups);
      if (dist.became_best(set)) result.dist_choice = choice;
      if (set == mv_best) result.mv_choice = std::move(choice);
    }
  }
  result.dist = dist.finish();
}

}  // namespace

RunResult run_simulation(const ResponseMatrix& matrix, int group_size, std::uint32_t seed) {
  RunResult result;
  result.group_size = group_size;
  result.items = matrix.items();
  const GroupScorer scorer(matrix, group_size);
  SetDraws draws(matrix.participants(), seed);

  // The first pass scores every set for the statistics and the MV search; the second draws the
  // same sets again for the DIST search, which needs the overall distribution of the first.
  result.statistics = compute_statistics(score_sets(draws, scorer));
  result.mv = search_mv(result.statistics);
  search_dist_and_choose(draws, scorer, result);
  return result;
}

}  // namespace quorvane
