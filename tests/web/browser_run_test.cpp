#include "web/browser_run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "reports/export_files.h"
#include "tests/support/editions.h"
#include "tests/support/in_process_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/studies.h"
#include "web/outcome_bytes.h"

namespace quorvane {
namespace {

struct Case {
  const char* what;
  std::string data;
  std::string participants;
  std::string items;
};

// The console program's run of the study in an empty folder in memory: the files it wrote, and
// the texts of its error and note lines.
struct ConsoleRun {
  testing::MemoryFileSystem folder;
  std::vector<std::string> errors;
  std::vector<std::string> notes;
};

ConsoleRun console_run(const EditionProfile& edition, const Case& study, std::uint32_t seed) {
  ConsoleRun run;
  run.folder.files["study.txt"] = study.data;
  const testing::ProgramResult result = testing::run_in_process(
      run.folder, "study.txt\n" + study.participants + "\n" + study.items + "\n", edition, seed,
      std::string("x"));
  std::istringstream lines(result.err);
  const std::string name(edition.program_name);
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind(name + ": error: ", 0) == 0) run.errors.push_back(line.substr(name.size() + 9));
    if (line.rfind(name + ": note: ", 0) == 0) run.notes.push_back(line.substr(name.size() + 8));
  }
  run.folder.files.erase("study.txt");
  return run;
}

std::vector<Case> cases() {
  const std::string study = testing::data_file_text(testing::made_up_responses(24, 9, 4), 9);
  return {
      {"a whole study", study, "24", "9"},
      {"fewer participants than the file's", study, "13", "9"},
      {"a response of 2 and values after the responses", "1 2 0\n1 1 0\n0 0 1\n1 0 1\n" + study,
       "8", "3"},
      {"every response alike", "1 1\n1 1\n1 1\n1 1\n1 1\n1 1\n1 1\n1 1\n", "8", "2"},
      {"a letter", "1 0\n0 q\n1 1\n0 0\n1 0\n0 1\n1 1\n0 0\n", "8", "2"},
      {"too few responses", "1 0 1", "8", "2"},
      {"participants out of range", study, "3", "9"},
      {"items not a number", study, "24", "nine"},
  };
}

// Would catch the page's run differing from the program's in any report or export byte, in a
// note, or in the wording of a refusal: every edition, studies that run and studies refused.
TEST(BrowserRun, AsTheConsoleProgramInAnEmptyFolder) {
  for (const int group_size : {2, 3, 4, 5}) {
    const EditionProfile& edition = testing::edition_of(group_size);
    for (const Case& study : cases()) {
      SCOPED_TRACE(std::string(edition.program_name) + ": " + study.what);
      const ConsoleRun expected = console_run(edition, study, 20261208);
      BrowserRequest request;
      request.edition = edition_of_group_size(group_size);
      request.data = study.data;
      request.file_name = "study.txt";
      request.seed = 20261208;
      request.export_name = "x";
      request.participants = study.participants;
      request.items = study.items;
      const BrowserOutcome outcome = run_in_browser(request);

      EXPECT_EQ(outcome.notes, expected.notes);
      ASSERT_EQ(outcome.refused, !expected.errors.empty());
      if (outcome.refused) {
        EXPECT_EQ(outcome.error, expected.errors.front());
        EXPECT_TRUE(outcome.reports.empty() && outcome.exports.empty());
        continue;
      }
      ASSERT_EQ(outcome.reports.size(), 8u);
      EXPECT_EQ(outcome.exports.size(), kExportFileCount);
      const std::vector<std::string> names = testing::report_names(edition);
      for (std::size_t file = 0; file < outcome.reports.size(); ++file) {
        EXPECT_EQ(outcome.reports[file].file_name, names[file]);
      }
      std::size_t compared = 0;
      for (const std::vector<NamedText>* texts : {&outcome.reports, &outcome.exports}) {
        for (const NamedText& text : *texts) {
          const auto file = expected.folder.files.find(text.file_name);
          ASSERT_NE(file, expected.folder.files.end()) << text.file_name;
          EXPECT_EQ(text.text, file->second) << text.file_name;
          ++compared;
        }
      }
      EXPECT_EQ(compared, expected.folder.files.size());
    }
  }
}

// Would catch a shape that counts blank lines, takes CR LF for two line ends or counts the
// responses of a later line: the run without numbers, or with one, is the run typed with the
// shape.
TEST(BrowserRun, TheTablesShapeWithoutNumbers) {
  const std::string rows = "1 0 1 1\r\n0 0 1 0\r\n\r\n1 1 1 1\r0 1 0 0 \n 1 0 0 1\t\n0 1 1 0";
  for (const int group_size : {2, 3}) {
    BrowserRequest request;
    request.edition = edition_of_group_size(group_size);
    request.data = "\n" + rows + "\n\n";
    request.file_name = "shape.txt";
    request.seed = 5;
    const BrowserOutcome shaped = run_in_browser(request);
    request.participants = "6";
    const BrowserOutcome half_typed = run_in_browser(request);
    request.items = "4";
    const BrowserOutcome typed = run_in_browser(request);
    ASSERT_FALSE(typed.refused) << typed.error;
    ASSERT_FALSE(shaped.refused) << shaped.error;
    ASSERT_FALSE(half_typed.refused) << half_typed.error;
    for (std::size_t file = 0; file < typed.reports.size(); ++file) {
      EXPECT_EQ(shaped.reports[file].text, typed.reports[file].text);
      EXPECT_EQ(half_typed.reports[file].text, typed.reports[file].text);
    }
  }
}

// Would catch an answer given with a line break that answers the next prompt too.
TEST(BrowserRun, AnAnswerIsOneLine) {
  BrowserRequest request;
  request.edition = edition_of_group_size(2);
  request.data = "1 0\n0 1\n1 1\n0 0\n";
  request.file_name = "s.txt";
  // Taken as two answers, "4\n5" would ask for 4 x 5 responses of the 8 the file holds.
  request.participants = "4\n5";
  request.items = "2";
  const BrowserOutcome outcome = run_in_browser(request);
  EXPECT_FALSE(outcome.refused) << outcome.error;
  EXPECT_EQ(outcome.reports.size(), 8u);
}

// Would catch the picture titled with the name cut at its first blank, and the rest of the name
// taken as the number of participants; messages name the file as it is called.
TEST(BrowserRun, ThePictureShowsTheWholeName) {
  BrowserRequest request;
  request.edition = edition_of_group_size(2);
  request.data = "1 0\n0 1\n1 1\n0 0\n";
  request.file_name = "pilot study.txt";
  request.export_name = "x";
  const BrowserOutcome outcome = run_in_browser(request);
  ASSERT_EQ(outcome.exports.size(), kExportFileCount) << outcome.error;
  EXPECT_NE(outcome.exports.back().text.find("pilot study.txt"), std::string::npos);
  request.data = "1 0 1";
  request.participants = "4";
  request.items = "2";
  EXPECT_EQ(run_in_browser(request).error.rfind("pilot study.txt: row ", 0), 0u);
}

// Would catch lengths written in another byte order or width, or records in another order than
// the error, the notes, the reports, the exports.
TEST(BrowserRun, OutcomeBytes) {
  BrowserOutcome outcome;
  outcome.refused = true;
  outcome.error = "e";
  outcome.notes = {"n1", std::string(300, 'n')};
  outcome.reports = {{"r", "text"}};
  outcome.exports = {{"x.csv", ""}};
  const auto length = [](std::size_t size) {
    return std::string{static_cast<char>(size & 0xFF), static_cast<char>(size >> 8), '\0', '\0'};
  };
  const std::string expected = "E" + length(0) + length(1) + "e" + "N" + length(0) + length(2) +
                               "n1" + "N" + length(0) + length(300) + std::string(300, 'n') + "R" +
                               length(1) + "r" + length(4) + "text" + "X" + length(5) + "x.csv" +
                               length(0);
  EXPECT_EQ(outcome_bytes(outcome), expected);
}

// Would catch an edition bound to the wrong group size, a size of no program accepted, or a
// larger size run with an edition's words.
TEST(BrowserRun, EditionOfGroupSize) {
  for (const int group_size : {2, 3, 4, 5, 17, 5000}) {
    ASSERT_TRUE(edition_of_group_size(group_size).has_value());
    EXPECT_EQ(edition_of_group_size(group_size)->program_name,
              testing::edition_of(group_size).program_name);
    EXPECT_EQ(edition_of_group_size(group_size)->group_size, group_size);
  }
  for (const int group_size : {-1, 0, 1, 5001, 100000}) {
    EXPECT_FALSE(edition_of_group_size(group_size).has_value());
  }
}

}  // namespace
}  // namespace quorvane
