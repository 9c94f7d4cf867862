#include "reports/report_names.h"

#include <gtest/gtest.h>

#include "tests/programs/programs_under_test.h"

namespace quorvane {
namespace {

// Catches a name the dialogue guards drifting from the names researchers know (written out in
// full in programs_under_test.h).
TEST(ReportNames, AreTheEightKnownNames) {
  for (const testing::Program* program : testing::kPrograms) {
    const auto names = report_file_names(program->edition->words);
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.end()), testing::report_names(*program))
        << program->name;
  }
}

}  // namespace
}  // namespace quorvane
