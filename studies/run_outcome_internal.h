#pragma once

#include <string>

#include "simulation/best_fit_search.h"

namespace quorvane {

// The note a run gives when a search found no best set; its own function so that the tests can
// check it for every reason, including those no study reaches.
inline constexpr const char* kMvMeasure = "mean and variance";
inline constexpr const char* kDistMeasure = "distribution";
std::string no_best_set_note(const char* measure, SearchOutcome outcome);

}  // namespace quorvane
