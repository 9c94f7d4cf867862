#pragma once

#include "editions/edition_profile.h"
#include "reports/export_data.h"

namespace quorvane {

// The program that made a run, as its export names and cites it: the edition's name, the
// project's version and the reference CITATION.cff gives, both fixed by the build.
ProgramRelease program_release(const EditionProfile& edition);

}  // namespace quorvane
