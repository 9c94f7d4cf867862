#pragma once

#include "reports/edition_profile.h"

namespace quorvane {

// The body of every program's main: runs the edition on the real console, files and clock and
// returns the exit status.
int program_main(const EditionProfile& edition);

}  // namespace quorvane
