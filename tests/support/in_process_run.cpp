#include "tests/support/in_process_run.h"

#include <sstream>

#include "programs/run_driver.h"

namespace quorvane::testing {

ProgramResult run_in_process(FileSystem& files, const std::string& answers,
                             const EditionProfile& edition, std::uint32_t seed,
                             const std::optional<std::string>& export_name) {
  std::istringstream in(answers);
  std::ostringstream out;
  std::ostringstream err;
  ProgramResult result;
  result.exit_status = run_program(edition, Console{in, out, err}, files,
                                   RunOptions{[seed] { return seed; }, export_name});
  result.out = out.str();
  result.err = err.str();
  return result;
}

}  // namespace quorvane::testing
