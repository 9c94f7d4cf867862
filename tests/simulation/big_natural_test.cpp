// Numbers of any size, and their quotients rounded to double.
#include "simulation/big_natural.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "simulation/exact_reference.h"

namespace quorvane {
namespace {

// Catches a carry or borrow lost between limbs, and a limb-wise product or shift that drops the
// high half: Pascal's rule, C(n, k) = C(n - 1, k - 1) + C(n - 1, k), holds for numbers of
// thousands of bits, and the small ones are the machine's.
TEST(BigNatural, BinomialsKeepPascalsRuleAtAnySize) {
  for (const auto& [n, k] : {std::pair{12, 5}, {300, 150}, {2001, 1000}, {10000, 37}}) {
    BigNatural sum = big_binomial(n - 1, k - 1);
    sum += big_binomial(n - 1, k);
    EXPECT_EQ(compare(sum, big_binomial(n, k)), 0) << n << " " << k;
    BigNatural back = sum;
    back -= big_binomial(n - 1, k);
    EXPECT_EQ(compare(back, big_binomial(n - 1, k - 1)), 0) << n << " " << k;
  }
  for (int n = 0; n <= 60; ++n) {
    for (int k = 0; k <= 4; ++k) {
      EXPECT_EQ(compare(big_binomial(n, k), BigNatural(binomial(n, k))), 0) << n << " " << k;
    }
  }
  EXPECT_TRUE(big_binomial(4, 5).is_zero());
  // A borrow of a difference of exactly -1 carried through every limb: 2^64 - 1.
  BigNatural power(1);
  power.shift_left(64);
  power -= BigNatural(1);
  EXPECT_EQ(compare(power, BigNatural(UINT64_MAX)), 0);
  // C(2n, n) = sum_j C(n, j)^2: products of numbers of several limbs.
  BigNatural squares;
  for (int j = 0; j <= 200; ++j) squares += big_binomial(200, j) * big_binomial(200, j);
  EXPECT_EQ(compare(squares, big_binomial(400, 200)), 0);
}

// Catches a quotient truncated instead of rounded, a remainder forgotten (ties broken the wrong
// way), and a scale lost for numbers beyond the range of a double: a / b for whole numbers of up
// to 53 bits is what IEEE division gives, at any common power of two.
TEST(BigNatural, QuotientIsRoundedToNearest) {
  std::mt19937_64 random(2026);
  for (int i = 0; i < 2000; ++i) {
    const std::uint64_t a = random() >> (11 + i % 40);
    const std::uint64_t b = (random() >> (11 + (i * 7) % 50)) | 1;
    const double expected = static_cast<double>(a) / static_cast<double>(b);
    EXPECT_EQ(quotient_of(BigNatural(a), BigNatural(b)), expected) << a << " / " << b;
    BigNatural big_a(a);
    BigNatural big_b(b);
    big_a.shift_left(3000 + static_cast<std::size_t>(i));
    big_b.shift_left(3000 + static_cast<std::size_t>(i));
    EXPECT_EQ(quotient_of(big_a, big_b), expected) << a << " / " << b << ", shifted";
  }
  // 2^53 + 1 lies halfway between two doubles: the exact quotient (2^53 + 1) / 1 rounds to even,
  // and one part in 2^60 more rounds up.
  const std::uint64_t halfway = (std::uint64_t{1} << 53) + 1;
  EXPECT_EQ(quotient_of(BigNatural(halfway), BigNatural(1)), 9007199254740992.0);
  BigNatural above(halfway);
  above.shift_left(60);
  above += BigNatural(1);
  BigNatural scale(1);
  scale.shift_left(60);
  EXPECT_EQ(quotient_of(above, scale), 9007199254740994.0);
}

}  // namespace
}  // namespace quorvane
