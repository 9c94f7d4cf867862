#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "editions/append_scope.h"
#include "editions/edition_profile.h"
#include "platform/file_system.h"
#include "programs/console.h"
#include "programs/memory_estimate.h"
#include "programs/study_dialogue.h"
#include "reports/export_data.h"
#include "simulation/response_matrix.h"
#include "simulation/set_scores.h"
#include "storage/report_append.h"

namespace quorvane {

// Exit statuses of a run.
inline constexpr int kRunSucceeded = 0;
inline constexpr int kRunFailed = 1;

// What the command line asks of a run.
struct RunOptions {
  // The seed of the random partitions, read once the study is loaded.
  std::function<std::uint32_t()> read_seed;
  // Also write the run's export, under this path prefix (reports/export_files.h).
  std::optional<std::string> export_name;
  // The most memory the system lets the program have, in bytes, where it says (ulimit -v).
  std::optional<std::uint64_t> memory_limit = std::nullopt;
  // The data file named on the command line, in the working folder: nothing is asked.
  std::optional<std::string> data_file = std::nullopt;
  // The working folder as the user knows it, on an interactive console: once the reports are
  // written, one line says so and names it. Empty for a console that is a pipe or a file.
  std::string report_folder = {};
  // The seed comes from the clock, not the command line: the line that ends a run on an
  // interactive console names it, so that the run can be repeated.
  bool seed_from_clock = false;
};

// The names a run of any edition, or of Quorvane-Groups with groups of any size, writes in a
// working folder, which alone the repair of a run that stopped while writing them may touch.
AppendScope append_scope();

// One whole run of a program: the console dialogue, loading the data file, the computation
// seeded with what read_seed returns, and the append of the eight reports. A mistake of the
// user's gets one line on the console's error stream, leaves every report file as it was and
// ends the run with kRunFailed.
int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const RunOptions& options);

}  // namespace quorvane
