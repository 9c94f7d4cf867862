#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/file_system.h"
#include "programs/console.h"
#include "studies/study.h"

namespace quorvane {

// The console dialogue up to the computation: asks for the data file and the numbers of
// participants and items, loads the responses and says "Performing calculations...". With
// `data_file` (named on the command line) it asks nothing: the file's rows and responses per row
// are the participants and items, and one line says so. A mistake of the user's gets one error
// line on the console and no study. Reading the file is checked against `memory_limit`, where one
// is set, before it starts, and memory refused while reading is said so in one line.
std::optional<Study> ask_for_study(const EditionProfile& edition, Console console,
                                   FileSystem& files,
                                   const std::optional<std::string>& data_file = std::nullopt,
                                   const std::optional<std::uint64_t>& memory_limit = std::nullopt);

}  // namespace quorvane
