#include "simulation/set_grid.h"

namespace quorvane {

SetGrid::SetGrid(int participants, int group_size)
    : participants_(participants),
      group_size_(group_size),
      full_groups_(participants / group_size),
      order_(static_cast<std::size_t>(kSetCount) * static_cast<std::size_t>(participants)),
      all_missed_(static_cast<std::size_t>(kSetCount) * static_cast<std::size_t>(full_groups_)) {}

}  // namespace quorvane
