#include "simulation/response_matrix.h"

namespace quorvane {

ResponseMatrix::ResponseMatrix(int participants, int items)
    : participants_(participants),
      items_(items),
      responses_(static_cast<std::size_t>(participants + 1) * static_cast<std::size_t>(items + 1)),
      missed_(responses_.size()) {}

void ResponseMatrix::set_response(int participant, int item, int value) {
  responses_[index(participant, item)] = value;
  missed_[index(participant, item)] = value == 0 ? 1 : 0;
}

}  // namespace quorvane
