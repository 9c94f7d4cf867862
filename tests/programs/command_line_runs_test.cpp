// The real programs given words on their command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/programs/programs_under_test.h"
#include "tests/support/program_process.h"
#include "tests/support/report_history.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::kTriads;
using testing::ProgramResult;
using testing::TempFolder;

// A folder holding the study, and the triads program run there with `arguments` and the
// answers that would make a whole run.
struct RunWith {
  explicit RunWith(std::vector<std::string> arguments) {
    folder.write("study.txt", testing::small_study_text());
    testing::ProgramProcess::Options options;
    options.arguments = std::move(arguments);
    result = testing::run_in(kTriads.path, folder.path(), testing::kSmallStudyAnswers, options);
  }
  TempFolder folder;
  ProgramResult result;
};

// Catches help on the error stream, a failing status, or a run started after the help.
TEST(CommandLineRuns, HelpGoesToStandardOutputAlone) {
  const RunWith run({"--help"});
  EXPECT_EQ(run.result.exit_status, 0);
  EXPECT_EQ(run.result.err, "");
  EXPECT_EQ(run.result.out.rfind("Usage: Quorvane-Triads ", 0), 0u) << run.result.out;
  EXPECT_EQ(run.folder.snapshot().size(), 1u) << "a report was written";
}

// Catches a version other than the project's, or more than the one line.
TEST(CommandLineRuns, VersionIsTheProgramNameAndTheProjectVersion) {
  const RunWith run({"--version"});
  EXPECT_EQ(run.result.exit_status, 0);
  EXPECT_EQ(run.result.out, std::string("Quorvane-Triads ") + QUORVANE_VERSION + "\n");
  EXPECT_EQ(run.result.err, "");
}

// Catches a refused command line that still runs, writes, prompts or says more than one line.
TEST(CommandLineRuns, BadCommandLineIsRefusedBeforeAnything) {
  for (const std::vector<std::string>& words :
       {std::vector<std::string>{"--bogus"}, {"--seed"}, {"--seed", "5", "study.txt"}}) {
    const RunWith run(words);
    EXPECT_EQ(run.result.exit_status, 2) << words[0];
    EXPECT_EQ(run.result.out, "");
    EXPECT_EQ(run.result.err.rfind("Quorvane-Triads: error: ", 0), 0u) << run.result.err;
    const std::string ending = "; see 'Quorvane-Triads --help'\n";
    ASSERT_GE(run.result.err.size(), ending.size());
    EXPECT_EQ(run.result.err.substr(run.result.err.size() - ending.size()), ending);
    EXPECT_EQ(run.result.err.find('\n'), run.result.err.size() - 1) << run.result.err;
    EXPECT_EQ(run.folder.snapshot().size(), 1u) << "a report was written";
  }
}

// Catches --seed read but not used (two runs in one second would agree by the clock alone):
// both folders hold exactly the run of that seed, and another seed gives other reports.
TEST(CommandLineRuns, SameSeedGivesTheSameReportsAndAnotherSeedOthers) {
  const RunWith first({"--seed", "4000000000"});
  const RunWith second({"--seed=4000000000"});
  const RunWith other({"--seed", "4000000001"});
  for (const RunWith* run : {&first, &second, &other}) {
    ASSERT_EQ(run->result.exit_status, 0) << run->result.err;
  }
  const testing::ObservedRun seeded{kTriads.edition,
                                    testing::small_study_responses(),
                                    testing::kSmallStudyParticipants,
                                    testing::kSmallStudyItems,
                                    4000000000u,
                                    4000000000u};
  EXPECT_EQ(testing::check_report_history(first.folder, {seeded}), "");
  EXPECT_TRUE(first.folder.snapshot() == second.folder.snapshot());
  EXPECT_FALSE(first.folder.snapshot() == other.folder.snapshot());
}

}  // namespace
}  // namespace quorvane
