// Whole runs in memory: the reports of a fixed seed, checked against an independent model of
// the computation and for the properties that must hold for any seed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <numeric>
#include <stdexcept>
#include <string>
#include <vector>

#include "reports/run_reports.h"
#include "simulation/nominal_group_run.h"
#include "simulation/nominal_group_run_internal.h"
#include "tests/reference/reference_run.h"
#include "tests/support/editions.h"
#include "tests/support/report_parsing.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

using testing::lines_of;
using testing::lines_starting;
using testing::number_after;

struct Study {
  const char* name;
  int group_size;
  int participants;
  int items;
  std::vector<int> responses;
};

// A whole run in memory: what it computed and the reports it appends.
struct Ran {
  RunResult result;
  ReportSections sections;

  const NamedText& section(ReportFile file) const { return testing::section_of(sections, file); }
};

Ran run(const Study& study, std::uint32_t seed) {
  Ran ran;
  ran.result = run_simulation(testing::matrix_of(study.responses, study.participants, study.items),
                              study.group_size, seed);
  ran.sections = render_reports(testing::edition_of(study.group_size).words, ran.result);
  return ran;
}

std::vector<int> every(int participants, int items, int value) {
  return std::vector<int>(static_cast<std::size_t>(participants * items), value);
}

std::vector<Study> studies() {
  using testing::made_up_responses;
  std::vector<Study> all = {
      {"PairsSmall", 2, 4, 1, made_up_responses(4, 1, 1)},
      {"Pairs30By20", 2, 30, 20, made_up_responses(30, 20, 2)},
      {"PairsOdd", 2, 31, 12, made_up_responses(31, 12, 3)},
      {"Triads30By20", 3, 30, 20, made_up_responses(30, 20, 4)},
      {"TriadsPartial", 3, 32, 15, made_up_responses(32, 15, 5)},
      {"QuadsPartial", 4, 30, 9, made_up_responses(30, 9, 6)},
      {"QuadsLargest", 4, 109, 109, made_up_responses(109, 109, 7)},
      // Past the model's former tables of extent 110 on both axes.
      {"QuadsPast109", 4, 150, 130, made_up_responses(150, 130, 9)},
      {"PairsAllCorrect", 2, 10, 5, every(10, 5, 1)},
      {"TriadsAllMissed", 3, 9, 4, every(9, 4, 0)},
  };
  Study odd_values{"TriadsOddValues", 3, 12, 6, made_up_responses(12, 6, 8)};
  odd_values.responses[5] = 2;
  odd_values.responses[17] = -1;
  all.push_back(odd_values);
  return all;
}

void PrintTo(const Study& study, std::ostream* out) { *out << study.name; }

class WholeRun : public ::testing::TestWithParam<Study> {};

void expect_the_models_reports(const Study& study, std::uint32_t seed) {
  const Ran reports = run(study, seed);
  const reference::ReferenceReports expected = reference::reference_run(
      {study.group_size, study.participants, study.items, study.responses}, seed);
  for (std::size_t file = 0; file < expected.texts.size(); ++file) {
    EXPECT_EQ(reports.sections[file].file_name, expected.names[file]);
    EXPECT_TRUE(reports.sections[file].text == expected.texts[file])
        << study.name << ": file " << file + 1 << " differs, seed " << seed;
  }
}

TEST_P(WholeRun, MatchesTheIndependentModelByteForByte) {
  for (const std::uint32_t seed : {1u, 1765084800u}) expect_the_models_reports(GetParam(), seed);
}

TEST_P(WholeRun, SameSeedSameReports) {
  const Study& study = GetParam();
  const ReportSections first = run(study, 7).sections;
  const ReportSections second = run(study, 7).sections;
  for (std::size_t file = 0; file < first.size(); ++file) {
    EXPECT_EQ(first[file].file_name, second[file].file_name);
    EXPECT_TRUE(first[file].text == second[file].text) << first[file].file_name;
  }
}

TEST_P(WholeRun, EverySearchLogsAllSetsInGridOrder) {
  const Study& study = GetParam();
  const Ran reports = run(study, 11);
  const std::string& file2 = reports.section(ReportFile::kSetStatistics).text;
  const std::string& file3 = reports.section(ReportFile::kMvChiSquares).text;
  const std::string& file5 = reports.section(ReportFile::kDistChiSquares).text;
  const std::vector<std::string> statistics = lines_starting(file2, "Set#: ");
  const std::vector<std::string> mv = lines_starting(file3, "Set#: ");
  const std::vector<std::string> dist = lines_starting(file5, "Set#: ");
  ASSERT_EQ(statistics.size(), 10000u);
  ASSERT_EQ(mv.size(), 10000u);
  ASSERT_EQ(dist.size(), 10000u);
  for (int set = 0; set < 10000; ++set) {
    const std::string label =
        "Set#: " + std::to_string(set / 100 + 1) + "-" + std::to_string(set % 100 + 1);
    const auto i = static_cast<std::size_t>(set);
    EXPECT_EQ(statistics[i].rfind(label + "\t", 0), 0u);
    EXPECT_EQ(mv[i].rfind(label + "\t", 0), 0u);
    EXPECT_EQ(dist[i].rfind(label + ":\t", 0), 0u);
  }
  double mv_best = 1e6;
  double dist_best = 1e6;
  for (std::size_t i = 0; i < mv.size(); ++i) {
    const double mv_now = number_after(mv[i], "BestChiSq ");
    const double dist_now = number_after(dist[i], "BestChiSq: ");
    EXPECT_LE(mv_now, mv_best) << mv[i];
    EXPECT_LE(dist_now, dist_best) << dist[i];
    mv_best = mv_now;
    dist_best = dist_now;
  }
  // The last running best of file 3 is the run's line in file 7.
  const std::string& file7 = reports.section(ReportFile::kMvCumulative).text;
  EXPECT_EQ(number_after(mv.back(), "BestFitMean: "), number_after(file7, "BF-MV-Mean: "));
  EXPECT_EQ(number_after(mv.back(), "BestFitVar: "), number_after(file7, "BF-MV-Var: "));
  EXPECT_EQ(number_after(mv.back(), "BestChiSq "), number_after(file7, "Best-MV-ChiSq: "));
  const std::string& file8 = reports.section(ReportFile::kDistCumulative).text;
  EXPECT_EQ(number_after(dist.back(), "BestChiSq: "), number_after(file8, "Best-DIST-ChiSq: "));
}

TEST_P(WholeRun, OverallPercentagesCoverZeroToMAndAddUpTo100) {
  const Study& study = GetParam();
  const Ran reports = run(study, 12);
  const std::vector<std::string> lines =
      lines_of(reports.section(ReportFile::kRepresentative).text);
  const std::vector<std::string> values(lines.end() - study.items - 1, lines.end());
  double total = 0.0;
  for (int v = 0; v <= study.items; ++v) {
    const std::string& line = values[static_cast<std::size_t>(v)];
    ASSERT_EQ(line.rfind(std::to_string(v) + ": ", 0), 0u) << line;
    total += number_after(line, ": ");
  }
  EXPECT_NEAR(total, 100.0, 0.0001 * (study.items + 1));
}

TEST_P(WholeRun, ListingsHoldEveryGroupedParticipantOnce) {
  const Study& study = GetParam();
  const Ran reports = run(study, 13);
  const int groups = study.participants / study.group_size;
  const std::pair<ReportFile, bool> listings[] = {
      {ReportFile::kMvListing, reports.result.mv.found()},
      {ReportFile::kDistListing, reports.result.dist.found()}};
  for (const auto& [file, found] : listings) {
    const std::vector<std::string> lines = lines_of(reports.section(file).text);
    std::vector<int> listed;
    int groups_listed = 0;
    for (const std::string& line : lines) {
      if (line.find(":  \t\t") == std::string::npos) continue;
      const std::vector<int> members = testing::members_of(line);
      EXPECT_EQ(members.size(), static_cast<std::size_t>(study.group_size)) << line;
      const int num_correct = std::stoi(line.substr(line.rfind('\t') + 1));
      EXPECT_GE(num_correct, 0);
      EXPECT_LE(num_correct, study.items);
      listed.insert(listed.end(), members.begin(), members.end());
      ++groups_listed;
    }
    if (!found) {
      EXPECT_EQ(groups_listed, 0);
      continue;
    }
    EXPECT_EQ(groups_listed, groups);
    // Every listed participant once; those of a partial last group nowhere.
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(std::adjacent_find(listed.begin(), listed.end()), listed.end());
    EXPECT_EQ(listed.size(), static_cast<std::size_t>(groups * study.group_size));
    EXPECT_GE(listed.front(), 1);
    EXPECT_LE(listed.back(), study.participants);
  }
}

INSTANTIATE_TEST_SUITE_P(Studies, WholeRun, ::testing::ValuesIn(studies()),
                         [](const ::testing::TestParamInfo<Study>& param) {
                           return std::string(param.param.name);
                         });

// Catches a difference in the report text that shows only past the sizes of the studies above:
// participant numbers of four digits, hundreds of groups per set, over 100 numbers correct.
TEST(WholeRunLargeStudies, MatchTheIndependentModelByteForByte) {
  const Study large[] = {
      {"Pairs1000By60", 2, 1000, 60, testing::made_up_responses(1000, 60, 31)},
      {"Triads300By150", 3, 300, 150, testing::made_up_responses(300, 150, 32)},
  };
  for (const Study& study : large) expect_the_models_reports(study, 1765084800u);
}

// Catches a DIST search that meets other sets, or in another order, when the distributions kept
// by the scoring run out and it draws and scores the rest again, or chosen sets drawn again from
// the wrong snapshot: the run keeping every distribution, some (the rest from a set inside a
// snapshot's stretch) and none, a second pass over all sets as runs of many participants made
// before, give the same reports, on studies of more than 400 participants.
TEST(WholeRunKeepingDistributions, EveryBudgetGivesTheSameReports) {
  const Study large[] = {
      {"Pairs1000By60", 2, 1000, 60, testing::made_up_responses(1000, 60, 41)},
      {"Triads450By150", 3, 450, 150, testing::made_up_responses(450, 150, 42)},
  };
  for (const Study& study : large) {
    const ResponseMatrix matrix =
        testing::matrix_of(study.responses, study.participants, study.items);
    const EditionProfile& edition = testing::edition_of(study.group_size);
    const ReportSections one_pass =
        render_reports(edition.words, run_simulation(matrix, study.group_size, 11u));
    for (const std::size_t bytes : {std::size_t{0}, std::size_t{1}, std::size_t{100000}}) {
      const RunResult result =
          internal::run_simulation_keeping(matrix, study.group_size, 11u, bytes);
      const ReportSections sections = render_reports(edition.words, result);
      for (std::size_t file = 0; file < sections.size(); ++file) {
        EXPECT_TRUE(sections[file].text == one_pass[file].text)
            << study.name << ", distributions kept in " << bytes << " bytes: file " << file + 1;
      }
    }
  }
}

// Catches a count of sets scored that skips, repeats or never reaches 10,000 (a page's count that
// stops short), and a run that a listener changes.
TEST(WholeRunProgress, HearsEveryStepOfTheSetsScoredAndChangesNothing) {
  const ResponseMatrix matrix = testing::matrix_of(testing::made_up_responses(40, 12, 5), 40, 12);
  std::vector<int> heard;
  const RunResult heard_run =
      run_simulation(matrix, 4, 9u, {[&](int sets) { heard.push_back(sets); }, nullptr});
  std::vector<int> expected;
  for (int sets = kSetsScoredStep; sets <= 10000; sets += kSetsScoredStep) expected.push_back(sets);
  EXPECT_EQ(heard, expected);
  const ReportSections quiet =
      render_reports(testing::edition_of(4).words, run_simulation(matrix, 4, 9u));
  const ReportSections loud = render_reports(testing::edition_of(4).words, heard_run);
  for (std::size_t file = 0; file < quiet.size(); ++file) {
    EXPECT_TRUE(quiet[file].text == loud[file].text) << "file " << file + 1;
  }
}

// Catches a hook between sets that is never called, called so seldom that an interrupt waits
// for a whole pass (the DIST search over kept distributions included), or that changes what the
// run draws: a run with the hook gives the reports of one without it, calls it at least once per
// grid row of each pass, and stops where it throws, also in a second pass that draws the sets
// again.
TEST(WholeRunBetweenSets, TheHookIsCalledEveryRowAndStopsTheRunWhenItThrows) {
  const Study study{"Triads450By150", 3, 450, 150, testing::made_up_responses(450, 150, 42)};
  const ResponseMatrix matrix =
      testing::matrix_of(study.responses, study.participants, study.items);
  const EditionProfile& edition = testing::edition_of(study.group_size);
  const ReportSections plain = render_reports(edition.words, run_simulation(matrix, 3, 11u));
  for (const std::size_t bytes : {std::size_t{0}, std::size_t{1} << 30}) {
    int calls = 0;
    const ReportSections hooked = render_reports(
        edition.words,
        internal::run_simulation_keeping(matrix, 3, 11u, bytes, {nullptr, [&] { ++calls; }}));
    for (std::size_t file = 0; file < plain.size(); ++file) {
      EXPECT_TRUE(hooked[file].text == plain[file].text) << "file " << file + 1;
    }
    // Each row of the scoring pass and of the DIST search, drawn again or read where kept.
    EXPECT_GE(calls, 200);
    int left = calls - 1;
    EXPECT_THROW(internal::run_simulation_keeping(matrix, 3, 11u, bytes,
                                                  {nullptr,
                                                   [&] {
                                                     if (left-- == 0)
                                                       throw std::runtime_error("stop");
                                                   }}),
                 std::runtime_error);
  }
}

TEST(WholeRunWithoutBest, AllCorrectLeavesTheMvSearchWithoutABest) {
  const Ran reports = run({"", 2, 10, 5, every(10, 5, 1)}, 3);
  EXPECT_EQ(reports.result.mv.outcome, SearchOutcome::kOverallVarianceIsZero);
  EXPECT_TRUE(reports.result.dist.found());
  const std::string& file3 = reports.section(ReportFile::kMvChiSquares).text;
  EXPECT_NE(file3.find("\nSet#: 100-100\t SetChiSq: -nan\t BestFitMean: 0.0000\t BestFitVar: "
                       "0.0000\t BestChiSq 1000000.0000\tBestSet 0-0\t"),
            std::string::npos);
  EXPECT_EQ(reports.section(ReportFile::kMvCumulative).text,
            "\nBF-MV-Mean: 0.0000\t BF-MV-Var: 0.0000\t Overall-Mean: 5.0000\t Overall-Var: "
            "0.0000\t Best-MV-ChiSq: 1000000.0000");
  EXPECT_EQ(reports.section(ReportFile::kMvListing).text,
            "\nQuorvane-Pairs -- Ardevine.\n\n\nNominal Group Pairings & Number Correct for Best "
            "Fitting MV Set\n\n\nPairs\t\tNumCorr\n");
  // Every group scored 5, so every set's distribution is the overall one.
  EXPECT_NE(reports.section(ReportFile::kDistChiSquares)
                .text.find("Set#: 1-1:\t SetChiSq: 0.0000\t BestChiSq: 0.0000\tBestSet: 1-1\n"),
            std::string::npos);
}

}  // namespace
}  // namespace quorvane
