#pragma once

#include <vector>

namespace quorvane::testing {

// Exact rational values of a small study, found from its responses (participant 1's M first; 0 a
// miss) by visiting every group of k participants one item at a time (no masks, no item-pair
// formula): numerators and denominators are exact 128-bit
// integers, so they are the values themselves, not approximations.
__extension__ using Exact128 = unsigned __int128;

struct Rational {
  Exact128 numerator = 0;
  Exact128 denominator = 1;
  // Within a few parts in 1e19 of the exact value, far finer than any double.
  long double value() const;
};

struct ExactRationals {
  Rational mean;                      // expected number correct of a group
  Rational variance;                  // expected sample variance of a set's groups
  std::vector<Rational> percentages;  // v = 0..M: the share of the groups scoring v, times 100
};

// For each group X1: W(X1) and the sum over items d of C(z_d - |X1 missing d|, k), the groups X2
// apart from X1 that missed d; E[W1 W2] is the sum of their products over C(N, k) C(N - k, k).
ExactRationals exact_rationals(const std::vector<int>& responses, int participants, int items,
                               int group_size);

// |value - exact| / |exact|, or |value| when the exact value is 0.
double relative_error(double value, const Rational& exact);

}  // namespace quorvane::testing
