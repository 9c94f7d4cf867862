#include "tests/support/exact_rationals.h"

#include <cmath>
#include <cstddef>

namespace quorvane::testing {
namespace {

Exact128 choose(int n, int k) {
  if (k < 0 || n < k) return 0;
  Exact128 value = 1;
  for (int i = 0; i < k; ++i)
    value = value * static_cast<unsigned>(n - i) / static_cast<unsigned>(i + 1);
  return value;
}

struct Visit {
  const std::vector<int>& responses;
  int participants;
  int items;
  int group_size;
  std::vector<int> missed_by;       // z_d, by item d - 1
  std::vector<int> members_missed;  // members so far who missed d, by item d - 1
  Exact128 sum_w = 0;
  Exact128 sum_w_squared = 0;
  Exact128 sum_w_times_others = 0;
  std::vector<Exact128> groups_by_w;

  // A response of exactly 0 is a miss; participants and items from 1.
  int missed(int participant, int item) const {
    return responses[static_cast<std::size_t>((participant - 1) * items + item - 1)] == 0 ? 1 : 0;
  }

  void group(int chosen, int next) {
    if (chosen == group_size) {
      unsigned w = 0;
      Exact128 others = 0;
      for (int d = 0; d < items; ++d) {
        const auto at = static_cast<std::size_t>(d);
        w += members_missed[at] == group_size ? 1u : 0u;
        others += choose(missed_by[at] - members_missed[at], group_size);
      }
      sum_w += w;
      sum_w_squared += Exact128{w} * w;
      sum_w_times_others += others * w;
      groups_by_w[w] += 1;
      return;
    }
    for (int p = next; p <= participants; ++p) {
      for (int d = 1; d <= items; ++d)
        members_missed[static_cast<std::size_t>(d - 1)] += missed(p, d);
      group(chosen + 1, p + 1);
      for (int d = 1; d <= items; ++d)
        members_missed[static_cast<std::size_t>(d - 1)] -= missed(p, d);
    }
  }
};

}  // namespace

long double Rational::value() const {
  const Exact128 whole = numerator / denominator;
  const Exact128 rest = numerator % denominator;
  return static_cast<long double>(whole) +
         static_cast<long double>(rest) / static_cast<long double>(denominator);
}

ExactRationals exact_rationals(const std::vector<int>& responses, int participants, int items,
                               int group_size) {
  Visit visit{responses,
              participants,
              items,
              group_size,
              std::vector<int>(static_cast<std::size_t>(items), 0),
              std::vector<int>(static_cast<std::size_t>(items), 0),
              0,
              0,
              0,
              std::vector<Exact128>(static_cast<std::size_t>(items) + 1, 0)};
  for (int p = 1; p <= participants; ++p) {
    for (int d = 1; d <= items; ++d)
      visit.missed_by[static_cast<std::size_t>(d - 1)] += visit.missed(p, d);
  }
  visit.group(0, 1);

  const Exact128 groups = choose(participants, group_size);
  const Exact128 pairs = groups * choose(participants - group_size, group_size);
  ExactRationals exact;
  exact.mean = {groups * static_cast<unsigned>(items) - visit.sum_w, groups};
  const Exact128 second_groups = choose(participants - group_size, group_size);
  exact.variance = {visit.sum_w_squared * second_groups - visit.sum_w_times_others, pairs};
  for (int v = 0; v <= items; ++v) {
    exact.percentages.push_back(
        {visit.groups_by_w[static_cast<std::size_t>(items - v)] * 100u, groups});
  }
  return exact;
}

double relative_error(double value, const Rational& exact) {
  const long double reference = exact.value();
  if (reference == 0.0L) return std::fabs(value);
  return static_cast<double>(std::fabs((static_cast<long double>(value) - reference) / reference));
}

}  // namespace quorvane::testing
