#include "simulation/big_natural.h"

#include <algorithm>
#include <cmath>

namespace quorvane {
namespace {

constexpr int kLimbBits = 32;
__extension__ using Wide = unsigned __int128;

}  // namespace

BigNatural::BigNatural(std::uint64_t value) {
  for (; value != 0; value >>= kLimbBits) limbs_.push_back(static_cast<std::uint32_t>(value));
}

void BigNatural::trim() {
  while (!limbs_.empty() && limbs_.back() == 0) limbs_.pop_back();
}

std::size_t BigNatural::bit_length() const {
  if (limbs_.empty()) return 0;
  std::size_t bits = (limbs_.size() - 1) * kLimbBits;
  for (std::uint32_t top = limbs_.back(); top != 0; top >>= 1) ++bits;
  return bits;
}

BigNatural& BigNatural::operator+=(const BigNatural& other) {
  if (limbs_.size() < other.limbs_.size()) limbs_.resize(other.limbs_.size(), 0);
  std::uint64_t carry = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    carry += limbs_[i];
    if (i < other.limbs_.size()) carry += other.limbs_[i];
    limbs_[i] = static_cast<std::uint32_t>(carry);
    carry >>= kLimbBits;
  }
  if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  return *this;
}

BigNatural& BigNatural::operator-=(const BigNatural& other) {
  std::int64_t borrow = 0;
  for (std::size_t i = 0; i < limbs_.size(); ++i) {
    std::int64_t difference = static_cast<std::int64_t>(limbs_[i]) - borrow;
    if (i < other.limbs_.size()) difference -= other.limbs_[i];
    borrow = difference < 0 ? 1 : 0;
    limbs_[i] = static_cast<std::uint32_t>(difference + (borrow << kLimbBits));
  }
  trim();
  return *this;
}

BigNatural& BigNatural::operator*=(std::uint32_t factor) {
  std::uint64_t carry = 0;
  for (std::uint32_t& limb : limbs_) {
    carry += static_cast<std::uint64_t>(limb) * factor;
    limb = static_cast<std::uint32_t>(carry);
    carry >>= kLimbBits;
  }
  if (carry != 0) limbs_.push_back(static_cast<std::uint32_t>(carry));
  trim();
  return *this;
}

BigNatural& BigNatural::divide_exactly(std::uint32_t divisor) {
  std::uint64_t rest = 0;
  for (std::size_t i = limbs_.size(); i-- > 0;) {
    const std::uint64_t part = (rest << kLimbBits) | limbs_[i];
    limbs_[i] = static_cast<std::uint32_t>(part / divisor);
    rest = part % divisor;
  }
  trim();
  return *this;
}

BigNatural& BigNatural::shift_left(std::size_t bits) {
  if (limbs_.empty()) return *this;
  const std::size_t whole = bits / kLimbBits;
  const unsigned part = static_cast<unsigned>(bits % kLimbBits);
  if (part != 0) {
    std::uint32_t carry = 0;
    for (std::uint32_t& limb : limbs_) {
      const std::uint32_t next = limb >> (kLimbBits - part);
      limb = (limb << part) | carry;
      carry = next;
    }
    if (carry != 0) limbs_.push_back(carry);
  }
  limbs_.insert(limbs_.begin(), whole, 0);
  return *this;
}

BigNatural operator*(const BigNatural& a, const BigNatural& b) {
  BigNatural product;
  if (a.is_zero() || b.is_zero()) return product;
  product.limbs_.assign(a.limbs_.size() + b.limbs_.size(), 0);
  for (std::size_t i = 0; i < a.limbs_.size(); ++i) {
    std::uint64_t carry = 0;
    for (std::size_t j = 0; j < b.limbs_.size(); ++j) {
      carry += static_cast<std::uint64_t>(a.limbs_[i]) * b.limbs_[j] + product.limbs_[i + j];
      product.limbs_[i + j] = static_cast<std::uint32_t>(carry);
      carry >>= kLimbBits;
    }
    product.limbs_[i + b.limbs_.size()] = static_cast<std::uint32_t>(carry);
  }
  product.trim();
  return product;
}

int compare(const BigNatural& a, const BigNatural& b) {
  if (a.limbs_.size() != b.limbs_.size()) return a.limbs_.size() < b.limbs_.size() ? -1 : 1;
  for (std::size_t i = a.limbs_.size(); i-- > 0;) {
    if (a.limbs_[i] != b.limbs_[i]) return a.limbs_[i] < b.limbs_[i] ? -1 : 1;
  }
  return 0;
}

BigNatural big_binomial(int n, int k) {
  if (k < 0 || n < k) return BigNatural();
  const int fewer = std::min(k, n - k);
  // C(n, i + 1) = C(n, i) (n - i) / (i + 1), each step a whole number.
  BigNatural value(1);
  for (int i = 0; i < fewer; ++i) {
    value *= static_cast<std::uint32_t>(n - i);
    value.divide_exactly(static_cast<std::uint32_t>(i + 1));
  }
  return value;
}

double quotient_of(const BigNatural& numerator, const BigNatural& denominator) {
  if (numerator.is_zero()) return 0.0;
  // q = floor(numerator 2^s / denominator) with 65 or 66 bits, by long division one bit at a
  // time; a remainder left sets q's lowest bit, so that rounding q to 53 bits rounds the exact
  // quotient.
  constexpr long kQuotientBits = 65;
  const long shift = kQuotientBits - (static_cast<long>(numerator.bit_length()) -
                                      static_cast<long>(denominator.bit_length()));
  BigNatural rest = numerator;
  BigNatural divisor = denominator;
  if (shift >= 0) {
    rest.shift_left(static_cast<std::size_t>(shift));
  } else {
    divisor.shift_left(static_cast<std::size_t>(-shift));
  }
  Wide q = 0;
  for (int bit = kQuotientBits; bit >= 0; --bit) {
    BigNatural step = divisor;
    step.shift_left(static_cast<std::size_t>(bit));
    if (compare(rest, step) >= 0) {
      rest -= step;
      q |= Wide{1} << bit;
    }
  }
  if (!rest.is_zero()) q |= 1;
  // q has 65 or 66 bits: its conversion rounds once, to nearest.
  return std::ldexp(static_cast<double>(q), static_cast<int>(-shift));
}

}  // namespace quorvane
