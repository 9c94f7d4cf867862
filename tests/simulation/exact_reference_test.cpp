// The exact reference values: against exact rationals found another way, against the simulation's
// own estimates, and left out where they would take too long.
#include "simulation/exact_reference.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "simulation/nominal_group_run.h"
#include "simulation/set_label.h"
#include "tests/support/exact_rationals.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

struct Study {
  const char* what;
  int group_size;
  int participants;
  int items;
  unsigned seed;
};

ResponseMatrix matrix_of(const Study& study) {
  return testing::matrix_of(testing::made_up_responses(study.participants, study.items, study.seed),
                            study.participants, study.items);
}

// A study where every participant gives the same answer to every item.
ResponseMatrix uniform_matrix(int participants, int items, int response) {
  return testing::matrix_of(
      std::vector<int>(static_cast<std::size_t>(participants * items), response), participants,
      items);
}

// The relative errors of the exact mean, variance and each percentage against the exact
// rationals, in that order; none when the exact values are missing or of another length.
std::vector<double> errors_against_rationals(const Study& study) {
  const std::vector<int> responses =
      testing::made_up_responses(study.participants, study.items, study.seed);
  const ExactReference exact = exact_reference(
      testing::matrix_of(responses, study.participants, study.items), study.group_size);
  const testing::ExactRationals rationals =
      testing::exact_rationals(responses, study.participants, study.items, study.group_size);
  if (!exact.mean || !exact.variance || exact.percentages.size() != rationals.percentages.size()) {
    return {};
  }
  std::vector<double> errors = {testing::relative_error(*exact.mean, rationals.mean),
                                testing::relative_error(*exact.variance, rationals.variance)};
  for (std::size_t v = 0; v < exact.percentages.size(); ++v) {
    errors.push_back(testing::relative_error(exact.percentages[v], rationals.percentages[v]));
  }
  return errors;
}

// Catches a wrong item-pair formula (j off by one, (c, d) counted once instead of twice, the
// diagonal doubled), items that no group can miss dropped from the mean, a distribution shifted
// by one or reversed, masks of more than one word, N not a multiple of k, and a rounding that is
// worse than a few units in the last place; for groups of more than four, counts in numbers that
// overflow and the term-by-term sum of the item-pair formula stepped wrong (a factor of the next
// term off by one, the first term not the first that is not 0): sizes 2 to 10 and N / 2 against
// the exact rationals, the larger sizes' values each rounded once, the others within four units in
// the last place.
TEST(ExactReference, AgreesWithExactRationalsOverEveryGroup) {
  const Study studies[] = {
      {"pairs, 100 x 20", 2, 100, 20, 11},  {"triads, 99 x 20", 3, 99, 20, 12},
      {"triads, 100 x 15", 3, 100, 15, 13}, {"quads, 100 x 12", 4, 100, 12, 14},
      {"quads, 41 x 130", 4, 41, 130, 15},  {"pairs, 7 x 70", 2, 7, 70, 16},
      {"triads, 6 x 1", 3, 6, 1, 17},       {"5, 20 x 12", 5, 20, 12, 21},
      {"6, 20 x 12", 6, 20, 12, 22},        {"7, 23 x 9", 7, 23, 9, 23},
      {"8, 19 x 70", 8, 19, 70, 24},        {"10, 20 x 8", 10, 20, 8, 25},
      {"5, 11 x 3", 5, 11, 3, 26},          {"9, 18 x 130", 9, 18, 130, 27},
  };
  for (const Study& study : studies) {
    SCOPED_TRACE(study.what);
    const std::vector<double> errors = errors_against_rationals(study);
    ASSERT_FALSE(errors.empty());
    const double most = study.group_size > 4 ? 1.2e-16 : 4 * 2.2e-16;
    for (std::size_t i = 0; i < errors.size(); ++i) EXPECT_LE(errors[i], most) << "value " << i;
  }
}

// Catches the counts of groups of thousands taken in machine integers (garbage that passes the
// budget), and a budget that lets the distribution of C(10000, 10) groups be counted: the mean
// is always there, and close to what the sets estimate.
TEST(ExactReference, LargeGroupsOfALargeStudyKeepTheMeanWithinTheBudget) {
  const int participants = 10000;
  const int items = 40;
  const std::vector<int> responses = testing::made_up_responses(participants, items, 31);
  const ResponseMatrix matrix = testing::matrix_of(responses, participants, items);
  for (const int group_size : {10, 5000}) {
    SCOPED_TRACE(group_size);
    const ExactWork work = exact_work(matrix, group_size);
    EXPECT_GT(work.distribution_steps, kMostDistributionSteps);
    const ExactReference exact = exact_reference(matrix, group_size);
    ASSERT_TRUE(exact.mean.has_value());
    EXPECT_TRUE(exact.percentages.empty());
    EXPECT_EQ(exact.variance.has_value(), work.variance_steps <= kMostVarianceSteps);
    const RunResult run = run_simulation(matrix, group_size, 5u);
    EXPECT_NEAR(*exact.mean, run.statistics.grand.overall_mean, 0.05);
    if (exact.variance) {
      EXPECT_NEAR(*exact.variance, run.statistics.grand.overall_variance,
                  0.1 * *exact.variance + 0.01);
    }
  }
}

// Catches the edges of the formulas: nobody missed anything (no group misses, mean M), and
// everybody missed everything (every group misses all, mean 0); in both every set's groups score
// alike, so the expected variance is exactly 0.
TEST(ExactReference, StudiesWhereEveryGroupScoresAlike) {
  for (const int group_size : {2, 3, 4}) {
    for (const int response : {0, 1}) {
      const ResponseMatrix matrix = uniform_matrix(13, 9, response);
      const ExactReference exact = exact_reference(matrix, group_size);
      const int v = response == 1 ? 9 : 0;
      EXPECT_EQ(*exact.mean, v) << group_size;
      EXPECT_EQ(*exact.variance, 0.0) << group_size;
      for (int w = 0; w <= 9; ++w) {
        EXPECT_EQ(exact.percentages[static_cast<std::size_t>(w)], w == v ? 100.0 : 0.0);
      }
    }
  }
}

// The mean and sample standard deviation of the values.
std::pair<double, double> mean_and_deviation(const std::vector<double>& values) {
  double sum = 0.0;
  for (const double value : values) sum += value;
  const double mean = sum / static_cast<double>(values.size());
  double squares = 0.0;
  for (const double value : values) squares += (value - mean) * (value - mean);
  return {mean, std::sqrt(squares / static_cast<double>(values.size() - 1))};
}

// Catches exact values of another quantity than the one the run estimates (the variance of one
// group rather than the expected sample variance of a set, pooled over the groups rather than
// averaged over sets, or the number missed rather than correct). The bound: the 10,000 sets are
// independent draws, so each overall figure, an average of 10,000 set figures, lies within 4.5
// standard errors (the sets' own standard deviation over 100) of its expectation with a
// probability above 0.99999; a run of every seed here stays within it.
TEST(ExactReference, SimulatedOverallValuesScatterAroundTheExactOnes) {
  const Study studies[] = {
      {"pairs", 2, 40, 15, 21}, {"triads", 3, 31, 20, 22}, {"quads", 4, 42, 18, 23}};
  for (const Study& study : studies) {
    const ResponseMatrix matrix = matrix_of(study);
    const ExactReference exact = exact_reference(matrix, study.group_size);
    for (const std::uint32_t seed : {1u, 2u, 3u, 20261207u}) {
      SCOPED_TRACE(std::string(study.what) + ", seed " + std::to_string(seed));
      const RunResult run = run_simulation(matrix, study.group_size, seed);
      const auto [mean_of_means, means_deviation] = mean_and_deviation(run.statistics.sets.mean);
      const auto [mean_of_variances, variances_deviation] =
          mean_and_deviation(run.statistics.sets.variance);
      const double sets = std::sqrt(static_cast<double>(kSetCount));
      EXPECT_NEAR(run.statistics.grand.overall_mean, *exact.mean, 4.5 * means_deviation / sets);
      EXPECT_NEAR(run.statistics.grand.overall_variance, *exact.variance,
                  4.5 * variances_deviation / sets);
      // The same figures, as the run computes them, again: guards the test's own arithmetic.
      EXPECT_NEAR(mean_of_means, run.statistics.grand.overall_mean, 1e-9);
      EXPECT_NEAR(mean_of_variances, run.statistics.grand.overall_variance, 1e-9);
    }
  }
}

// Catches a value computed where it would take far longer than a second, or left out where it
// is cheap, at the sizes the README gives: in a study where every participant missed every item
// (so every item counts), the distribution is there up to 1,063 participants in triads and 264 in
// quads at 64 items, and the variance up to 7,070 items at 1,000 participants.
TEST(ExactReference, ValuesThatWouldTakeTooLongAreLeftOut) {
  struct Size {
    int group_size;
    int participants;
    int items;
    bool variance;
    bool distribution;
  };
  const Size sizes[] = {
      {3, 1063, 64, true, true},   {3, 1064, 64, true, false},   {4, 264, 64, true, true},
      {4, 265, 64, true, false},   {2, 10000, 128, true, true},  {2, 128, 10000, true, true},
      {2, 1000, 7070, true, true}, {2, 1000, 7071, false, true},
  };
  for (const Size& size : sizes) {
    SCOPED_TRACE(std::to_string(size.group_size) + ", " + std::to_string(size.participants) +
                 " x " + std::to_string(size.items));
    const ResponseMatrix matrix = uniform_matrix(size.participants, size.items, 0);
    const ExactWork work = exact_work(matrix, size.group_size);
    EXPECT_EQ(work.variance_steps <= kMostVarianceSteps, size.variance);
    EXPECT_EQ(work.distribution_steps <= kMostDistributionSteps, size.distribution);
  }
  // The values themselves are there or not by the same rule; the mean always is.
  for (const Size& size : {sizes[3], sizes[7]}) {
    const ExactReference exact =
        exact_reference(uniform_matrix(size.participants, size.items, 0), size.group_size);
    EXPECT_TRUE(exact.mean.has_value());
    EXPECT_EQ(exact.variance.has_value(), size.variance);
    EXPECT_EQ(!exact.percentages.empty(), size.distribution);
  }
  // Items that fewer than k participants missed cost nothing: no group can miss them.
  const ResponseMatrix all_correct = uniform_matrix(1000, 8000, 1);
  EXPECT_EQ(exact_work(all_correct, 2).variance_steps, 0.0);
}

}  // namespace
}  // namespace quorvane
