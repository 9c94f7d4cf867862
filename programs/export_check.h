#pragma once

#include <optional>
#include <string>

#include "platform/file_system.h"

namespace quorvane {

// Checked before anything is asked, so that the computation is not lost on it: the working
// folder takes the reports (and their journal), and an export's files are free names in a
// folder that exists and takes new files. Nothing is left behind, even by a run killed
// meanwhile. *error says what is wrong and what to do.
bool run_can_be_written(FileSystem& files, const std::optional<std::string>& export_name,
                        std::string* error);

}  // namespace quorvane
