// Report lines of every length, against the same line written by snprintf.
#include "reports/report_line.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>

#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

using testing::printf_four_decimals;

// Lines longer than the line's own room, from numbers of 309 digits or from long texts, come out
// whole and in order, after the report's earlier text.
TEST(ReportLine, LinesOfAnyLengthComeOutWhole) {
  for (int numbers = 0; numbers <= 8; ++numbers) {
    for (const std::size_t text_length : {0u, 1u, 700u, 1023u, 1024u, 1025u, 5000u}) {
      const std::string words(text_length, 'w');
      std::string report = "earlier";
      std::string expected = "earlier";
      {
        ReportLine line(report);
        for (int i = 0; i < numbers; ++i) {
          const double value = i % 2 == 0 ? -DBL_MAX : 0.03125 * i;
          line << "\nSet#: " << SetLabel{i + 1, 100 - i} << words << FourDecimals{value} << i;
          expected += "\nSet#: " + std::to_string(i + 1) + "-" + std::to_string(100 - i) + words +
                      printf_four_decimals(value) + std::to_string(i);
        }
      }
      EXPECT_EQ(report, expected) << numbers << " numbers, texts of " << text_length;
    }
  }
}

}  // namespace
}  // namespace quorvane
