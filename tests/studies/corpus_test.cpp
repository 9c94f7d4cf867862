#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "runs/run_outcome.h"
#include "studies/study.h"
#include "tests/support/editions.h"
#include "tests/support/studies.h"

namespace quorvane {
namespace {

// The files R, pandas, PSPP and gnumeric wrote of one study (tests/studies/corpus: each beside
// the script that wrote it, write-corpus writes them all again), read against the same study as
// bare numbers.
constexpr int kParticipants = 40;
constexpr int kItems = 12;

std::string corpus_file(const std::string& name) {
  std::ifstream file(std::string(QUORVANE_CORPUS) + "/" + name, std::ios::binary);
  EXPECT_TRUE(file.good()) << name;
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> report_texts(const Study& study) {
  std::vector<std::string> texts;
  for (const NamedText& report : compute_run(study, testing::edition_of(3), 3, {}).reports) {
    texts.push_back(report.text);
  }
  return texts;
}

struct CorpusFile {
  const char* name;
  // The labels of participants 2 and 40 as the file gives them; empty for a file without labels.
  const char* second_label;
  const char* last_label;
  // For a file no study can be read from: the start of the refusal.
  const char* refused;
};

constexpr const char* kNames2 = "M\xC3\xBCller, J\xC3\xB6rg";
constexpr const char* kNames40 = "Chlo\xC3\xA9 M\xC3\xBCller";

const CorpusFile kCorpus[] = {
    // Fault caught by each: a first line of counting numbers, a numbered first column, R's row
    // names, a participant column in quotes with blanks, 1.00 and .00, UTF-16 with or without a
    // byte-order mark or with one inside, value labels and binary files run as responses or
    // refused without naming what they are.
    {"r/write.csv-row.names-FALSE.csv", "", "", nullptr},
    {"r/write.csv-default.csv", "2", "40", nullptr},
    {"r/write.csv-matrix.csv", "2", "40", nullptr},
    {"r/write.csv-cbind-VPN.csv", "2", "40", nullptr},
    {"r/write.csv-cbind-Teilnehmer.csv", "2", "40", nullptr},
    {"r/write.csv2-default.csv", "2", "40", nullptr},
    {"r/write.table-default.txt", kNames2, kNames40, nullptr},
    {"r/write.table-tab-bare.txt", "", "", nullptr},
    {"r/write.csv-names-UTF-16LE.csv", kNames2, kNames40, nullptr},
    {"r/write.csv-factor-labels.csv", "", "", "line 2 of the file: the file holds value labels"},
    {"r/saveRDS.rds", "", "", "the file is a compressed file (gzip), as R's .rds and .RData"},
    {"r/save.RData", "", "", "the file is a compressed file (gzip), as R's .rds and .RData"},
    {"pandas/to_csv-index-False.csv", "", "", nullptr},
    {"pandas/to_csv-default.csv", "1", "39", nullptr},
    {"pandas/to_csv-header-False-index-False.csv", "", "", nullptr},
    {"pandas/to_csv-float-index-False.csv", "", "", nullptr},
    {"pandas/to_csv-sep-tab.tsv", "1", "39", nullptr},
    {"pandas/to_csv-sep-semicolon-decimal-comma.csv", "", "", nullptr},
    {"pandas/to_csv-encoding-utf-16.csv", "", "", nullptr},
    {"pandas/to_csv-participant-labels.csv", kNames2, kNames40, nullptr},
    {"pandas/to_excel.xlsx", "", "", "the file is an Excel workbook (.xlsx), not text"},
    {"pandas/to_stata.dta", "", "", "the file is a Stata data file (.dta), not text"},
    {"pspp/save-translate-csv-F4.2.csv", "", "", nullptr},
    {"pspp/save-translate-tab-F4.2.txt", "", "", nullptr},
    {"pspp/save-translate-csv-F1.0.csv", "", "", nullptr},
    {"pspp/save-translate-csv-labels.csv", "", "",
     "line 2 of the file: the file holds value labels"},
    {"pspp/save.sav", "", "", "the file is an SPSS data file (.sav), not text"},
    {"gnumeric/ssconvert-stf_csv.csv", "", "", nullptr},
    {"gnumeric/ssconvert-stf_assistant-semicolon.csv", "", "", nullptr},
    {"gnumeric/ssconvert-stf_assistant-UTF-16.csv", "", "", nullptr},
    {"gnumeric/ssconvert-stf_assistant-UTF-16LE.csv", "", "", nullptr},
    {"gnumeric/ssconvert-stf_assistant-UTF-16-quoted.csv", "", "", nullptr},
    {"gnumeric/ssconvert.xls", "", "", "the file is an Excel 97-2003 workbook (.xls), not text"},
    {"gnumeric/ssconvert.xlsx", "", "", "the file is an Excel workbook (.xlsx), not text"},
    {"gnumeric/ssconvert.ods", "", "", "the file is an OpenDocument spreadsheet (.ods), not text"},
};

TEST(StudyCorpus, EveryWritersFileIsTheStudyOrRefusedByName) {
  const StudyLoad bare = load_study(corpus_file("study.txt"), std::nullopt);
  ASSERT_TRUE(bare.loaded()) << bare.refusal.message;
  ASSERT_EQ(bare.study->responses.participants(), kParticipants);
  ASSERT_EQ(bare.study->responses.items(), kItems);
  const std::vector<int> expected = testing::responses_of(bare.study->responses);
  const std::vector<std::string> expected_reports = report_texts(*bare.study);
  for (const CorpusFile& file : kCorpus) {
    const std::string bytes = corpus_file(file.name);
    for (const std::optional<StudyShape>& typed :
         {std::optional<StudyShape>(), std::optional<StudyShape>({kParticipants, kItems})}) {
      SCOPED_TRACE(std::string(file.name) + (typed ? ", typed" : ""));
      const StudyLoad load = load_study(bytes, typed);
      if (file.refused != nullptr) {
        ASSERT_FALSE(load.loaded());
        EXPECT_EQ(load.refusal.message.rfind(file.refused, 0), 0u) << load.refusal.message;
        EXPECT_EQ(refusal_of_format(bytes).has_value(), load.refusal.line == 0);
        continue;
      }
      ASSERT_TRUE(load.loaded()) << load.refusal.message;
      EXPECT_EQ(testing::responses_of(load.study->responses), expected);
      EXPECT_EQ(report_texts(*load.study), expected_reports);
      if (*file.second_label == '\0') {
        EXPECT_TRUE(load.study->labels.empty());
      } else {
        ASSERT_EQ(load.study->labels.size(), std::size_t{kParticipants});
        EXPECT_EQ(load.study->labels[1], file.second_label);
        EXPECT_EQ(load.study->labels[39], file.last_label);
      }
    }
  }
}

}  // namespace
}  // namespace quorvane
