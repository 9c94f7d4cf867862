#pragma once

// For tests only: a whole run that keeps the sets' distributions in at most a given number of
// bytes, so that the DIST search draws and scores the sets beyond them again, as a second pass.

#include <cstddef>
#include <cstdint>
#include <functional>

#include "simulation/nominal_group_run.h"

namespace quorvane::internal {

RunResult run_simulation_keeping(const ResponseMatrix& matrix, int group_size, std::uint32_t seed,
                                 std::size_t most_distribution_bytes, const RunHooks& hooks = {});

}  // namespace quorvane::internal
