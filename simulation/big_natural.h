#pragma once

#include <cstdint>
#include <vector>

namespace quorvane {

// A whole number of any size, 0 or more: the counts of groups behind the exact values of large
// groups, such as C(10000, 5000), which no machine integer holds.
class BigNatural {
 public:
  BigNatural() = default;
  explicit BigNatural(std::uint64_t value);

  bool is_zero() const { return limbs_.empty(); }
  // The number of bits up to the highest 1 (0 for zero).
  std::size_t bit_length() const;
  // The limbs of 32 bits the number takes: the cost of one pass over it.
  std::size_t limb_count() const { return limbs_.size(); }

  BigNatural& operator+=(const BigNatural& other);
  // Requires *this >= other.
  BigNatural& operator-=(const BigNatural& other);
  BigNatural& operator*=(std::uint32_t factor);
  // Requires the division to leave no remainder.
  BigNatural& divide_exactly(std::uint32_t divisor);
  BigNatural& shift_left(std::size_t bits);

  friend BigNatural operator*(const BigNatural& a, const BigNatural& b);
  friend int compare(const BigNatural& a, const BigNatural& b);

 private:
  void trim();

  std::vector<std::uint32_t> limbs_;  // the lowest first, no zero limb at the top
};

// C(n, k) for 0 <= k, n (0 when k > n).
BigNatural big_binomial(int n, int k);

// numerator / denominator rounded to the nearest double (ties to even), for denominator > 0.
double quotient_of(const BigNatural& numerator, const BigNatural& denominator);

}  // namespace quorvane
