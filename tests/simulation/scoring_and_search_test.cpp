// The scoring, statistics and searches on hand-made sets with known answers.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "simulation/best_fit_search.h"
#include "simulation/group_scoring.h"
#include "simulation/random_sets.h"
#include "simulation/set_label.h"
#include "simulation/set_statistics.h"
#include "tests/support/report_parsing.h"

namespace quorvane {
namespace {

const auto four_decimals = testing::printf_four_decimals;

TEST(Scoring, OnlyItemsEveryMemberMissedCountAgainstAGroup) {
  // Rows are participants 1 to 7, columns items 1 to 4; 0 is a miss.
  const int responses[7][4] = {{0, 0, 1, 1}, {0, 1, 0, 1}, {0, 0, 0, 1},  // all miss item 1
                               {1, 1, 1, 0}, {1, 1, 1, 0}, {0, 0, 0, 0},  // all miss item 4
                               {0, 0, 0, 0}};                             // left over
  ResponseMatrix matrix(7, 4);
  for (int p = 1; p <= 7; ++p) {
    for (int c = 1; c <= 4; ++c) matrix.set_response(p, c, responses[p - 1][c - 1]);
  }
  const ParticipantOrder in_order = make_participant_order(7);
  const GroupScorer scorer(matrix, 3);
  EXPECT_EQ(scorer.full_groups(), 2);  // the partial group is left out
  int all_missed[3] = {-1, -1, -1};
  scorer.score(in_order.data(), all_missed);
  EXPECT_EQ(all_missed[0], 1);
  EXPECT_EQ(all_missed[1], 1);
  EXPECT_EQ(all_missed[2], -1);  // nothing written for the partial group
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

// The DIST search over sets given by each one's groups' NumCorrect, as the run feeds it.
SearchLog dist_search(const std::vector<double>& overall_percentages, int items,
                      const std::vector<std::vector<int>>& num_correct_of_sets,
                      std::size_t most_tabulated_terms = DistSearch::kMostTabulatedTerms) {
  Statistics statistics;
  statistics.grand.overall_percentages = overall_percentages;
  const auto groups = num_correct_of_sets[0].size();
  DistSearch search(statistics, items, static_cast<int>(groups), most_tabulated_terms);
  for (std::size_t first = 0; first < kSetCount; first += DistSearch::kSetsAtOnce) {
    for (std::size_t i = 0; i < DistSearch::kSetsAtOnce; ++i) {
      for (const int num_correct : num_correct_of_sets[first + i]) {
        search.counts()[DistSearch::kSetsAtOnce * static_cast<std::size_t>(num_correct) + i] += 1;
      }
    }
    search.consider();
  }
  return search.finish();
}

TEST(DistSearch, ChiSquareOfTheSetsPercentagesAgainstTheOverallOnes) {
  // M = 2, G = 4, overall 25, 25 and 50 percent for 0, 1 and 2 correct.
  std::vector<std::vector<int>> sets(kSetCount, {1, 1, 1, 1});
  sets[0] = {2, 2, 2, 2};     // 25 + 25 + 50
  sets[1] = {2, 1, 2, 1};     // 25 + 25 + 0
  sets[500] = {2, 0, 1, 2};   // 0
  sets[9000] = {0, 1, 2, 2};  // a tie with set 500
  const SearchLog dist = dist_search({25.0, 25.0, 50.0}, 2, sets);
  EXPECT_EQ(dist.chi_square[0], 100.0);
  EXPECT_EQ(dist.chi_square[1], 50.0);
  EXPECT_EQ(dist.chi_square[500], 0.0);
  EXPECT_EQ(dist.best_after[499], 1);
  EXPECT_EQ(dist.best(), 500);
}

TEST(DistSearch, ValuesNoGroupScoredAddNothing) {
  // Every group of every set scores 2 of 2.
  const SearchLog dist =
      dist_search({0.0, 0.0, 100.0}, 2, std::vector<std::vector<int>>(kSetCount, {2, 2}));
  EXPECT_EQ(dist.chi_square[0], 0.0);
  EXPECT_EQ(dist.best(), 0);
}

// Large studies have more counts than the table of terms holds: a count beyond it must add the
// same term, to the bit, as a tabulated one, or large and small runs would disagree.
TEST(DistSearch, CountsBeyondTheTableAddTheSameTerms) {
  const int groups = 7;
  std::vector<std::vector<int>> sets(kSetCount);
  for (std::size_t set = 0; set < kSetCount; ++set) {
    for (int group = 0; group < groups; ++group) {
      sets[set].push_back(static_cast<int>((set * 7 + static_cast<std::size_t>(group) * set) % 6));
    }
  }
  const std::vector<double> overall = {10.0 / 3.0, 20.0, 0.0, 1.0 / 7.0, 40.0, 36.0 + 11.0 / 21.0};
  const SearchLog tabulated = dist_search(overall, 5, sets);
  const SearchLog worked_out = dist_search(overall, 5, sets, 1);
  EXPECT_EQ(tabulated.chi_square, worked_out.chi_square);
  EXPECT_EQ(tabulated.best_after, worked_out.best_after);
}

}  // namespace
}  // namespace quorvane
