// Whole runs with groups of any size, in memory, against the independent model of the run.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "programs/run_driver.h"
#include "reports/report_names.h"
#include "reports/run_reports.h"
#include "simulation/nominal_group_run.h"
#include "tests/reference/reference_run.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

struct SizedStudy {
  int group_size;
  int participants;
  int items;
  unsigned responses_seed;
};

void PrintTo(const SizedStudy& study, std::ostream* out) {
  *out << "k" << study.group_size << "_" << study.participants << "x" << study.items;
}

// Every size from 2 to 8 and N / 2 (two groups, the largest size a study takes), on a study
// whose groups fill it and on one with a partial last group of every size from 5 on.
std::vector<SizedStudy> sized_studies() {
  std::vector<SizedStudy> all;
  for (int k = 2; k <= 8; ++k) all.push_back({k, 20, 12, 41});
  all.push_back({10, 20, 12, 41});
  for (int k = 5; k <= 8; ++k) all.push_back({k, 23, 9, 42});
  all.push_back({11, 23, 9, 42});
  return all;
}

class AnyGroupSize : public ::testing::TestWithParam<SizedStudy> {};

// Catches a size the engine scores with the wrong number of members, a partial group scored or
// listed, members joined or headed in other words, and runs of two sizes sharing a file.
TEST_P(AnyGroupSize, WholeRunMatchesTheModelByteForByte) {
  const SizedStudy& study = GetParam();
  const std::vector<int> responses =
      testing::made_up_responses(study.participants, study.items, study.responses_seed);
  for (const std::uint32_t seed : {3u, 1765084800u}) {
    const ReportSections reports = render_reports(
        edition_profile(study.group_size).words,
        run_simulation(testing::matrix_of(responses, study.participants, study.items),
                       study.group_size, seed));
    const reference::ReferenceReports expected = reference::reference_run(
        {study.group_size, study.participants, study.items, responses}, seed);
    for (std::size_t file = 0; file < expected.texts.size(); ++file) {
      EXPECT_EQ(reports[file].file_name, expected.names[file]);
      EXPECT_TRUE(reports[file].text == expected.texts[file])
          << "file " << file + 1 << " differs, seed " << seed;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, AnyGroupSize, ::testing::ValuesIn(sized_studies()));

// Catches a name of one size taken for another's, a size not written as the reports write it,
// and names no run writes (a forged journal's) taken for reports; and a repair of a stopped run
// that cannot put back the reports of larger groups, or that a forged journal could point at
// another file: each name's size (0 for none) and whether the repair's scope holds it, and every
// size's reports held.
TEST(AnyGroupSize, ReportNamesAreKnownByTheirFormAlone) {
  const struct {
    const char* name;
    int size;
    bool held;
  } cases[] = {
      {"NG-2-10000-Sets-Of-NG-Groups-Of-5.txt", 5, true},
      {"NG-4-Best-Fit-MV-Groups-Of-17-NumCorrect.txt", 17, true},
      {"NG-6-Best-Fit-DIST-Groups-Of-5000-NumCorrect.txt", 5000, true},
      {"NG-6-Best-Fit-DIST-Groups-Of-5001-NumCorrect.txt", 0, false},
      {"NG-2-10000-Sets-Of-NG-Groups-Of-4.txt", 0, false},
      {"NG-2-10000-Sets-Of-NG-Groups-Of-05.txt", 0, false},
      {"NG-2-10000-Sets-Of-NG-Groups-Of-5.txt.old", 0, false},
      {"NG-2-10000-Sets-Of-NG-Groups-Of-5-.txt", 0, false},
      {"../NG-2-10000-Sets-Of-NG-Groups-Of-5.txt", 0, false},
      {"NG-4-Best-Fit-MV-Groups-Of-6.txt", 0, false},
      {"NG-2-10000-Sets-Of-NG-Triads.txt", 0, true},
      {"NG-4-Best-Fit-MV-Groups-Of-99999999999-NumCorrect.txt", 0, false},
      {"study.txt", 0, false},
      {"NG-0-Append-Journal.txt", 0, false},
      {"sub/NG-6-Best-Fit-DIST-Groups-Of-6-NumCorrect.txt", 0, false},
  };
  const AppendScope scope = append_scope();
  for (const auto& c : cases) {
    EXPECT_EQ(group_size_of_report_name(c.name), c.size) << c.name;
    EXPECT_EQ(scope.holds_report(c.name), c.held) << c.name;
  }
  for (const int size : {2, 3, 4, 5, 9, 5000}) {
    for (const std::string& name : report_file_names(edition_profile(size).words)) {
      EXPECT_TRUE(scope.holds_report(name)) << name;
    }
  }
}

}  // namespace
}  // namespace quorvane
