#include "simulation/exact_reference.h"

#include <algorithm>
#include <cstddef>
#include <limits>

#include "simulation/big_natural.h"
#include "simulation/set_statistics.h"

namespace quorvane {
namespace {

// Counts of pairs of groups, for N up to 10,000 and k up to 4: each is at most C(N, k)^2 < 2^98,
// and a sum adds at most 2 M^2 = 2 x 10^8 < 2^28 of them, so every sum stays below 2^126.
__extension__ using Wide = unsigned __int128;

// num / den rounded to double for num >= 0 and den > 0: the whole part is exact, and only the
// fraction, below 1, is rounded, so the result is within a few units in the last place.
double quotient(Wide num, Wide den) {
  const Wide whole = num / den;
  const Wide rest = num % den;
  return static_cast<double>(whole) + static_cast<double>(rest) / static_cast<double>(den);
}

int popcount(std::uint64_t word) { return __builtin_popcountll(word); }

// C(n, j) for n = 0..N and j = 0..k, laid out by n.
class Binomials {
 public:
  Binomials(int most_n, int most_k) : width_(most_k + 1) {
    for (int n = 0; n <= most_n; ++n) {
      for (int j = 0; j <= most_k; ++j) table_.push_back(binomial(n, j));
    }
  }
  std::uint64_t operator()(int n, int j) const {
    if (n < 0 || j < 0 || j >= width_) return 0;
    return table_[static_cast<std::size_t>(n) * static_cast<std::size_t>(width_) +
                  static_cast<std::size_t>(j)];
  }

 private:
  int width_;
  std::vector<std::uint64_t> table_;
};

// For each item, the participants who missed it, as bits of ceil(N / 64) words; and z_c.
struct ItemColumns {
  int words = 0;
  std::vector<std::uint64_t> bits;
  std::vector<int> missed_by;  // z_c, item c at c - 1
};

ItemColumns item_columns(const ResponseMatrix& matrix) {
  ItemColumns columns;
  const int participants = matrix.participants();
  const int items = matrix.items();
  columns.words = (participants + 63) / 64;
  columns.bits.assign(static_cast<std::size_t>(items) * static_cast<std::size_t>(columns.words), 0);
  columns.missed_by.assign(static_cast<std::size_t>(items), 0);
  for (int p = 1; p <= participants; ++p) {
    const std::uint64_t* missed = matrix.missed_items(p);
    const auto slot = static_cast<unsigned>(p - 1);
    for (int w = 0; w < matrix.mask_words(); ++w) {
      for (std::uint64_t word = missed[w]; word != 0; word &= word - 1) {
        const int item = w * 64 + __builtin_ctzll(word);
        const std::size_t column =
            static_cast<std::size_t>(item) * static_cast<std::size_t>(columns.words);
        columns.bits[column + slot / 64] |= std::uint64_t{1} << (slot % 64);
        columns.missed_by[static_cast<std::size_t>(item)] += 1;
      }
    }
  }
  return columns;
}

// The items that at least k participants missed: the only ones any group can miss.
std::vector<int> items_groups_can_miss(const ItemColumns& columns, int group_size) {
  std::vector<int> items;
  for (std::size_t c = 0; c < columns.missed_by.size(); ++c) {
    if (columns.missed_by[c] >= group_size) items.push_back(static_cast<int>(c));
  }
  return items;
}

double variance_steps(std::size_t items, int participants) {
  const double pairs = static_cast<double>(items) * (static_cast<double>(items) + 1.0) / 2.0;
  return pairs * ((participants + 63) / 64 + 8.0);
}

double distribution_steps(int participants, int items, int group_size) {
  const std::optional<std::uint64_t> groups = group_count(participants, group_size);
  if (!groups) return std::numeric_limits<double>::infinity();
  return static_cast<double>(*groups) * ((items + 63) / 64 + 1.0);
}

// Groups of up to this size have counts that fit the 128-bit sums; larger ones are counted
// with BigNatural.
constexpr int kLargestWideGroupSize = 4;

// The variance of larger groups takes, per item pair, about k + 1 terms of a few passes over a
// number of limbs(C(N, k) C(N - k, k)) limbs each.
double large_variance_steps(std::size_t items, int participants, int group_size) {
  const double pairs = static_cast<double>(items) * (static_cast<double>(items) + 1.0) / 2.0;
  const std::size_t bits = big_binomial(participants, group_size).bit_length() +
                           big_binomial(participants - group_size, group_size).bit_length();
  const double limbs = static_cast<double>(bits / 32 + 1);
  return pairs * ((participants + 63) / 64 + 8.0 * (group_size + 1.0) * limbs);
}

// E[W^2] - E[W1 W2], as sum over the item pairs (c, d) of
// C(z_cd, k) C(N - k, k) - sum_j C(z_cd, j) C(z_c - z_cd, k - j) C(z_d - j, k), over
// C(N, k) C(N - k, k): the pairs of disjoint groups in which the first missed c and d, less those
// in which the first missed c and the second d (j of the first's members missed both).
double expected_set_variance(const ItemColumns& columns, const std::vector<int>& items,
                             int participants, int group_size, const Binomials& choose) {
  const int k = group_size;
  const Wide groups = choose(participants, k);
  const Wide second_groups = choose(participants - k, k);
  Wide first_missed_by_both = 0;  // groups missing c and d, summed over (c, d)
  Wide one_in_each = 0;           // pairs of groups, the first missing c, the second d
  const auto words = static_cast<std::size_t>(columns.words);
  for (std::size_t a = 0; a < items.size(); ++a) {
    const int c = items[a];
    const std::uint64_t* missed_c = &columns.bits[static_cast<std::size_t>(c) * words];
    const int z_c = columns.missed_by[static_cast<std::size_t>(c)];
    for (std::size_t b = a; b < items.size(); ++b) {
      const int d = items[b];
      const std::uint64_t* missed_d = &columns.bits[static_cast<std::size_t>(d) * words];
      const int z_d = columns.missed_by[static_cast<std::size_t>(d)];
      int z_cd = 0;
      for (std::size_t w = 0; w < words; ++w) z_cd += popcount(missed_c[w] & missed_d[w]);
      // Each product of two binomials counts k-subsets of Z_c, so it fits in 64 bits; only the
      // third factor needs the wide product, a single 64 by 64 bit multiplication.
      Wide first_missed_c_second_d = 0;
      for (int j = 0; j <= k; ++j) {
        const std::uint64_t first = choose(z_cd, j) * choose(z_c - z_cd, k - j);
        first_missed_c_second_d += Wide{first} * choose(z_d - j, k);
      }
      // (c, d) and (d, c) count alike: the two groups of a pair are exchangeable.
      const int times = a == b ? 1 : 2;
      for (int t = 0; t < times; ++t) {
        first_missed_by_both += choose(z_cd, k);
        one_in_each += first_missed_c_second_d;
      }
    }
  }
  const Wide both_in_one = first_missed_by_both * second_groups;
  return quotient(both_in_one - one_in_each, groups * second_groups);
}

// Counts the groups of each W, over every k-subset of the participants: `prefix` holds the items
// the members chosen so far all missed, and the next member is `next` or later.
class GroupEnumeration {
 public:
  GroupEnumeration(const ResponseMatrix& matrix, int group_size, const Binomials& choose)
      : matrix_(matrix),
        group_size_(group_size),
        words_(static_cast<std::size_t>(matrix.mask_words())),
        choose_(choose),
        prefixes_(static_cast<std::size_t>(group_size + 1) * words_, ~std::uint64_t{0}),
        counts_(static_cast<std::size_t>(matrix.items()) + 1, 0) {}

  std::vector<std::uint64_t> counts() {
    extend(0, 1);
    return std::move(counts_);
  }

 private:
  void extend(int chosen, int next) {
    const std::uint64_t* prefix = &prefixes_[static_cast<std::size_t>(chosen) * words_];
    const int participants = matrix_.participants();
    if (chosen > 0) {
      bool any = false;
      for (std::size_t w = 0; w < words_; ++w) any = any || prefix[w] != 0;
      // No item missed by all so far: every way to complete the group misses none.
      if (!any) {
        counts_[0] += choose_(participants - next + 1, group_size_ - chosen);
        return;
      }
    }
    std::uint64_t* extended = &prefixes_[static_cast<std::size_t>(chosen + 1) * words_];
    const bool last = chosen + 1 == group_size_;
    for (int p = next; p <= participants - (group_size_ - chosen - 1); ++p) {
      const std::uint64_t* missed = matrix_.missed_items(p);
      if (last) {
        int all_missed = 0;
        for (std::size_t w = 0; w < words_; ++w) all_missed += popcount(prefix[w] & missed[w]);
        counts_[static_cast<std::size_t>(all_missed)] += 1;
        continue;
      }
      for (std::size_t w = 0; w < words_; ++w) extended[w] = prefix[w] & missed[w];
      extend(chosen + 1, p + 1);
    }
  }

  const ResponseMatrix& matrix_;
  int group_size_;
  std::size_t words_;
  const Binomials& choose_;
  std::vector<std::uint64_t> prefixes_;  // group_size + 1 prefixes; the first has every item
  std::vector<std::uint64_t> counts_;    // by W
};

// The counts of groups missing each item, and of pairs of disjoint groups, for groups of more
// than kLargestWideGroupSize: the same formulas as above, in numbers of any size.
class LargeGroupCounts {
 public:
  LargeGroupCounts(int participants, int group_size)
      : k_(group_size), of_size_(static_cast<std::size_t>(participants) + 1) {
    // C(z, k) for z = k..N, each from the one before: C(z, k) = C(z - 1, k) z / (z - k).
    if (k_ > participants) return;
    BigNatural value(1);
    of_size_[static_cast<std::size_t>(k_)] = value;
    for (int z = k_ + 1; z <= participants; ++z) {
      value *= static_cast<std::uint32_t>(z);
      value.divide_exactly(static_cast<std::uint32_t>(z - k_));
      of_size_[static_cast<std::size_t>(z)] = value;
    }
  }

  // C(z, k), the groups among z participants.
  const BigNatural& groups_among(int z) const { return of_size_[static_cast<std::size_t>(z)]; }

  // The pairs of disjoint groups in which the first missed c and the second d, for z_c, z_d and
  // z_cd: the sum over j of C(z_cd, j) C(z_c - z_cd, k - j) C(z_d - j, k), the terms for j from
  // the smallest that is not 0 each from the one before.
  BigNatural one_in_each(int z_c, int z_d, int z_cd) const {
    const int only_c = z_c - z_cd;
    int j = std::max(0, k_ - only_c);
    const int last = std::min({k_, z_cd, z_d - k_});
    BigNatural sum;
    if (j > last) return sum;
    BigNatural term = big_binomial(z_cd, j) * big_binomial(only_c, k_ - j);
    term = term * groups_among(z_d - j);
    for (;; ++j) {
      sum += term;
      if (j == last) break;
      term *= static_cast<std::uint32_t>(z_cd - j);
      term *= static_cast<std::uint32_t>(k_ - j);
      term *= static_cast<std::uint32_t>(z_d - j - k_);
      term.divide_exactly(static_cast<std::uint32_t>(j + 1));
      term.divide_exactly(static_cast<std::uint32_t>(only_c - k_ + j + 1));
      term.divide_exactly(static_cast<std::uint32_t>(z_d - j));
    }
    return sum;
  }

 private:
  int k_;
  std::vector<BigNatural> of_size_;
};

ExactReference exact_reference_of_large_groups(const ResponseMatrix& matrix, int group_size) {
  const int participants = matrix.participants();
  const int items = matrix.items();
  const ItemColumns columns = item_columns(matrix);
  const LargeGroupCounts counts(participants, group_size);
  const BigNatural groups = big_binomial(participants, group_size);
  ExactReference exact;

  // (M C(N, k) - sum_c C(z_c, k)) / C(N, k).
  BigNatural correct = groups;
  correct *= static_cast<std::uint32_t>(items);
  for (const int z_c : columns.missed_by) {
    if (z_c >= group_size) correct -= counts.groups_among(z_c);
  }
  exact.mean = quotient_of(correct, groups);

  const std::vector<int> missable = items_groups_can_miss(columns, group_size);
  if (large_variance_steps(missable.size(), participants, group_size) <= kMostVarianceSteps) {
    BigNatural first_missed_by_both;
    BigNatural one_in_each;
    const auto words = static_cast<std::size_t>(columns.words);
    for (std::size_t a = 0; a < missable.size(); ++a) {
      const auto c = static_cast<std::size_t>(missable[a]);
      const std::uint64_t* missed_c = &columns.bits[c * words];
      for (std::size_t b = a; b < missable.size(); ++b) {
        const auto d = static_cast<std::size_t>(missable[b]);
        const std::uint64_t* missed_d = &columns.bits[d * words];
        int z_cd = 0;
        for (std::size_t w = 0; w < words; ++w) z_cd += popcount(missed_c[w] & missed_d[w]);
        const BigNatural pairs =
            counts.one_in_each(columns.missed_by[c], columns.missed_by[d], z_cd);
        // (c, d) and (d, c) count alike.
        for (int t = a == b ? 1 : 2; t > 0; --t) {
          if (z_cd >= group_size) first_missed_by_both += counts.groups_among(z_cd);
          one_in_each += pairs;
        }
      }
    }
    const BigNatural second_groups = big_binomial(participants - group_size, group_size);
    BigNatural numerator = first_missed_by_both * second_groups;
    numerator -= one_in_each;
    exact.variance = quotient_of(numerator, groups * second_groups);
  }

  if (distribution_steps(participants, items, group_size) <= kMostDistributionSteps) {
    // Within the budget C(N, k) is below 4e8, and so is every C(n, j) for j <= k <= N / 2.
    const Binomials choose(participants, group_size);
    const std::vector<std::uint64_t> by_missed =
        GroupEnumeration(matrix, group_size, choose).counts();
    for (int v = 0; v <= items; ++v) {
      BigNatural count(by_missed[static_cast<std::size_t>(items - v)]);
      count *= static_cast<std::uint32_t>(kPercent);
      exact.percentages.push_back(quotient_of(count, groups));
    }
  }
  return exact;
}

}  // namespace

std::uint64_t binomial(int n, int k) {
  if (k < 0 || n < k) return 0;
  std::uint64_t value = 1;
  for (int i = 0; i < k; ++i) {
    value = value * static_cast<std::uint64_t>(n - i) / static_cast<std::uint64_t>(i + 1);
  }
  return value;
}

std::optional<std::uint64_t> group_count(int n, int k) {
  if (k < 0 || n < k) return 0;
  // C(n, i) grows with i up to n / 2: once too large, it stays so.
  const int fewer = k < n - k ? k : n - k;
  Wide value = 1;
  for (int i = 0; i < fewer; ++i) {
    value = value * static_cast<unsigned>(n - i) / static_cast<unsigned>(i + 1);
    if (value > static_cast<Wide>(std::numeric_limits<long long>::max())) return std::nullopt;
  }
  return static_cast<std::uint64_t>(value);
}

ExactWork exact_work(const ResponseMatrix& matrix, int group_size) {
  const ItemColumns columns = item_columns(matrix);
  const std::size_t missable = items_groups_can_miss(columns, group_size).size();
  return {group_size > kLargestWideGroupSize
              ? large_variance_steps(missable, matrix.participants(), group_size)
              : variance_steps(missable, matrix.participants()),
          distribution_steps(matrix.participants(), matrix.items(), group_size)};
}

ExactReference exact_reference(const ResponseMatrix& matrix, int group_size) {
  if (group_size > kLargestWideGroupSize)
    return exact_reference_of_large_groups(matrix, group_size);
  const int participants = matrix.participants();
  const int items = matrix.items();
  const Binomials choose(participants, group_size);
  const ItemColumns columns = item_columns(matrix);
  const std::uint64_t groups = choose(participants, group_size);
  ExactReference exact;

  // M - sum_c C(z_c, k) / C(N, k), as one quotient: (M C(N, k) - sum_c C(z_c, k)) / C(N, k).
  Wide correct = Wide{groups} * static_cast<unsigned>(items);
  for (const int z_c : columns.missed_by) correct -= choose(z_c, group_size);
  exact.mean = quotient(correct, groups);

  const std::vector<int> missable = items_groups_can_miss(columns, group_size);
  if (variance_steps(missable.size(), participants) <= kMostVarianceSteps) {
    exact.variance = expected_set_variance(columns, missable, participants, group_size, choose);
  }

  if (distribution_steps(participants, items, group_size) <= kMostDistributionSteps) {
    const std::vector<std::uint64_t> by_missed =
        GroupEnumeration(matrix, group_size, choose).counts();
    for (int v = 0; v <= items; ++v) {
      const std::uint64_t count = by_missed[static_cast<std::size_t>(items - v)];
      exact.percentages.push_back(quotient(Wide{count} * static_cast<unsigned>(kPercent), groups));
    }
  }
  return exact;
}

}  // namespace quorvane
