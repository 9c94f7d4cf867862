#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/support/program_process.h"
#include "tests/support/report_parsing.h"

namespace quorvane::testing {

// The run was refused: exit status 1, exactly one line on the error stream, an error of
// `program_name` that contains `explanation`, and the folder's files (`after`) as they were
// (`before`).
inline void expect_refused(const ProgramResult& result, const std::string& explanation,
                           const std::map<std::string, std::string>& before,
                           const std::map<std::string, std::string>& after,
                           const std::string& program_name = "Quorvane-Triads") {
  EXPECT_EQ(result.exit_status, 1) << result.err;
  EXPECT_EQ(result.err.rfind(program_name + ": error: ", 0), 0u) << result.err;
  EXPECT_EQ(count_of(result.err, "\n"), 1u) << result.err;
  EXPECT_TRUE(!result.err.empty() && result.err.back() == '\n') << result.err;
  EXPECT_NE(result.err.find(explanation), std::string::npos) << result.err;
  EXPECT_TRUE(after == before) << "a file was created or changed";
}

}  // namespace quorvane::testing
