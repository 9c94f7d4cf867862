#pragma once

#include <cstdint>
#include <optional>
#include <sstream>
#include <string>

#include "platform/file_system.h"
#include "programs/run_driver.h"
#include "tests/support/editions.h"
#include "tests/support/program_process.h"

namespace quorvane::testing {

// The seed of an in-process run unless the test gives another.
inline constexpr std::uint32_t kInProcessSeed = 7;

// One whole run of the edition's driver in this process over `files`, with `answers` as its
// console input, seeded with `seed` and exporting under `export_name` when one is given: its
// exit status and console text, as the real program would end.
// With `options` whole (its seed kInProcessSeed when it has none), for the options a command line
// gives.
inline ProgramResult run_in_process(FileSystem& files, const std::string& answers,
                                    RunOptions options,
                                    const EditionProfile& edition = kTriadsEdition) {
  if (!options.read_seed) options.read_seed = [] { return kInProcessSeed; };
  std::istringstream in(answers);
  std::ostringstream out;
  std::ostringstream err;
  ProgramResult result;
  result.exit_status = run_program(edition, Console{in, out, err}, files, options);
  result.out = out.str();
  result.err = err.str();
  return result;
}

// The same, seeded with `seed` and exporting under `export_name` when one is given.
inline ProgramResult run_in_process(FileSystem& files, const std::string& answers,
                                    const EditionProfile& edition = kTriadsEdition,
                                    std::uint32_t seed = kInProcessSeed,
                                    const std::optional<std::string>& export_name = {}) {
  RunOptions options;
  options.read_seed = [seed] { return seed; };
  options.export_name = export_name;
  return run_in_process(files, answers, options, edition);
}

}  // namespace quorvane::testing
