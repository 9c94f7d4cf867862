#pragma once

#include <string>

#include "runs/run_outcome.h"

namespace quorvane {

// The JSON object of a run's values, the text of outcome_bytes' 'V' record.
std::string run_values_json(const RunOutcome& run);

}  // namespace quorvane
