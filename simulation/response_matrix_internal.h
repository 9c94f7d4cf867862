#pragma once

// For the tests and the check of the study dialogue only: the run itself reads the masks.

#include "simulation/response_matrix.h"

namespace quorvane {

// 1 when the participant missed the item, else 0; 0 for item 0 and participant 0.
inline int missed(const ResponseMatrix& matrix, int participant, int item) {
  if (item == 0) return 0;
  const auto bit = static_cast<unsigned>(item - 1);
  return static_cast<int>((matrix.missed_items(participant)[bit / 64] >> (bit % 64)) & 1u);
}

}  // namespace quorvane
