#pragma once

#include "storage/report_append.h"

namespace quorvane {

// The names a run of any edition, or of Quorvane-Groups with groups of any size, writes in a
// working folder, which alone the repair of a run that stopped while writing them may touch.
AppendScope append_scope();

}  // namespace quorvane
