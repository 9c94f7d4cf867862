// Quorvane-Groups, the real program, against the editions and the independent model of a run.
#include <gtest/gtest.h>

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

// Catches groups of 2 to 4 run with other words, file names, banner, messages or numbers than
// the edition of that size: the console text and every file, typed (with an export, at a seed
// past 2^31) and with a data file; and a refusal once the study is known (three participants
// are too few for groups of every size: a run there would take its seed from the clock).
TEST(GroupsProgram, SizesTwoToFourAreTheEditionsByteForByte) {
  for (const testing::Program* program : testing::kPrograms) {
    const std::string size = std::to_string(program->group_size);
    const struct {
      const char* what;
      std::vector<std::string> edition, groups;
      const char* answers;
      bool refused;
    } runs[] = {
        {"typed",
         {"--seed", "4000000000", "--export", "x"},
         {"--group-size", size, "--seed", "4000000000", "--export", "x"},
         testing::kSmallStudyAnswers,
         false},
        {"with the data file",
         {"--seed", "4000000000", "study.txt"},
         {"--group-size=" + size, "--seed", "4000000000", "study.txt"},
         "",
         false},
        {"with too few participants", {}, {"--group-size", size}, "study.txt\n3\n6\n", true},
    };
    for (const auto& run : runs) {
      SCOPED_TRACE(std::string(program->name) + " " + run.what);
      const RunIn edition(program->path, run.edition, run.answers);
      const RunIn groups(testing::kGroupsPath, run.groups, run.answers);
      EXPECT_EQ(edition.result.exit_status != 0, run.refused) << edition.result.err;
      EXPECT_EQ(groups.result.exit_status, edition.result.exit_status);
      EXPECT_EQ(groups.result.out, edition.result.out);
      EXPECT_EQ(groups.result.err, edition.result.err);
      EXPECT_TRUE(groups.folder.snapshot() == edition.folder.snapshot()) << "the files differ";
    }
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

// Catches a size given twice taken for a run, a command line refused after a question was asked
// or a file touched (each wrong value is refused by the command line's reader, as
// command_line_test.cpp tests), and a size too large for the study refused without the smallest
// number of participants it needs.
TEST(GroupsProgram, GroupSizeIsRefusedBeforeAnythingIsAsked) {
  const struct {
    std::vector<std::string> words;
    int status;
    const char* said;
  } cases[] = {
      {{"--group-size", "5", "--group-size", "5"},
       2,
       "Quorvane-Groups: error: the group size is given twice"},
      {{"--group-size", "7"}, 1, "from 14 to 10000 (at least two full groups of 7)"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.words.back());
    const RunIn run(testing::kGroupsPath, c.words, testing::kSmallStudyAnswers);
    EXPECT_EQ(run.result.exit_status, c.status);
    EXPECT_NE(run.result.err.find(c.said), std::string::npos) << run.result.err;
    EXPECT_EQ(run.folder.snapshot().size(), 1u) << "a file was written";
    if (c.status == 2) {  // before a question, in one line
      EXPECT_EQ(run.result.out, "");
      EXPECT_EQ(run.result.err.find('\n'), run.result.err.size() - 1) << run.result.err;
    }
  }
}

}  // namespace
}  // namespace quorvane
