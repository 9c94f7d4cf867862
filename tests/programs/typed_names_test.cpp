// The data file's name as people type or paste it at the prompt, and as messages show it; the
// line that ends a run on an interactive console.
#include <gtest/gtest.h>

#include <string>

#include "programs/run_driver.h"
#include "studies/word_reader.h"
#include "tests/support/editions.h"
#include "tests/support/in_process_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/prompts.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

using testing::MemoryFileSystem;

const std::string kStudy = testing::data_file_text(testing::made_up_responses(6, 2, 3), 2);

using testing::ProgramResult;

ProgramResult drive(MemoryFileSystem& files, const std::string& answers,
                    const RunOptions& options = {}) {
  return testing::run_in_process(files, answers, options);
}

// 研 (three bytes in UTF-8) `count` times, then ".txt".
std::string chinese_name(int count) {
  std::string name;
  for (int i = 0; i < count; ++i) name += "\xE7\xA0\x94";
  return name + ".txt";
}

// Catches a name taken with its quotes, cut at a blank, taken whole when it is one word of
// several answers, or answers after the name lost.
TEST(TypedNames, QuotesAWholeLineOrTheFirstWordNameTheFile) {
  const struct {
    const char* file;
    const char* answers;
  } cases[] = {
      {"my study.txt", "\"my study.txt\"\n6\n2\n"},
      {"my study.txt", "my study.txt  \r\n6\n2\n"},
      {"C:\\Studies\\study.txt", "\"C:\\Studies\\study.txt\"\n6\n2\n"},
      {"C:\\Studies\\study.txt", "\"C:\\Studies\\study.txt\" 6 2\n"},
      {"study.txt", "study.txt 6 2\n"},
      {"study.txt", "\n\n  study.txt 6\n2"},
      {"study.txt", "study.txt 6\n2\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    MemoryFileSystem files;
    files.files[c.file] = kStudy;
    const ProgramResult run = drive(files, c.answers);
    EXPECT_EQ(run.exit_status, kRunSucceeded) << run.err;
    EXPECT_NE(run.out.find("The data file was opened\n"), std::string::npos) << run.out;
  }
}

// Catches backslashes or letters of other scripts escaped, control bytes or broken UTF-8 shown
// raw, and a length counted in bytes.
TEST(TypedNames, MessagesShowTheNameAsTyped) {
  const std::string cannot_open = ": cannot open the data file: No such file or directory";
  const struct {
    std::string answers;
    std::string error;
  } cases[] = {
      {"C:\\x\\y.txt\n", "C:\\x\\y.txt" + cannot_open},
      {"\"C:\\x\\it's.txt\"\n", "C:\\x\\it's.txt" + cannot_open},
      {chinese_name(42) + "\n", chinese_name(42) + cannot_open},
      {"a\x01\xFF"
       "b.txt\n",
       "a\\x01\\xFFb.txt" + cannot_open},
      {chinese_name(76) + "\n", "the data file name '" + chinese_name(24).substr(0, 72) +
                                    "...' is 80 characters long; names of at most 79"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answers);
    MemoryFileSystem files;
    const ProgramResult run = drive(files, c.answers);
    EXPECT_EQ(run.exit_status, kRunFailed);
    EXPECT_EQ(run.err.rfind("Quorvane-Triads: error: " + c.error, 0), 0u) << run.err;
  }
}

// Catches the length limit cut one character early or late.
TEST(TypedNames, SeventyNineCharactersAreAccepted) {
  EXPECT_EQ(character_count(chinese_name(75)), 79u);
  EXPECT_EQ(character_count("a\xFF\xE7\xA0"), 4u);  // each byte that is not UTF-8 counts as one
  MemoryFileSystem files;
  files.files[chinese_name(75)] = kStudy;
  EXPECT_EQ(drive(files, chinese_name(75) + "\n6\n2\n").exit_status, kRunSucceeded);
}

// Catches the closing line printed on a pipe (which must show what it showed before, clock seed
// or not), lost on an interactive console, naming neither the folder nor the export, or naming
// a seed the user gave (or not naming the clock's).
TEST(TypedNames, AnInteractiveRunEndsByNamingTheFolder) {
  const std::string asked = testing::kCompleteDialogue;
  const struct {
    std::string folder;
    std::optional<std::string> export_name;
    bool clock_seed;
    std::string end;
  } cases[] = {
      {"", std::nullopt, false, ""},
      {"", std::string("pilot"), false, ""},
      {"", std::string("pilot"), true, ""},
      {"/studies/\xE7\xA0\x94", std::nullopt, false,
       "\nThe reports were written in the folder /studies/\xE7\xA0\x94\n"},
      {"C:\\Studies", std::string("\xE7\xA0\x94-pilot"), false,
       "\nThe reports and the export \xE7\xA0\x94-pilot were written in the folder C:\\Studies\n"},
      {"/studies", std::nullopt, true,
       "\nThe reports were written in the folder /studies; seed 7 (repeat with --seed 7)\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.end);
    MemoryFileSystem files;
    files.files["study.txt"] = kStudy;
    RunOptions options;
    options.report_folder = c.folder;
    options.export_name = c.export_name;
    options.seed_from_clock = c.clock_seed;
    const ProgramResult run = drive(files, "study.txt\n6\n2\n", options);
    EXPECT_EQ(run.exit_status, kRunSucceeded) << run.err;
    EXPECT_EQ(run.out, asked + c.end);
  }
}

}  // namespace
}  // namespace quorvane
