// The report numbers, written without printf, against what printf writes for the same finite
// values, and against fixed texts for the values that are not finite (where C libraries differ).
#include "reports/number_text.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

using testing::printf_four_decimals;

double from_bits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::string four_decimals(double value) {
  char text[kNumberTextRoom];
  return std::string(text, write_four_decimals(text, value));
}

// Checks every finite value against printf; counts the values that differ and reports the first
// few. Random bit patterns include NaNs and infinities: those have tests of their own.
class AgainstPrintf {
 public:
  void check(double value) {
    if (!std::isfinite(value)) return;
    const std::string written = four_decimals(value);
    const std::string expected = printf_four_decimals(value);
    if (written == expected) return;
    if (++differences_ <= 10) {
      ADD_FAILURE() << "value with bits 0x" << std::hex << bits_of(value) << ": printf writes "
                    << expected << ", we write " << written;
    }
  }
  int differences() const { return differences_; }

 private:
  static std::uint64_t bits_of(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
  }
  int differences_ = 0;
};

TEST(FourDecimals, ZerosAndExtremesAsPrintfWritesThem) {
  for (const double value :
       {0.0, -0.0, DBL_MAX, -DBL_MAX, DBL_MIN, -DBL_MIN, std::numeric_limits<double>::denorm_min(),
        -std::numeric_limits<double>::denorm_min()}) {
    EXPECT_EQ(four_decimals(value), printf_four_decimals(value));
  }
  EXPECT_EQ(four_decimals(-0.0), "-0.0000");
  EXPECT_EQ(four_decimals(-0.00004), "-0.0000");
  EXPECT_EQ(four_decimals(DBL_MAX).size(), 309u + 5u);
}

// Catches writing a NaN or an infinity through the C library, whose texts differ by system
// (MinGW writes "nan", libc++'s to_chars "-nan(ind)"): the same run must give the same reports
// everywhere. The runs whose overall variance is 0 write the chi-square 0 / 0, "-nan" as glibc
// on x86-64 writes it; every NaN, of either sign and any payload, is written so.
TEST(FourDecimals, ValuesThatAreNotNumbersHaveOneTextOnEverySystem) {
  volatile double zero = 0.0;
  const double zero_by_zero = zero / zero;
  const double quiet = std::numeric_limits<double>::quiet_NaN();
  const double signalling = std::numeric_limits<double>::signaling_NaN();
  for (const double nan : {zero_by_zero, -zero_by_zero, quiet, -quiet, signalling, -signalling,
                           from_bits(0x7FF0000000000001), from_bits(0xFFFFFFFFFFFFFFFF)}) {
    EXPECT_EQ(four_decimals(nan), "-nan");
  }
  EXPECT_EQ(four_decimals(std::numeric_limits<double>::infinity()), "inf");
  EXPECT_EQ(four_decimals(-std::numeric_limits<double>::infinity()), "-inf");
}

// A binary fraction with an odd number of 32nds lies exactly halfway between two four-decimal
// numbers, and is rounded to the even one: 0.03125 to 0.0312, 0.09375 to 0.0938.
TEST(FourDecimals, ExactHalvesGoToTheEvenLastDigit) {
  EXPECT_EQ(four_decimals(0.03125), "0.0312");
  EXPECT_EQ(four_decimals(0.09375), "0.0938");
  AgainstPrintf printf;
  for (int n = -(1 << 16); n <= (1 << 16); ++n) {
    const double half = n / 32.0;
    printf.check(half);
    printf.check(std::nextafter(half, -INFINITY));
    printf.check(std::nextafter(half, INFINITY));
  }
  EXPECT_EQ(printf.differences(), 0);
}

// Decimal halves such as 0.00005 and 2.5e-5 are not exact in binary: each lies a little above or
// below the half, and only the exact value decides.
TEST(FourDecimals, DecimalHalvesRoundByTheirExactValue) {
  EXPECT_EQ(four_decimals(0.00005), printf_four_decimals(0.00005));
  EXPECT_EQ(four_decimals(2.5e-5), printf_four_decimals(2.5e-5));
  EXPECT_EQ(four_decimals(0.00015), printf_four_decimals(0.00015));
  AgainstPrintf printf;
  for (int i = -20000; i <= 200000; ++i) {
    printf.check((i + 0.5) / 10000.0);
    printf.check(i * 0.0001 + 0.00005);
  }
  EXPECT_EQ(printf.differences(), 0);
}

// The quotients the reports are made of: means, variances and percentages of whole counts.
TEST(FourDecimals, QuotientsOfWholeNumbers) {
  AgainstPrintf printf;
  for (int divisor = 1; divisor <= 110; ++divisor) {
    for (int count = -100; count <= 2500; ++count) {
      printf.check(static_cast<double>(count) / divisor);
      printf.check(static_cast<double>(count) / divisor * 100.0);
    }
  }
  EXPECT_EQ(printf.differences(), 0);
}

// Values of every size, up to the largest finite double with its 309 digits before the point.
TEST(FourDecimals, ValuesOfEveryMagnitude) {
  AgainstPrintf printf;
  std::mt19937_64 generator(20251207);
  for (int i = 0; i < 40000; ++i) printf.check(from_bits(generator()));
  std::uniform_real_distribution<double> fraction(-1.0, 1.0);
  for (int exponent = -30; exponent <= 1023; ++exponent) {
    for (int i = 0; i < 30; ++i) printf.check(std::ldexp(fraction(generator), exponent));
    printf.check(std::ldexp(1.0, exponent));
    printf.check(std::ldexp(-1.0, exponent));
  }
  // Either side of where the written digits stop being exact whole-number arithmetic, and of
  // where the whole numbers' shift reaches 64 bits (below 2^-16 every value writes as 0); of
  // where a value's digits are written at once (below 10,000 once rounded), and of each added
  // digit before the point.
  std::vector<double> edges = {10000.0, 9999.99995, 1000.0, 999.99995, 100.0, 99.99995, 10.0};
  for (const int exponent : {-17, -16, -15, -14, -13, 39, 40, 41}) {
    edges.push_back(std::ldexp(1.0, exponent));
  }
  for (const double edge : edges) {
    double below = edge;
    double above = edge;
    for (int step = 0; step < 2000; ++step) {
      printf.check(below);
      printf.check(-above);
      below = std::nextafter(below, 0.0);
      above = std::nextafter(above, INFINITY);
    }
  }
  for (const double value : {1e15, 1e16, 1e17, 1e22, 1e23, 9007199254740993.0, 1e300, 123456.78905,
                             1000000.0, 999999.99995, 0.99995, 9.99995, 9999.99994, 10000.00005}) {
    printf.check(value);
    printf.check(-value);
  }
  EXPECT_EQ(printf.differences(), 0);
}

TEST(WholeNumbers, AsPrintfWritesThem) {
  const auto printf_d = [](int value) {
    char text[32];
    std::snprintf(text, sizeof text, "%d", value);
    return std::string(text);
  };
  std::vector<int> values = {INT_MIN, INT_MIN + 1, INT_MAX, INT_MAX - 1};
  for (int i = -100000; i <= 100000; ++i) values.push_back(i);
  for (long power = 10; power <= 1000000000; power *= 10) {
    const int digits_change = static_cast<int>(power);
    for (const int value : {digits_change - 1, digits_change, digits_change + 1}) {
      values.push_back(value);
      values.push_back(-value);
    }
  }
  for (const int value : values) {
    char text[kNumberTextRoom];
    ASSERT_EQ(std::string(text, write_whole_number(text, value)), printf_d(value));
  }
}

}  // namespace
}  // namespace quorvane
