// The real programs, run in a temporary folder with their console input piped in.
#include <gtest/gtest.h>

#if !defined(_WIN32)
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "programs/memory_estimate.h"
#include "studies/study.h"
#include "tests/programs/programs_under_test.h"
#include "tests/support/edition_words.h"
#include "tests/support/program_process.h"
#include "tests/support/prompts.h"
#include "tests/support/refusals.h"
#include "tests/support/report_history.h"
#include "tests/support/report_parsing.h"
#include "tests/support/studies.h"
#include "tests/support/temp_folder.h"

namespace quorvane {
namespace {

using testing::ProgramResult;
using testing::TempFolder;

using testing::kTriads;
using testing::report_names;

using testing::count_of;
using testing::kItemsPrompt;
using testing::kNamePrompt;
using testing::kNotOpenedLine;
using testing::kOpenedLine;
using testing::kParticipantsPrompt;
using testing::kSmallStudyAnswers;

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override { folder_.write("study.txt", testing::small_study_text()); }

  ProgramResult run(const testing::Program& program, const std::string& input) {
    return testing::run_in(program.path, folder_.path(), input);
  }

  // A run of the triads program that must end within seconds; one that hangs fails the test.
  ProgramResult run_briefly(const std::string& input,
                            testing::ProgramProcess::Options options = {}) {
    testing::ProgramProcess process(kTriads.path, folder_.path(), input, options);
    if (!process.ends_within(std::chrono::seconds(10))) {
      ADD_FAILURE() << "still running after 10 seconds";
      return {};  // the process is killed as it goes
    }
    return process.wait();
  }

  // One successful run of the triads program, so that refusals have report files to spare.
  void run_once_successfully() {
    const ProgramResult result = run(kTriads, kSmallStudyAnswers);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    ASSERT_EQ(folder_.snapshot().size(), 9u);
  }

  // The run was refused with one error line that contains `explanation`, and changed no file.
  void expect_refused(const ProgramResult& result, const std::string& explanation,
                      const std::map<std::string, std::string>& before) {
    testing::expect_refused(result, explanation, before, folder_.snapshot());
  }

  TempFolder folder_;
};

TEST_F(EndToEnd, EachProgramHoldsTheDialogueAndWritesItsEightReports) {
  for (const testing::Program* program : testing::kPrograms) {
    TempFolder folder;
    folder.write("study.txt", testing::data_file_text(testing::made_up_responses(13, 7, 1), 7));
    const ProgramResult result =
        testing::run_in(program->path, folder.path(), "study.txt\n13\n7\n");
    EXPECT_EQ(result.exit_status, 0);
    EXPECT_EQ(result.out, testing::kCompleteDialogue);
    EXPECT_EQ(result.err, "");
    const std::string banner = testing::edition_words(program->group_size).banner;
    for (const std::string& name : report_names(*program)) {
      const std::string text = folder.read(name);
      const bool cumulative = name.rfind("NG-7", 0) == 0 || name.rfind("NG-8", 0) == 0;
      EXPECT_EQ(text.rfind(cumulative ? "\nBF-" : banner, 0), 0u) << name;
    }
    EXPECT_EQ(count_of(folder.read(report_names(*program)[3]), ":  \t\t"),
              static_cast<std::size_t>(13 / program->group_size))
        << program->name;
  }
}

// Catches a program whose reports differ from the computation's for its seed, as a port's C
// library (its rand(), its printf) or text-mode files would make them: every byte of each
// program's eight files is the in-memory run's for the seed given on its command line. On another
// system (Windows, libc++), whose in-memory runs the digests of whole runs hold to Linux's, this
// is the proof that its programs write Linux's reports byte for byte.
TEST_F(EndToEnd, EachProgramWritesTheReportsOfTheComputationForItsSeed) {
  for (const testing::Program* program : testing::kPrograms) {
    SCOPED_TRACE(program->name);
    TempFolder folder;
    const std::vector<int> responses = testing::made_up_responses(14, 8, 3);
    folder.write("study.txt", testing::data_file_text(responses, 8));
    testing::ProgramProcess::Options options;
    options.arguments = {"--seed", "4294967295"};
    const ProgramResult result =
        testing::run_in(program->path, folder.path(), "study.txt\n14\n8\n", options);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    for (const NamedText& section :
         testing::sections_of_run(*program->edition, responses, 14, 8, 4294967295u)) {
      EXPECT_TRUE(folder.read(section.file_name) == section.text) << section.file_name;
    }
  }
}

TEST_F(EndToEnd, RunsTheBundledSampleStudy) {
  std::filesystem::copy_file(QUORVANE_SAMPLE, folder_.file("sample-study.txt"));
  const ProgramResult result = run(kTriads, "sample-study.txt\n30\n20\n");
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(count_of(folder_.read("NG-4-Best-Fit-MV-Triads-NumCorrect.txt"), ":  \t\t"), 10u);
  EXPECT_EQ(count_of(folder_.read("NG-6-Best-Fit-DIST-Triads-NumCorrect.txt"), ":  \t\t"), 10u);
}

TEST_F(EndToEnd, SecondRunAppendsASectionOrALineToEveryFile) {
  run_once_successfully();
  const auto first = folder_.snapshot();
  const ProgramResult result = run(kTriads, "study.txt 12 6");  // answers on one line work too
  ASSERT_EQ(result.exit_status, 0) << result.err;
  for (const std::string& name : report_names(kTriads)) {
    const std::string text = folder_.read(name);
    EXPECT_EQ(text.rfind(first.at(name), 0), 0u) << name << " lost what it held";
    const bool cumulative = name.rfind("NG-7", 0) == 0 || name.rfind("NG-8", 0) == 0;
    EXPECT_EQ(count_of(text, cumulative ? "\nBF-" : testing::edition_words(3).banner), 2u) << name;
  }
}

TEST_F(EndToEnd, DataFileThatCannotBeOpenedStopsTheRun) {
  run_once_successfully();
  const auto before = folder_.snapshot();
  const ProgramResult result = run(kTriads, "absent.txt\n12\n6\n");
  EXPECT_EQ(result.out, kNamePrompt + kNotOpenedLine);
  expect_refused(result, "absent.txt: cannot open the data file: No such file or directory",
                 before);
  std::filesystem::create_directory(folder_.file("folder.txt"));
  expect_refused(run(kTriads, "folder.txt\n12\n6\n"),
                 "folder.txt: cannot open the data file: Is a directory", before);
  // Not study.txt, which the system would open if it were given this name.
  const std::string with_nul = std::string("study.txt") + '\0' + ".old";
  // The name is shown escaped, as words are in every other message.
  expect_refused(run(kTriads, with_nul + "\n12\n6\n"),
                 "study.txt\\x00.old: cannot open the data file: a file name cannot hold a NUL "
                 "byte",
                 before);
}

TEST_F(EndToEnd, DataFileNamesOver79CharactersAreRefusedNotCut) {
  const std::string longest(75, 'n');
  folder_.write(longest + ".txt", folder_.read("study.txt"));
  folder_.write(longest + ".txtx", "this file must not be read");
  ASSERT_EQ(run(kTriads, longest + ".txt\n12\n6\n").exit_status, 0);  // 79 characters
  const auto before = folder_.snapshot();
  const ProgramResult result = run(kTriads, longest + ".txtx\n12\n6\n");
  EXPECT_EQ(result.out, kNamePrompt);
  expect_refused(result, "is 80 characters long; names of at most 79 characters are accepted",
                 before);
}

TEST_F(EndToEnd, CountsOutsideTheirRangesAreRefused) {
  run_once_successfully();
  const auto before = folder_.snapshot();
  const std::string opened = kNamePrompt + kOpenedLine;
  const struct {
    const char* input;
    bool at_items;
    const char* found;
  } cases[] = {
      {"study.txt\n", false, "found the end of the input"},
      {"study.txt\nabc\n6\n", false, "found 'abc'"},
      {"study.txt\n12abc\n6\n", false, "found '12abc'"},
      {"study.txt\n0\n6\n", false, "found '0'"},
      {"study.txt\n-12\n6\n", false, "found '-12'"},
      {"study.txt\n5\n6\n", false, "found '5'"},
      {"study.txt\n10001\n6\n", false, "found '10001'"},
      {"study.txt\n99999999999\n6\n", false, "found '99999999999'"},
      {"study.txt\n12\n", true, "found the end of the input"},
      {"study.txt\n12\n0\n", true, "found '0'"},
      {"study.txt\n12\n10001\n", true, "found '10001'"},
      {"study.txt\n12\n6.0\n", true, "found '6.0'"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.input);
    const ProgramResult result = run(kTriads, c.input);
    EXPECT_EQ(result.out, opened + kParticipantsPrompt + (c.at_items ? kItemsPrompt : ""));
    expect_refused(result,
                   c.at_items ? "the number of items must be a whole number from 1 to 10000; "
                              : "the number of participants must be a whole number from 6 to 10000 "
                                "(at least two full groups of 3); ",
                   before);
    EXPECT_NE(result.err.find(c.found), std::string::npos) << result.err;
  }
}

TEST_F(EndToEnd, CountsAtTheEdgesOfTheirRangesAreAccepted) {
  folder_.write("wide.txt",
                testing::data_file_text(testing::made_up_responses(6, 10000, 4), 10000));
  EXPECT_EQ(run(kTriads, "wide.txt\n6\n1\n").exit_status, 0);
  EXPECT_EQ(run(kTriads, "wide.txt\n6\n10000\n").exit_status, 0);
}

TEST_F(EndToEnd, DataFilesThatAreShortOrHoldOtherWordsAreRefused) {
  run_once_successfully();
  const auto before = folder_.snapshot();
  const struct {
    const char* text;
    const char* explanation;
  } cases[] = {
      {"1 0 1 1 0 1\n0 0 1\n", "bad.txt: row 2, item 4: the file ends after 9 of the 72 responses"},
      {"1,0,1,1,0,1\n", "bad.txt: the file holds 1 row of 6 responses (one participant per line)"},
      {"1 0 1 1 0 1\n0 0 y 1 1 1\n", "bad.txt: row 2, item 3 (line 2 of the file): found 'y'"},
      {"\xEF\xBB\xBF"
       "1 0 1 1 0 1\n",
       "bad.txt: row 2, item 1: the file ends after 6 of the 72 responses"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    folder_.write("bad.txt", c.text);
    const auto with_data = folder_.snapshot();
    const ProgramResult result = run(kTriads, "bad.txt\n12\n6\n");
    EXPECT_EQ(result.out, kNamePrompt + kOpenedLine + kParticipantsPrompt + kItemsPrompt);
    expect_refused(result, c.explanation, with_data);
  }
  std::filesystem::remove(folder_.file("bad.txt"));
  EXPECT_TRUE(folder_.snapshot() == before);
}

TEST_F(EndToEnd, OddValuesAndExtraValuesAreNotedAndTheRunGoesOn) {
  folder_.write("odd.txt", "1 0 2 1 0 1\n" + folder_.read("study.txt").substr(12) + "1 1 -1\n");
  const ProgramResult result = run(kTriads, "odd.txt\n12\n6\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err,
            "Quorvane-Triads: note: odd.txt: 1 response is neither 0 nor 1 and counted as correct "
            "(the first: row 1, item 3 holds 2); if that is a coding slip, correct the data file "
            "and run again\n"
            "Quorvane-Triads: note: odd.txt: the data file holds 3 more values after the 12 x 6 "
            "responses read (the first on line 13), ignored; check the numbers of participants "
            "and items typed\n");
  EXPECT_EQ(folder_.snapshot().size(), 10u);
}

TEST_F(EndToEnd, ASearchWithoutABestSetIsNotedAndStillWritten) {
  folder_.write("alike.txt", testing::data_file_text(std::vector<int>(12 * 6, 1), 6));
  const ProgramResult result = run(kTriads, "alike.txt\n12\n6\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err,
            "Quorvane-Triads: note: no set could be chosen by mean and variance: the overall "
            "variance is 0 (within every set all groups scored alike); its reports show the best "
            "set as 0-0\n");
  EXPECT_EQ(folder_.read("NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt"),
            "\nBF-MV-Mean: 0.0000\t BF-MV-Var: 0.0000\t Overall-Mean: 6.0000\t Overall-Var: "
            "0.0000\t Best-MV-ChiSq: 1000000.0000");
  EXPECT_EQ(count_of(folder_.read("NG-4-Best-Fit-MV-Triads-NumCorrect.txt"), ":  \t\t"), 0u);
  EXPECT_EQ(count_of(folder_.read("NG-6-Best-Fit-DIST-Triads-NumCorrect.txt"), ":  \t\t"), 4u);
}

// Pipes, devices, /proc and address-space limits are POSIX's.
#if !defined(_WIN32)
// Writes "1\n" into a pipe until the reader goes, as `yes 1 > pipe` does.
class EndlessWriter {
 public:
  explicit EndlessWriter(const std::string& fifo) : pid_(fork()) {
    if (pid_ != 0) return;
    const int fd = open(fifo.c_str(), O_WRONLY);
    while (fd >= 0 && write(fd, "1\n", 2) == 2) {
    }
    _exit(0);
  }
  ~EndlessWriter() {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  EndlessWriter(const EndlessWriter&) = delete;
  EndlessWriter& operator=(const EndlessWriter&) = delete;

 private:
  pid_t pid_;
};

// Catches a program that waits for ever on a pipe or a device, or reads an endless one.
TEST_F(EndToEnd, EndlessOrBlockingInputIsRefusedWithinSeconds) {
  run_once_successfully();
  const auto before = folder_.snapshot();
  ASSERT_EQ(mkfifo(folder_.file("pipe.txt").c_str(), 0600), 0);
  const std::string not_plain =
      ": cannot open the data file: not a plain file (a pipe, device or socket); save the study "
      "as a file and type its name";
  // A pipe with no writer blocks a plain open.
  expect_refused(run_briefly("pipe.txt\n12\n6\n"), "pipe.txt" + not_plain, before);
  {
    const EndlessWriter yes(folder_.file("pipe.txt"));
    expect_refused(run_briefly("pipe.txt\n12\n6\n"), "pipe.txt" + not_plain, before);
  }
  expect_refused(run_briefly("/dev/zero\n12\n6\n"), "/dev/zero" + not_plain, before);
  // At the prompts: an endless word of NUL bytes, an endless run of blanks.
  testing::ProgramProcess::Options zeros;
  zeros.input_file = "/dev/zero";
  expect_refused(
      run_briefly("", zeros),
      "the data file name '\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00"
      "\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00\\x00...' is more than 4096 "
      "characters long",
      before);
  expect_refused(run_briefly(std::string(std::size_t{1} << 20, ' ') + "\nstudy.txt\n12\n6\n"),
                 "no data file name was given (found more than 1048576 blank characters in a row)",
                 before);
  std::filesystem::remove(folder_.file("pipe.txt"));
}

// Catches a read error ending the program by an uncaught exception (SIGABRT). Reading a
// process's own memory from address 0 fails with EIO, although the file is a plain one.
TEST_F(EndToEnd, AReadErrorInTheDataFileEndsTheRunWithOneLine) {
  if (!std::filesystem::exists("/proc/self/mem")) GTEST_SKIP() << "no /proc/self/mem here";
  run_once_successfully();
  const auto before = folder_.snapshot();
  expect_refused(run_briefly("/proc/self/mem\n12\n6\n"),
                 "/proc/self/mem: cannot read the data file: " + std::string(strerror(EIO)),
                 before);
}

#if defined(__SANITIZE_ADDRESS__)
#define QUORVANE_UNDER_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUORVANE_UNDER_ASAN 1
#endif
#endif

// Catches std::bad_alloc leaving main (SIGABRT). Somewhere between the address space the
// program needs to start and the one a large study needs, an allocation fails: every limit
// must end the run normally.
TEST_F(EndToEnd, TooLittleMemoryEndsTheRunWithOneLine) {
#ifdef QUORVANE_UNDER_ASAN
  GTEST_SKIP() << "the address sanitizer needs far more address space than any limit tried";
#endif
  folder_.write("wide.txt", testing::data_file_text(testing::made_up_responses(109, 109, 2), 109));
  const auto before = folder_.snapshot();
  int short_of_memory = 0;
  for (long limit = 4 << 20; limit <= 24 << 20; limit += 512 << 10) {
    SCOPED_TRACE("address space limit " + std::to_string(limit));
    testing::ProgramProcess::Options options;
    options.address_space_limit = limit;
    // Too little to start the program at all: the system's loader exits with 127, or the C++
    // library it loads aborts before main, as --version shows under the same limit.
    testing::ProgramProcess::Options version = options;
    version.arguments = {"--version"};
    if (run_briefly("", version).exit_status != 0) continue;
    const ProgramResult result = run_briefly("wide.txt\n109\n109\n", options);
    EXPECT_EQ(result.signal, 0) << result.err;
    if (result.exit_status == 0) break;  // enough from here on
    ++short_of_memory;
    // Short while reading the file, or while computing the study.
    expect_refused(result, "not enough memory", before);
  }
  EXPECT_GT(short_of_memory, 0) << "no limit tried made an allocation fail";
}

// Catches a data file read whole before its memory is checked against the limit, which ends the
// run with the generic line (or, mapped, reads past the limit): refused before any of it is read,
// with the need and the limit, the prompts' way and the command line's.
TEST_F(EndToEnd, ReadingALargeFileUnderTooLowALimitIsRefusedFirst) {
#ifdef QUORVANE_UNDER_ASAN
  GTEST_SKIP() << "the address sanitizer needs far more address space than any limit tried";
#endif
  const std::uint64_t size = std::uint64_t{64} << 20;
  folder_.write("big.txt", std::string(static_cast<std::size_t>(size), '1'));
  const auto before = folder_.snapshot();
  testing::ProgramProcess::Options options;
  options.address_space_limit = 40L << 20;
  const std::string line = "big.txt: not enough memory: reading the data file of " +
                           megabytes(size) + " needs about " +
                           megabytes(reading_memory_needed(size)) +
                           ": the limit set for this program (ulimit -v) is 40 MB; raise the "
                           "limit (ulimit -v) and run again; no report file was changed\n";
  expect_refused(run_briefly("big.txt\n12\n6\n", options), line, before);
  options.arguments = {"big.txt"};
  expect_refused(run_briefly("", options), line, before);
}

#endif  // !defined(_WIN32)

// Catches the run reading a report file as its study, then appending report text to it.
TEST_F(EndToEnd, AReportFileIsNotTakenForTheDataFile) {
  run_once_successfully();
  const std::string report = "NG-3-Best-Fit-MV-ChiSqValues.txt";
  std::filesystem::create_hard_link(folder_.file(report), folder_.file("hard.txt"));
  std::vector<std::string> names = {report, "hard.txt"};
#if !defined(_WIN32)  // symbolic links need a privilege on Windows
  std::filesystem::create_symlink(report, folder_.file("soft.txt"));
  names.push_back("soft.txt");
#endif
  const auto before = folder_.snapshot();
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    const ProgramResult result = run(kTriads, name + "\n12\n6\n");
    EXPECT_EQ(result.out, kNamePrompt + kNotOpenedLine);
    expect_refused(result, name + ": the data file is the report file " + report, before);
  }
}

// Catches wrong line numbers for old Mac files (CR only), "1 items", and a row written without
// blanks reported without its likely cause.
TEST_F(EndToEnd, DataFileMessagesCountLinesAndItemsRight) {
  const struct {
    const char* answers;
    std::string text;
    const char* explanation;
  } cases[] = {
      {"12\n6\n", "1 0 1 1 0 1\r0 0 y 1 1 1\r", "row 2, item 3 (line 2 of the file): found 'y'"},
      {"12\n6\n", "1 0 1\r1 0 1\n\r\n0 0 y", "row 2, item 3 (line 4 of the file): found 'y'"},
      {"12\n1\n", "1\n0\n",
       "row 3, item 1: the file ends after 2 of the 12 responses of 12 participants by 1 item;"},
      {"12\n16\n", "0011001100110011\n",
       "row 1, item 1 (line 1 of the file): found '0011001100110011', a number too large for a "
       "response (are the responses written without blanks between them?)"},
      {"6\n6\n", "001100\n010101\n",
       "row 1, item 3: the file ends after 2 of the 36 responses of 6 participants by 6 items "
       "(row 1, item 1 holds '001100': are the responses written without blanks between them?)"},
      {"12\n6\n", "1 0 1\n" + std::string(5000, 'x'),
       "row 1, item 4 (line 2 of the file): found more than 4096 characters without a blank "
       "('xxxxxxxxxxxxxxxxxxxxxxxx...')"},
      {"12\n6\n", folder_.read("study.txt") + std::string(5000, 'x'),
       "line 13 of the file, after the 12 x 6 responses: found more than 4096 characters "
       "without a blank"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.explanation);
    folder_.write("bad.txt", c.text);
    expect_refused(run_briefly(std::string("bad.txt\n") + c.answers),
                   std::string("bad.txt: ") + c.explanation, folder_.snapshot());
  }
}

// Catches counting values after the responses without end.
TEST_F(EndToEnd, ValuesAfterTheResponsesAreCountedUpToABound) {
  std::string text = folder_.read("study.txt");
  for (long i = 0; i <= kMostExtraValues; ++i) text += "1\n";
  folder_.write("long.txt", text);
  const ProgramResult result = run_briefly("long.txt\n12\n6\n");
  EXPECT_EQ(result.exit_status, 0);
  EXPECT_EQ(result.err, "Quorvane-Triads: note: long.txt: the data file holds more than " +
                            std::to_string(kMostExtraValues) +
                            " more values after the 12 x 6 responses read (the first on line "
                            "13), ignored; check the numbers of participants and items typed\n");
}

}  // namespace
}  // namespace quorvane
