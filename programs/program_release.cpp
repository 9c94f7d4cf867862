#include "programs/program_release.h"

#include <string>

#if !defined(QUORVANE_VERSION) || !defined(QUORVANE_CITATION)
#error "QUORVANE_VERSION and QUORVANE_CITATION must be defined by the build, from CITATION.cff"
#endif

namespace quorvane {

ProgramRelease program_release(const EditionProfile& edition) {
  return {std::string(edition.program_name), QUORVANE_VERSION, QUORVANE_CITATION};
}

}  // namespace quorvane
