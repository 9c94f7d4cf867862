// The real programs given words on their command line.
#include <gtest/gtest.h>

#include <filesystem>
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
  for (const std::vector<std::string>& words : {std::vector<std::string>{"--bogus"},
                                                {"--seed"},
                                                {"--seed", "5", "study.txt", "study.txt"}}) {
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

// Catches reports or an export written in the folder the program runs from, a data file named
// on the command line read other than the dialogue reads it, a question asked, or a refused data
// file that does not end the run with one line.
TEST(CommandLineRuns, ADataFileNamedRunsInItsFolderAsTheDialogueThere) {
  const RunWith asked({"--seed", "7", "--export", "pilot"});
  ASSERT_EQ(asked.result.exit_status, 0) << asked.result.err;
  TempFolder study_folder;
  TempFolder elsewhere;
  study_folder.write("study.txt", testing::small_study_text());
  testing::ProgramProcess::Options options;
  options.arguments = {"--seed", "7", study_folder.file("study.txt"), "--export", "pilot"};
  const ProgramResult named = testing::run_in(kTriads.path, elsewhere.path(), "", options);
  EXPECT_EQ(named.exit_status, 0) << named.err;
  EXPECT_EQ(named.out, "study.txt: 12 participants, 6 items\nPerforming calculations...");
  EXPECT_EQ(named.err, "");
  EXPECT_TRUE(study_folder.snapshot() == asked.folder.snapshot());
  EXPECT_TRUE(elsewhere.snapshot().empty());

  options.arguments = {study_folder.file("missing.txt")};
  const ProgramResult missing = testing::run_in(kTriads.path, elsewhere.path(), "", options);
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err,
            "Quorvane-Triads: error: missing.txt: cannot open the data file: No such file or "
            "directory; check the name given\n");
  options.arguments = {elsewhere.file("no-folder/study.txt")};
  const ProgramResult no_folder = testing::run_in(kTriads.path, elsewhere.path(), "", options);
  EXPECT_EQ(no_folder.exit_status, 1);
  EXPECT_NE(no_folder.err.find("no-folder/study.txt: cannot enter the folder of the data file: "),
            std::string::npos)
      << no_folder.err;
}

// Catches names in other scripts lost on the way in (Windows' command line and console read in
// the code page turn them into '?'), a quoted path taken with its quotes, and backslashes shown
// as escapes.
TEST(CommandLineRuns, NamesInAnyScriptAndWindowsPathsArriveAsTyped) {
  // 研究-結果, in UTF-8.
  const std::string export_name = "\xE7\xA0\x94\xE7\xA9\xB6-\xE7\xB5\x90\xE6\x9E\x9C";
  const RunWith exported({"--seed", "7", "--export", export_name});
  ASSERT_EQ(exported.result.exit_status, 0) << exported.result.err;
  for (const char* ending : {"-distribution.csv", "-sets.csv", "-groups.csv", ".svg"}) {
    EXPECT_EQ(exported.folder.snapshot().count(export_name + ending), 1u) << ending;
  }

  TempFolder folder;
#if defined(_WIN32)
  const std::string separator = "\\";
#else
  const std::string separator = "/";
#endif
  std::filesystem::create_directory(folder.file("my studies"));
  folder.write("my studies/study.txt", testing::small_study_text());
  const ProgramResult quoted = testing::run_in(kTriads.path, folder.path(),
                                               "\"my studies" + separator + "study.txt\"\n12\n6\n");
  EXPECT_EQ(quoted.exit_status, 0) << quoted.err;

  const ProgramResult missing = testing::run_in(kTriads.path, folder.path(), "C:\\x\\y.txt\n");
  EXPECT_EQ(missing.exit_status, 1);
  EXPECT_EQ(missing.err.rfind("Quorvane-Triads: error: C:\\x\\y.txt: cannot open the data file: "
                              "No such file or directory",
                              0),
            0u)
      << missing.err;
}

}  // namespace
}  // namespace quorvane
