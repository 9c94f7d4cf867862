#pragma once

#include <string>
#include <vector>

#include "simulation/response_matrix.h"

namespace quorvane::testing {

// Responses of a made-up study, participant by participant: each participant answers each
// item correctly with a probability of their own, from a fixed-seed generator.
std::vector<int> made_up_responses(int participants, int items, unsigned seed);

// The responses as a data file, one participant per line.
std::string data_file_text(const std::vector<int>& responses, int items);

ResponseMatrix matrix_of(const std::vector<int>& responses, int participants, int items);

}  // namespace quorvane::testing
