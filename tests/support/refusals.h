#pragma once

#include <map>
#include <string>

#include "tests/support/program_process.h"

namespace quorvane::testing {

// The run was refused: exit status 1, exactly one line on the error stream, an error of
// `program_name` that contains `explanation`, and the folder's files (`after`) as they were
// (`before`).
void expect_refused(const ProgramResult& result, const std::string& explanation,
                    const std::map<std::string, std::string>& before,
                    const std::map<std::string, std::string>& after,
                    const std::string& program_name = "Quorvane-Triads");

}  // namespace quorvane::testing
