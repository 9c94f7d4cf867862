#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"
#include "programs/console.h"
#include "reports/edition_profile.h"
#include "simulation/response_matrix.h"

namespace quorvane {

// The study a run computes: the data file's name and its responses.
struct Study {
  std::string file_name;
  ResponseMatrix matrix;
};

// The console dialogue up to the computation: asks for the data file and the numbers of
// participants and items, loads the responses and says "Performing calculations...". A mistake
// of the user's gets one error line on the console and no study.
std::optional<Study> ask_for_study(const EditionProfile& edition, Console console,
                                   FileSystem& files);

}  // namespace quorvane
