#pragma once

#include "editions/edition_profile.h"

namespace quorvane {

// The body of every program's main: reads the command line, then shows the help or the version,
// refuses the command line, or runs the edition on the real console and files, seeded with the
// seed given or else the clock. Returns the exit status.
int program_main(const EditionProfile& edition, int argc, const char* const argv[]);

// The same for Quorvane-Groups: the command line also gives the group size, and the run is that
// of the edition of that size.
int groups_program_main(int argc, const char* const argv[]);

}  // namespace quorvane
