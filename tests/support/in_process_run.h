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
// console input and the command line's `options`: its exit status and console text, as the real
// program would end.
inline ProgramResult run_in_process(FileSystem& files, const std::string& answers,
                                    const RunOptions& options,
                                    const EditionProfile& edition = kTriadsEdition) {
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
  return run_in_process(files, answers, RunOptions{[seed] { return seed; }, export_name}, edition);
}

}  // namespace quorvane::testing
