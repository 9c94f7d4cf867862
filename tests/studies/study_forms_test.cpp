// One study saved in every form researchers' programs write, read by the data file reader and by
// whole runs of the driver; and the refusals of what cannot be a study, one line each.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "programs/run_driver.h"
#include "studies/study.h"
#include "tests/support/editions.h"
#include "tests/support/in_process_run.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

using testing::MemoryFileSystem;

constexpr int kParticipants = testing::kSmallStudyParticipants;
constexpr int kItems = testing::kSmallStudyItems;

std::vector<int> study() { return testing::small_study_responses(); }

// How one program saves a table: what goes between fields and at line ends, and how a field is
// written.
struct Saver {
  const char* separator;
  const char* line_end;
  bool header;
  bool labels;
  std::function<std::string(const std::string& text, bool is_number)> field;
};

std::string plain(const std::string& text, bool /*is_number*/) { return text; }
std::string quoted(const std::string& text, bool /*is_number*/) { return '"' + text + '"'; }
// R's write.csv quotes texts and leaves numbers bare.
std::string quoted_texts(const std::string& text, bool is_number) {
  return is_number ? text : '"' + text + '"';
}
std::string decimal(const std::string& text, bool is_number) {
  return is_number ? text + ".00" : text;
}

std::string saved(const std::vector<int>& responses, const Saver& saver,
                  const std::vector<std::string>& labels = {}, const std::string& corner = "") {
  std::string text;
  const auto row = [&](const std::string& label, const std::function<std::string(int)>& cell,
                       bool numbers) {
    if (saver.labels) text += saver.field(label, false) + saver.separator;
    for (int item = 1; item <= kItems; ++item) {
      text += saver.field(cell(item), numbers) + (item < kItems ? saver.separator : "");
    }
    text += saver.line_end;
  };
  if (saver.header)
    row(
        corner, [](int item) { return "item " + std::to_string(item); }, false);
  for (int p = 0; p < kParticipants; ++p) {
    const std::string label =
        labels.empty() ? "P" + std::to_string(p + 1) : labels[static_cast<std::size_t>(p)];
    row(
        label,
        [&](int item) {
          return std::to_string(responses[static_cast<std::size_t>(p * kItems + item - 1)]);
        },
        true);
  }
  return text;
}

// UTF-16 of UTF-8 text of the first 2048 characters of Unicode, with a byte-order mark.
std::string utf16(const std::string& text, bool big_endian) {
  std::string bytes = big_endian ? "\xFE\xFF" : "\xFF\xFE";
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned code = static_cast<unsigned char>(text[i]);
    if (code >= 0xC0) code = ((code & 0x1F) << 6) | (static_cast<unsigned char>(text[++i]) & 0x3F);
    const char high = static_cast<char>(code >> 8);
    const char low = static_cast<char>(code & 0xFF);
    bytes += big_endian ? std::string{high, low} : std::string{low, high};
  }
  return bytes;
}

struct Form {
  const char* name;
  std::string bytes;
  bool labelled;
};

std::vector<Form> forms_of_study() {
  const std::vector<int> responses = study();
  const std::string tabs = saved(responses, {"\t", "\r\n", true, false, plain});
  std::vector<std::string> names;
  std::vector<std::string> row_numbers;  // R's row names: "1", "2", ...
  for (int p = 1; p <= kParticipants; ++p) {
    names.push_back("Anna B., \"" + std::to_string(p) + "\"");
    row_numbers.push_back(std::to_string(p));
  }
  return {
      {"bare numbers", testing::data_file_text(responses, kItems), false},
      {"Excel CSV (Comma delimited)", saved(responses, {",", "\r\n", true, false, plain}), false},
      {"CSV with semicolons", saved(responses, {";", "\r\n", true, false, plain}), false},
      {"CSV UTF-8", "\xEF\xBB\xBF" + saved(responses, {",", "\r\n", true, false, plain}), false},
      {"Unicode Text", utf16(tabs, false), false},
      {"UTF-16 big-endian", utf16(tabs, true), false},
      {"Text (Tab delimited)", tabs, false},
      {"Notepad UTF-8 with BOM", "\xEF\xBB\xBF" + testing::data_file_text(responses, kItems),
       false},
      {"participant-ID column", saved(responses, {",", "\r\n", true, true, plain}), true},
      {"labels without a header", saved(responses, {";", "\n", false, true, plain}), true},
      {"R write.csv", saved(responses, {",", "\n", true, true, quoted_texts}, row_numbers), true},
      {"numbered participants, SPSS",
       saved(responses, {"\t", "\r\n", true, true, decimal}, row_numbers, "Subject_ID"), true},
      {"numbered participants, ID",
       saved(responses, {",", "\n", true, true, plain}, row_numbers, "ID"), true},
      {"tabs and a tab at each line's end", saved(responses, {"\t", "\t\n", false, false, plain}),
       false},
      {"R row names without a header",
       saved(responses, {",", "\n", false, true, quoted_texts}, row_numbers), true},
      {"every field quoted", saved(responses, {",", "\r\n", true, false, quoted}), false},
      {"labels with commas and quotes",
       saved(responses,
             {",", "\n", true, true,
              [](const std::string& t, bool n) {
                if (n) return t;
                std::string field = "\"";
                for (const char c : t) field += c == '"' ? std::string("\"\"") : std::string(1, c);
                return field + "\"";
              }},
             names),
       true},
      {"decimals of zeros", saved(responses, {"\t", "\n", true, false, decimal}), false},
      {"old Mac line ends and blank lines",
       "\r\r" + saved(responses, {",", "\r\r", true, false, plain}), false},
      {"blanks around commas", saved(responses, {" , ", " \n", false, false, plain}), false},
      // Form feeds and vertical tabs are blanks, as between bare numbers.
      {"form feeds and vertical tabs around commas",
       saved(responses, {"\f,\v", "\v\n", false, false, plain}), false},
      {"Windows-1252 labels",
       saved(responses, {";", "\r\n", true, true, plain},
             std::vector<std::string>(kParticipants, "M\xFCller")),
       true},
  };
}

struct DriverRun {
  testing::ProgramResult result;
  MemoryFileSystem files;
};

DriverRun drive(const std::string& data, const std::string& answers,
                std::optional<std::string> data_file = std::nullopt,
                std::optional<std::string> export_name = std::nullopt) {
  DriverRun run;
  run.files.files["study.csv"] = data;
  RunOptions options;
  options.data_file = std::move(data_file);
  options.export_name = std::move(export_name);
  run.result = testing::run_in_process(run.files, answers, options);
  return run;
}

// The reports a run left, without the data file.
std::map<std::string, std::string> reports_of(const DriverRun& run) {
  std::map<std::string, std::string> reports = run.files.files;
  reports.erase("study.csv");
  return reports;
}

// Catches a form misread (a header or label column taken as responses, a byte-order mark or a
// decimal part left in a number, a quote kept, a line end splitting a row), in the dialogue or
// with the data file named on the command line.
TEST(StudyForms, EveryFormGivesTheReportsOfTheBareNumbers) {
  const DriverRun bare = drive(testing::data_file_text(study(), kItems), "study.csv\n12\n6\n");
  ASSERT_EQ(bare.result.exit_status, kRunSucceeded) << bare.result.err;
  for (const Form& form : forms_of_study()) {
    SCOPED_TRACE(form.name);
    const DriverRun asked = drive(form.bytes, "study.csv\n12\n6\n");
    EXPECT_EQ(asked.result.exit_status, kRunSucceeded) << asked.result.err;
    EXPECT_TRUE(reports_of(asked) == reports_of(bare));
    const DriverRun named = drive(form.bytes, "", std::string("study.csv"));
    EXPECT_EQ(named.result.exit_status, kRunSucceeded) << named.result.err;
    EXPECT_EQ(named.result.out, "study.csv: 12 participants, 6 items\nPerforming calculations...");
    EXPECT_TRUE(reports_of(named) == reports_of(bare));
    const StudyLoad load = load_study(form.bytes, std::nullopt);
    ASSERT_TRUE(load.loaded()) << load.refusal.message;
    EXPECT_EQ(load.study->labels.size(), form.labelled ? std::size_t{kParticipants} : 0u);
  }
}

// Catches labels lost, cut at a comma, kept with their quotes, or left in the code page.
TEST(StudyForms, LabelsAreKeptAsWritten) {
  const std::vector<Form> forms = forms_of_study();
  const auto labels_of = [&](const char* name) {
    for (const Form& form : forms) {
      if (std::string(form.name) != name) continue;
      const StudyLoad load = load_study(form.bytes, StudyShape{kParticipants, kItems});
      EXPECT_TRUE(load.loaded()) << load.refusal.message;
      return load.loaded() ? load.study->labels : std::vector<std::string>{};
    }
    return std::vector<std::string>{};
  };
  ASSERT_EQ(labels_of("participant-ID column").size(), std::size_t{kParticipants});
  EXPECT_EQ(labels_of("participant-ID column")[11], "P12");
  EXPECT_EQ(labels_of("R write.csv")[0], "1");
  EXPECT_EQ(labels_of("labels with commas and quotes")[2], "Anna B., \"3\"");
  EXPECT_EQ(labels_of("Windows-1252 labels")[0], "M\xC3\xBCller");
}

// Catches the labels a file had not reaching the export's groups table.
TEST(StudyForms, TheExportNamesTheMembersByTheirLabels) {
  for (const Form& form : forms_of_study()) {
    if (std::string(form.name) != "participant-ID column") continue;
    const DriverRun run = drive(form.bytes, "", std::string("study.csv"), std::string("x"));
    ASSERT_EQ(run.result.exit_status, kRunSucceeded) << run.result.err;
    const std::string& groups = run.files.files.at("x-groups.csv");
    EXPECT_EQ(groups.rfind("fit,group,member_1,member_2,member_3,label_1,label_2,label_3,", 0), 0u);
    EXPECT_NE(groups.find(",P"), std::string::npos);
  }
}

// Catches a header or label column read without a word to the user.
TEST(StudyForms, HeaderAndLabelsAreNoted) {
  const DriverRun run =
      drive(saved(study(), {",", "\n", true, true, plain}), "", std::string("study.csv"));
  EXPECT_EQ(run.result.err,
            "Quorvane-Triads: note: study.csv: the first line was taken as the names of the "
            "columns ('item 1', 'item 2', 'item 3', ...), not as responses\n"
            "Quorvane-Triads: note: study.csv: the first column was taken as the participants' "
            "labels ('P1', 'P2', 'P3', ...), not as responses\n");
}

// Catches a refusal that names no place or gives no fix, or a slip that is let through.
TEST(StudyForms, WhatCannotBeAStudyIsRefusedWithWhereAndHow) {
  const struct {
    std::string bytes;
    bool typed;
    const char* error;
  } cases[] = {
      {"q1,q2,q3\n1,0,1\n0,1\n1,1,1\n", false,
       "line 3 of the file holds 2 responses, but line 2 (the first participant's) holds 3: "
       "every line holds one participant's responses, one per item; correct line 3"},
      {"1;0\n1;1;0\n", false,
       "line 2 of the file holds 3 responses, but line 1 (the first participant's) holds 2"},
      {"1 0 1\n0 1\n", false,
       "line 2 of the file holds 2 responses, but line 1 (the first participant's) holds 3: every "
       "line holds one participant's responses, one per item (as in a data file named on the "
       "command line); correct line 2"},
      {"q1,q2\n1,0\n0,\n", false,
       "row 2, item 2 (line 3 of the file): the response is empty; every item needs a response (0 "
       "or 1) from every participant"},
      {"q1\tq2\n1\tNA\n", false,
       "row 1, item 2 (line 2 of the file): found 'NA', no response; every item needs a response "
       "(0 or 1) from every participant"},
      {"1,0.5\n1,1\n", false,
       "row 1, item 2 (line 1 of the file): found '0.5', a decimal number; responses are whole "
       "numbers (1 correct, 0 missed)"},
      {"a;b\n1;1,5\n", false,
       "row 1, item 2 (line 2 of the file): found '1,5', a decimal number (in a file whose fields "
       "are separated by semicolons a comma is a decimal mark); responses are whole numbers"},
      {std::string("\x01\x02\x00\x00\n", 5), false,
       "line 1 of the file: the file is not plain text (it holds NUL bytes, as a binary file or "
       "UTF-16 does); save the study as text"},
      {"\xFF\xFE\x31", false, "the file is UTF-16 (it starts with a byte-order mark) but ends"},
      {"\"P1,1,0\n", false, "line 1 of the file: a quote opens a field that is never closed"},
      {"q1,q2\n", false, "the file holds no responses"},
      {"1,0\n0,1\n", true,
       "the file holds 2 rows of 2 responses (one participant per line), not 12 participants by "
       "6 items; type 2 and 2 at the prompts, or correct the file"},
      {"1,x\n", false,
       "row 1, item 2 (line 1 of the file): found 'x' where a response was expected"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.bytes);
    const std::optional<StudyShape> typed =
        c.typed ? std::optional<StudyShape>(StudyShape{kParticipants, kItems}) : std::nullopt;
    const StudyLoad load = load_study(c.bytes, typed);
    EXPECT_FALSE(load.loaded());
    const std::string& error = load.refusal.message;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << error;
    EXPECT_EQ(error.find('\n'), std::string::npos) << error;
  }
}

// Catches a file of too few participants run, or one refused without its count.
TEST(StudyForms, ADataFileOnTheCommandLineNeedsTwoFullGroups) {
  const DriverRun run = drive("1 0\n0 1\n1 1\n1 0\n0 0\n", "", std::string("study.csv"));
  EXPECT_EQ(run.result.exit_status, kRunFailed);
  EXPECT_EQ(run.result.out, "");
  EXPECT_EQ(run.result.err,
            "Quorvane-Triads: error: study.csv: the file holds 5 participants (one per line); a "
            "run needs 6 or more (at least two full groups of 3)\n");
  EXPECT_EQ(reports_of(run).size(), 0u);
}

}  // namespace
}  // namespace quorvane

namespace quorvane {
namespace {

// Catches a workbook refused only after the numbers were asked for (and typed for nothing), or
// refused without naming it.
TEST(StudyForms, AWorkbookIsRefusedByNameBeforeTheQuestions) {
  const std::string workbook = std::string("PK\x03\x04", 4) + "\x14" + std::string(20, '\0') +
                               "[Content_Types].xml" + std::string(10, '\0') + "xl/workbook.xml";
  const DriverRun run = drive(workbook, "study.csv\n12\n6\n");
  EXPECT_EQ(run.result.exit_status, kRunFailed);
  EXPECT_EQ(run.result.out,
            "\n\nEnter name of DATA file (e.g., data.txt): The data file was opened\n");
  EXPECT_EQ(run.result.err,
            "Quorvane-Triads: error: study.csv: the file is an Excel workbook (.xlsx), not text; "
            "save it as text: in Excel, File > Save As > CSV UTF-8 (Comma delimited); in "
            "LibreOffice Calc, File > Save As > Text CSV\n");
  EXPECT_EQ(reports_of(run).size(), 0u);
}

}  // namespace
}  // namespace quorvane
