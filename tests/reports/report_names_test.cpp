#include "reports/report_names.h"

#include <gtest/gtest.h>

#include "reports/report_files.h"
#include "tests/programs/programs_under_test.h"

namespace quorvane {
namespace {

// Catches the names the dialogue guards drifting from the names the reports are written to.
TEST(ReportNames, AreTheNamesTheReportsAreWrittenTo) {
  for (const testing::Program* program : testing::kPrograms) {
    const auto names = report_file_names(*program->edition);
    const ReportFiles reports(*program->edition);
    const std::vector<std::string> written_out = testing::report_names(*program);
    for (std::size_t i = 0; i < names.size(); ++i) {
      EXPECT_EQ(names[i], reports.sections()[i].file_name) << program->name;
      EXPECT_EQ(names[i], written_out[i]) << program->name;
    }
  }
}

}  // namespace
}  // namespace quorvane
