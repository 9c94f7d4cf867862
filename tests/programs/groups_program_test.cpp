// Quorvane-Groups, the real program, against the editions and the independent model of a run.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "tests/programs/programs_under_test.h"
#include "tests/reference/reference_run.h"
#include "tests/support/program_process.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::ProgramResult;
using testing::TempFolder;

// A folder holding the small study, and a program run there with the arguments and the answers.
struct RunIn {
  RunIn(const char* program, std::vector<std::string> arguments, const std::string& answers) {
    folder.write("study.txt", testing::small_study_text());
    testing::ProgramProcess::Options options;
    options.arguments = std::move(arguments);
    result = testing::run_in(program, folder.path(), answers, options);
  }
  TempFolder folder;
  ProgramResult result;
};

void expect_same_run(const RunIn& edition, const RunIn& groups, const std::string& what) {
  EXPECT_EQ(groups.result.exit_status, edition.result.exit_status) << what;
  EXPECT_EQ(groups.result.out, edition.result.out) << what;
  EXPECT_EQ(groups.result.err, edition.result.err) << what;
  const std::map<std::string, std::string> expected = edition.folder.snapshot();
  const std::map<std::string, std::string> found = groups.folder.snapshot();
  ASSERT_EQ(found.size(), expected.size()) << what;
  for (auto e = expected.begin(), f = found.begin(); e != expected.end(); ++e, ++f) {
    EXPECT_EQ(f->first, e->first) << what;
    EXPECT_TRUE(f->second == e->second) << what << ": " << e->first << " differs";
  }
}

// Catches groups of 2 to 4 run with other words, file names, banner, messages or numbers than
// the edition of that size: the console text and every file, typed and with a data file, with an
// export, and a refusal once the study is known.
TEST(GroupsProgram, SizesTwoToFourAreTheEditionsByteForByte) {
  for (const testing::Program* program : testing::kPrograms) {
    const std::string size = std::to_string(program->group_size);
    // A seed past 2^31, as one more check that the run is the same.
    for (const char* seed : {"4000000000"}) {
      const std::vector<std::string> typed = {"--seed", seed, "--export", "x"};
      std::vector<std::string> sized = {"--group-size", size};
      sized.insert(sized.end(), typed.begin(), typed.end());
      expect_same_run(RunIn(program->path, typed, testing::kSmallStudyAnswers),
                      RunIn(testing::kGroupsPath, sized, testing::kSmallStudyAnswers),
                      std::string(program->name) + " typed, seed " + seed);
      const std::vector<std::string> named = {"--seed", seed, "study.txt"};
      expect_same_run(
          RunIn(program->path, named, ""),
          RunIn(testing::kGroupsPath, {"--group-size=" + size, "--seed", seed, "study.txt"}, ""),
          std::string(program->name) + " with the data file, seed " + seed);
    }
    // Three participants are too few for groups of every size, so neither program runs (a run
    // here would take its seed from the clock, and two runs a second apart would differ).
    const RunIn edition(program->path, {}, "study.txt\n3\n6\n");
    EXPECT_NE(edition.result.exit_status, 0) << edition.result.out;
    expect_same_run(edition,
                    RunIn(testing::kGroupsPath, {"--group-size", size}, "study.txt\n3\n6\n"),
                    std::string(program->name) + " with too few participants");
  }
}

// Catches a size read from the command line but not used by the run, words of the editions for
// larger groups, and the size of two groups (N / 2) refused.
TEST(GroupsProgram, LargerSizesRunAsTheModelDoes) {
  for (const int size : {5, 6}) {
    const RunIn run(testing::kGroupsPath, {"--group-size", std::to_string(size), "--seed", "9"},
                    testing::kSmallStudyAnswers);
    ASSERT_EQ(run.result.exit_status, 0) << run.result.err;
    EXPECT_EQ(run.result.err, "");
    const reference::ReferenceReports expected =
        reference::reference_run({size, testing::kSmallStudyParticipants, testing::kSmallStudyItems,
                                  testing::small_study_responses()},
                                 9u);
    for (std::size_t file = 0; file < expected.names.size(); ++file) {
      EXPECT_TRUE(run.folder.read(expected.names[file]) == expected.texts[file])
          << expected.names[file] << " differs";
    }
  }
}

// Catches a size that is not a whole number from 2, or none, taken for a run, or refused after
// a question was asked or a file touched; and a size too large for the study refused without the
// smallest number of participants it needs.
TEST(GroupsProgram, GroupSizeIsRefusedBeforeAnythingIsAsked) {
  // Each value that is wrong is refused by the command line's reader (command_line_test.cpp); here
  // the program stops on one of each kind.
  const std::vector<std::vector<std::string>> refused = {
      {"--seed", "3"}, {"--group-size", "2.5"}, {"--group-size", "5", "--group-size", "5"}};
  for (const std::vector<std::string>& words : refused) {
    const RunIn run(testing::kGroupsPath, words, testing::kSmallStudyAnswers);
    const std::string shown = words.empty() ? "(none)" : words.back();
    EXPECT_EQ(run.result.exit_status, 2) << shown;
    EXPECT_EQ(run.result.out, "") << shown;
    EXPECT_EQ(run.result.err.rfind("Quorvane-Groups: error: ", 0), 0u) << run.result.err;
    EXPECT_EQ(run.result.err.find('\n'), run.result.err.size() - 1) << run.result.err;
    EXPECT_EQ(run.folder.snapshot().size(), 1u) << shown << ": a file was written";
  }
  const RunIn too_large(testing::kGroupsPath, {"--group-size", "7"}, testing::kSmallStudyAnswers);
  EXPECT_EQ(too_large.result.exit_status, 1);
  EXPECT_NE(too_large.result.err.find("from 14 to 10000 (at least two full groups of 7)"),
            std::string::npos)
      << too_large.result.err;
  EXPECT_EQ(too_large.folder.snapshot().size(), 1u) << "a report was written";
}

}  // namespace
}  // namespace quorvane
