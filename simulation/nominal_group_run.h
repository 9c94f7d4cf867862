#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "simulation/best_fit_search.h"
#include "simulation/response_matrix.h"
#include "simulation/set_scores.h"
#include "simulation/set_statistics.h"

namespace quorvane {

// The groups of a search's best set, in slot order: G groups of k members, and each group's
// number correct. Empty when the search found no best set.
struct ChosenSet {
  std::vector<int> members;      // G x k participant numbers
  std::vector<int> num_correct;  // G
};

// Everything one run computes: the statistics of every set and of the whole grid, both searches
// set by set, and the groups of the two chosen sets.
struct RunResult {
  int group_size = 0;
  int items = 0;
  Statistics statistics;
  SearchLog mv;
  SearchLog dist;
  ChosenSet mv_choice;
  ChosenSet dist_choice;
};

// What a front end may hear of a run as it goes.
struct RunHooks {
  // Told how many sets are scored so far (set_scores.h); must not throw.
  SetsScored sets_scored = nullptr;
  // Called between sets, every grid row or so, in each pass that draws sets; may throw to stop
  // the run (a front end's interrupt).
  std::function<void()> between_sets = nullptr;
};

// The whole computation of one run: the 10,000 sets drawn with the generator seeded with `seed`,
// scored, their statistics, the MV search and the DIST search. The matrix holds at least two full
// groups.
//
// Every report byte of a run follows from the seed and the study, and is frozen by tests: the
// order of the floating-point operations and of the random draws must not change.
//
// `hooks` let a front end hear the run as it goes (the sets scored) and stop it (an interrupt);
// they change nothing of the result.
RunResult run_simulation(const ResponseMatrix& matrix, int group_size, std::uint32_t seed,
                         const RunHooks& hooks = {});

// About how many bytes run_simulation takes from the system beside the matrix, most of them for
// the sets' distributions, whose size is that of one set drawn with a fixed seed, times 10,000.
std::uint64_t simulation_bytes(const ResponseMatrix& matrix, int group_size);

}  // namespace quorvane
