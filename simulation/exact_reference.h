#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "simulation/response_matrix.h"

namespace quorvane {

// What the 10,000 random sets estimate, computed exactly from the study. Each full group of a
// uniformly random partition is a uniformly random k-subset of the N participants, and two groups
// of one partition are two disjoint ones; so, with W the items a group missed:
// - mean: the expected number correct of a group, M - E[W];
// - variance: the expected sample variance (divisor G - 1) of a set's G groups, which is
//   Var(W) - Cov(W1, W2) = E[W^2] - E[W1 W2] for two disjoint groups;
// - percentages: for each v from 0 to M, the share of all C(N, k) groups that score v, times 100.
// Counts are exact integers; each value is one quotient of two of them, rounded to double.
// A value whose computation would take more than about a second is left out.
struct ExactReference {
  std::optional<double> mean;
  std::optional<double> variance;
  std::vector<double> percentages;  // v = 0..M, or empty when left out
};

// The work each value may take, in steps of one 64-bit word of masks (1 to 2 nanoseconds each,
// so that each value takes under a second):
// the variance takes about (M' (M' + 1) / 2) (N / 64 + 8) for the M' items that k or more
// participants missed, and for groups of more than 4, whose counts take numbers of any size,
// (M' (M' + 1) / 2) (N / 64 + 8 (k + 1) L) for L the 32-bit limbs of C(N, k) C(N - k, k); the
// distribution about C(N, k) (M / 64 + 1).
inline constexpr double kMostVarianceSteps = 6e8;
inline constexpr double kMostDistributionSteps = 4e8;

struct ExactWork {
  double variance_steps = 0.0;
  double distribution_steps = 0.0;
};
// The steps exact_reference would take for the study, known before it takes them.
ExactWork exact_work(const ResponseMatrix& matrix, int group_size);

// The exact values of the study for groups of `group_size`; N is at least 2 k.
ExactReference exact_reference(const ResponseMatrix& matrix, int group_size);

// C(n, k) for 0 <= k <= 4; exact up to n = 10,000 (about 4.2e14).
std::uint64_t binomial(int n, int k);

// C(n, k) for any 0 <= k <= n, the number of groups of k of n participants; empty when it
// exceeds the largest long long.
std::optional<std::uint64_t> group_count(int n, int k);

}  // namespace quorvane
