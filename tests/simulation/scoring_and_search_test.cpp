// The scoring, statistics and searches on hand-made sets with known answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "simulation/best_fit_search.h"
#include "simulation/group_scoring.h"
#include "simulation/set_statistics.h"
#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

const auto four_decimals = testing::printf_four_decimals;

// Every set holds the same ordering 1..N.
SetGrid grid_in_order(int participants, int group_size) {
  SetGrid grid(participants, group_size);
  for (int set = 0; set < kSetCount; ++set) {
    for (int slot = 0; slot < participants; ++slot) {
      grid.order(set)[slot] = static_cast<Participant>(slot + 1);
    }
  }
  return grid;
}

TEST(Scoring, OnlyItemsEveryMemberMissedCountAgainstAGroup) {
  // Rows are participants 1 to 7, columns items 1 to 4; 0 is a miss.
  const int responses[7][4] = {{0, 0, 1, 1}, {0, 1, 0, 1}, {0, 0, 0, 1},  // all miss item 1
                               {1, 1, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 0},  // all miss item 4
                               {0, 0, 0, 0}};                             // left over
  ResponseMatrix matrix(7, 4);
  for (int p = 1; p <= 7; ++p) {
    for (int c = 1; c <= 4; ++c) matrix.set_response(p, c, responses[p - 1][c - 1]);
  }
  SetGrid grid = grid_in_order(7, 3);
  const SetScores scores = score_all(grid, matrix);
  EXPECT_EQ(scores.full_groups, 2);
  EXPECT_EQ(scores.total_groups, 2 * kSetCount);  // the partial group is left out
  EXPECT_EQ(grid.all_missed(0, 0), 1);
  EXPECT_EQ(grid.all_missed(0, 1), 1);
  EXPECT_EQ(scores.sum[0], 2.0);
  EXPECT_EQ(scores.sum_of_squares[0], 2.0);
  EXPECT_EQ(scores.overall_counts, (std::vector<double>{0, 0, 0, 2.0 * kSetCount, 0}));
  EXPECT_EQ(grid.all_missed(9999, 0), 1);
  EXPECT_EQ(grid.all_missed(9999, 1), 1);
}

// A set whose four groups score 10, 8, 8 and 6 of 10 items.
SetScores scores_of_four_groups() {
  SetScores scores;
  scores.items = 10;
  scores.full_groups = 4;
  scores.total_groups = 4 * kSetCount;
  scores.sum.assign(kSetCount, 0 + 2 + 2 + 4);
  scores.sum_of_squares.assign(kSetCount, 0 + 4 + 4 + 16);
  scores.overall_counts.assign(11, 0.0);
  scores.overall_counts[10] = kSetCount;
  scores.overall_counts[8] = 2 * kSetCount;
  scores.overall_counts[6] = kSetCount;
  return scores;
}

TEST(Statistics, MeanAndSampleVarianceOfNumCorrect) {
  const Statistics statistics = compute_statistics(scores_of_four_groups());
  EXPECT_EQ(statistics.sets.mean[0], 8.0);
  EXPECT_EQ(four_decimals(statistics.sets.variance[0]), "2.6667");
  EXPECT_EQ(statistics.grand.overall_mean, 8.0);
  EXPECT_EQ(statistics.grand.overall_percentages,
            (std::vector<double>{0, 0, 0, 0, 0, 0, 25, 0, 50, 0, 25}));
}

Statistics statistics_with(double overall_mean, double overall_variance) {
  Statistics statistics;
  statistics.sets.mean.assign(kSetCount, 100.0);
  statistics.sets.variance.assign(kSetCount, 100.0);
  statistics.grand.overall_mean = overall_mean;
  statistics.grand.overall_variance = overall_variance;
  return statistics;
}

TEST(MvSearch, ChiSquareOfMeanAndVarianceAgainstTheOverallOnes) {
  Statistics statistics = statistics_with(8.5, 2.0);
  statistics.sets.mean[4321] = 8.0;
  statistics.sets.variance[4321] = 8.0 / 3.0;
  const SearchLog mv = search_mv(statistics);
  EXPECT_EQ(four_decimals(mv.chi_square[4321]), "0.2516");
  EXPECT_EQ(mv.best(), 4321);
  EXPECT_EQ(mv.best_after[4320], 0);  // the first set is the best until a better one comes
}

TEST(MvSearch, TiesKeepTheEarlierSet) {
  Statistics statistics = statistics_with(8.5, 2.0);
  const int set_3_7 = 2 * 100 + 6;
  const int set_5_2 = 4 * 100 + 1;
  for (const int set : {set_3_7, set_5_2}) {
    statistics.sets.mean[static_cast<std::size_t>(set)] = 8.0;
    statistics.sets.variance[static_cast<std::size_t>(set)] = 2.5;
  }
  EXPECT_EQ(search_mv(statistics).best(), set_3_7);
}

TEST(MvSearch, NoSetQualifiesWhenTheOverallVarianceIsZero) {
  Statistics statistics = statistics_with(5.0, 0.0);
  statistics.sets.mean.assign(kSetCount, 5.0);
  statistics.sets.variance.assign(kSetCount, 0.0);
  const SearchLog mv = search_mv(statistics);
  EXPECT_FALSE(mv.found());
  EXPECT_EQ(mv.best_chi_square_after(kSetCount - 1), kInitialBestChiSquare);
  EXPECT_NE(mv.chi_square[0], mv.chi_square[0]);  // 0 / 0
}

TEST(MvSearch, ANumberBelowTheStartIsNeededToBecomeBest) {
  Statistics statistics = statistics_with(1e-9, 1e-9);  // every chi-square far above 1,000,000
  EXPECT_FALSE(search_mv(statistics).found());
}

TEST(DistSearch, ChiSquareOfTheSetsPercentagesAgainstTheOverallOnes) {
  // M = 2, G = 4, overall 25, 25 and 50 percent for 0, 1 and 2 correct.
  SetScores scores;
  scores.items = 2;
  scores.full_groups = 4;
  SetGrid grid(8, 2);
  auto set_num_correct = [&grid](int set, std::vector<int> num_correct) {
    for (int group = 0; group < 4; ++group) {
      grid.set_all_missed(set, group, 2 - num_correct[static_cast<std::size_t>(group)]);
    }
  };
  for (int set = 0; set < kSetCount; ++set) set_num_correct(set, {1, 1, 1, 1});
  set_num_correct(0, {2, 2, 2, 2});     // 25 + 25 + 50
  set_num_correct(1, {2, 1, 2, 1});     // 25 + 25 + 0
  set_num_correct(500, {2, 0, 1, 2});   // 0
  set_num_correct(9000, {0, 1, 2, 2});  // a tie with set 500
  Statistics statistics;
  statistics.grand.overall_percentages = {25.0, 25.0, 50.0};
  const SearchLog dist = search_dist(grid, scores, statistics);
  EXPECT_EQ(dist.chi_square[0], 100.0);
  EXPECT_EQ(dist.chi_square[1], 50.0);
  EXPECT_EQ(dist.chi_square[500], 0.0);
  EXPECT_EQ(dist.best_after[499], 1);
  EXPECT_EQ(dist.best(), 500);
}

TEST(DistSearch, ValuesNoGroupScoredAddNothing) {
  // Every group of every set scores 2 of 2.
  SetScores scores;
  scores.items = 2;
  scores.full_groups = 2;
  SetGrid grid(4, 2);
  Statistics statistics;
  statistics.grand.overall_percentages = {0.0, 0.0, 100.0};
  const SearchLog dist = search_dist(grid, scores, statistics);
  EXPECT_EQ(dist.chi_square[0], 0.0);
  EXPECT_EQ(dist.best(), 0);
}

}  // namespace
}  // namespace quorvane
