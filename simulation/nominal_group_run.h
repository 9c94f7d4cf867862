#pragma once

#include <cstdint>

#include "reports/edition_profile.h"
#include "reports/report_files.h"
#include "simulation/response_matrix.h"

namespace quorvane {

// What a finished computation tells the driver besides the report texts.
struct RunOutcome {
  bool mv_best_found = false;
  bool dist_best_found = false;
  double overall_mean = 0.0;
  double overall_variance = 0.0;
};

// The whole computation of one run: seeds a RandomGenerator with `seed`, draws the 10,000
// sets, scores them, runs both searches and writes all eight reports' text into `reports`. The
// matrix holds at least two full groups of the edition.
RunOutcome run_simulation(const EditionProfile& edition, const ResponseMatrix& matrix,
                          std::uint32_t seed, ReportFiles& reports);

}  // namespace quorvane
