#include "simulation/nominal_group_run.h"

#include "simulation/best_fit_search.h"
#include "simulation/draw_sequence.h"
#include "simulation/group_scoring.h"
#include "simulation/random_sets.h"
#include "simulation/run_reports.h"
#include "simulation/set_grid.h"
#include "simulation/set_statistics.h"

namespace quorvane {

RunOutcome run_simulation(const EditionProfile& edition, const ResponseMatrix& matrix,
                          std::uint32_t seed, ReportFiles& reports) {
  seed_draws(seed);
  SetGrid grid(matrix.participants(), edition.group_size);
  ParticipantOrder order = make_participant_order(matrix.participants());
  draw_sets(order, grid);

  const SetScores scores = score_all(grid, matrix);
  const Statistics statistics = compute_statistics(scores);
  const SearchLog mv = search_mv(statistics);
  const SearchLog dist = search_dist(grid, scores, statistics);

  write_statistics(statistics, reports);
  write_searches(statistics, mv, dist, reports);
  write_summaries(statistics, mv, dist, reports);
  write_listings(grid, matrix.items(), mv, dist, reports);
  return {mv.found(), dist.found(), statistics.grand.overall_mean,
          statistics.grand.overall_variance};
}

}  // namespace quorvane
