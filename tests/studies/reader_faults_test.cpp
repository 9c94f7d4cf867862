#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "simulation/response_matrix_internal.h"
#include "studies/study.h"

namespace quorvane {
namespace {

// The reader's faults that hide where a file is unusual, each case naming the fault it catches.
struct Case {
  const char* fault;
  std::string bytes;
  std::optional<StudyShape> typed;
  // Read: the responses row by row as bare numbers, and participant 1's label ("" for none).
  const char* responses;
  const char* first_label;
  // Refused: the start of the refusal.
  const char* refused;
  // A note the reading must give, or nullptr.
  const char* note = nullptr;
  std::string refused_text = {};      // a refusal's start made at run time
  const char* never_noted = nullptr;  // words no note may hold
};

std::string utf16_little_endian(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t unit : text) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return bytes;
}

std::string rows_of(int rows, const char* row) {
  std::string text;
  for (int i = 0; i < rows; ++i) text += row;
  return text;
}

std::vector<int> missed_flags(const ResponseMatrix& matrix) {
  std::vector<int> flags;
  for (int p = 1; p <= matrix.participants(); ++p) {
    for (int i = 1; i <= matrix.items(); ++i) flags.push_back(missed(matrix, p, i));
  }
  return flags;
}

std::vector<int> missed_of(const char* rows) {
  std::vector<int> flags;
  for (const char* c = rows; *c != '\0'; ++c) {
    if (*c == '0' || *c == '1') flags.push_back(*c == '0' ? 1 : 0);
  }
  return flags;
}

TEST(ReaderFaults, EachUnusualFileIsReadOrRefusedRight) {
  const std::optional<StudyShape> none;
  const Case cases[] = {
      {"CR LF counted as two line ends in a refusal's line", "q1,q2\r\n1,0\r\n0,x\r\n", none,
       nullptr, nullptr, "row 2, item 2 (line 3 of the file): found 'x'"},
      {"CR LF in a quoted label counted twice", "\"a\r\nb\",1,0\r\nc,0,x\r\n", none, nullptr,
       nullptr, "row 2, item 2 (line 3 of the file): found 'x'"},
      {"CR LF counted twice between bare numbers", "1 0\r\n0 x\r\n", StudyShape{2, 2}, nullptr,
       nullptr, "row 2, item 2 (line 2 of the file): found 'x'"},
      {"an empty field between tabs skipped as a blank", "q1\tq2\tq3\n1\t\t0\n1\t1\t0\n", none,
       nullptr, nullptr, "row 1, item 2 (line 2 of the file): the response is empty"},
      {"a comma taken before the semicolon", "a,b;c\n1;1\n0;1\n", none, "1 1 0 1", "", nullptr},
      {"a tab taken before the comma", "a\tb,c\n1,1\n0,1\n", none, "1 1 0 1", "", nullptr},
      {"a separator inside quotes taken", "\"a;b\",c\n1,0\n0,1\n", none, "1 0 0 1", "", nullptr},
      {"1. refused", "1.,0.\n.00,1.00\n", none, "1 0 0 1", "", nullptr},
      {"1,00 and ,00 refused where a comma is the decimal mark", "a;b\n1,00;,00\n0,0;1,\n", none,
       "1 0 0 1", "", nullptr},
      {"a point alone taken for 0", "1,0\n.,1\n", none, nullptr, nullptr,
       "row 2, item 1 (line 2 of the file): found '.', no response"},
      {"10,000 participants refused", rows_of(10000, "1,0\n"), none, nullptr, nullptr, nullptr},
      {"10,001 participants read", rows_of(10001, "1,0\n"), none, nullptr, nullptr,
       "line 10001 of the file: the file holds more than 10000 participants' lines"},
      {"a surrogate pair at the end of UTF-16 taken as broken",
       utf16_little_endian(u"1,0\n0,\U0001F600"), none, nullptr, nullptr,
       "row 2, item 2 (line 2 of the file): found '\xF0\x9F\x98\x80' where a response"},
      {"a record of \"\" skipped as blank", "q1,q2\n1,0\n\"\"\n0,1\n", none, nullptr, nullptr,
       "line 3 of the file holds 1 response, but line 2"},
      {"a first line counting the items read as a participant", "1,2,3\n1,0,1\n0,0,1\n", none,
       "1 0 1 0 0 1", "", nullptr},
      {"a first column counting the participants read as item 1", "1,1,0\n2,0,1\n3,1,1\n", none,
       "1 0 0 1 1 1", "1", nullptr},
      {"a column named VPN read as item 1", "VPN,a,b\n1,1,0\n2,0,1\n", none, "1 0 0 1", "1",
       nullptr},
      {"a header of 0 and 1 guessed", "0,1\n1,0\n0,0\n", none, nullptr, nullptr,
       "line 1 of the file ('0', '1') may be the columns' names or a participant's responses; to "
       "choose, name the columns with words"},
      {"the numbers typed not choosing the header", "0,1\n1,0\n0,0\n", StudyShape{2, 2}, "1 0 0 0",
       "", nullptr},
      {"the numbers typed not choosing the responses", "0,1\n1,0\n0,0\n", StudyShape{3, 2},
       "0 1 1 0 0 0", "", nullptr},
      {"a first column of numbers guessed", "3,2,0\n7,5,6\n5,8,1\n", none, nullptr, nullptr,
       "the first column ('7', '5') may be the participants' labels or item 1's responses"},
      {"the numbers typed not choosing the labels", "3,2,0\n7,5,6\n5,8,1\n", StudyShape{3, 2},
       "1 0 1 1 1 1", "3", nullptr},
      {"the numbers typed not choosing the responses", "3,2,0\n7,5,6\n5,8,1\n", StudyShape{3, 3},
       "1 1 0 1 1 1 1 1 1", "", nullptr},
      {"a first column of other numbers beside 0 and 1 read as item 1", "3,1,0\n7,0,1\n5,1,1\n",
       none, "1 0 0 1 1 1", "3", nullptr},
      {"an invisible character shown as nothing", "q1,q2\n1,\xE2\x80\x8B\n0,1\n", none, nullptr,
       nullptr, "row 1, item 2 (line 2 of the file): found 'U+200B' where"},
      {"a byte-order mark inside a file read as a response",
       "q1,q2\n1,0\n\xEF\xBB\xBF"
       "0,1\n",
       none, "1 0 0 1", "", nullptr, "line 3 of the file holds a byte-order mark (U+FEFF)"},
      {"a byte-order mark inside bare numbers", "1 0\n\xEF\xBB\xBF\x30 1\n", StudyShape{2, 2},
       "1 0 0 1", "", nullptr, "line 2 of the file holds a byte-order mark (U+FEFF)"},
      {"a header counting on from the largest int overflowing", "2147483647,0\n1,0\n0,1\n",
       StudyShape{3, 2}, "1 0 1 0 0 1", "", nullptr},
      {"a first column counting on from the largest int overflowing",
       "2147483647,1,0\n-2147483648,0,1\n-2147483647,1,1\n", StudyShape{3, 2}, "1 0 0 1 1 1",
       "2147483647", nullptr},
      {"two numbered rows taken for a count of participants", "q1,q2,q3\n1,1,0\n2,0,1\n", none,
       "1 1 0 1 0 1", "", nullptr},
      {"a first line counting from 2 taken for the items' names", "2,3,4\n1,0,1\n0,0,1\n", none,
       "1 1 1 1 0 1 0 0 1", "", nullptr},
      {"two high surrogates of UTF-16 joined into one character",
       utf16_little_endian({u'a', u',', u'b', u'\n', 0xD83D, 0xD83D, u',', u'1', u'\n'}), none,
       nullptr, nullptr,
       "line 2 of the file: the file is UTF-16 (it starts with a byte-order mark) but holds a "
       "broken character"},
      {"a low surrogate of UTF-16 alone taken for a character",
       utf16_little_endian({u'a', u',', u'b', u'\n', 0xDC00, u',', u'1', u'\n'}), none, nullptr,
       nullptr,
       "line 2 of the file: the file is UTF-16 (it starts with a byte-order mark) but holds a "
       "broken character"},
      {"the byte-order mark that starts a file noted as one inside it",
       "\xEF\xBB\xBFq1,q2\n1,0\n0,1\n", none, "1 0 0 1", "", nullptr, nullptr, "",
       "byte-order mark"},
      {"several byte-order marks inside a file given the words for one",
       "q1,q2\n\xEF\xBB\xBF\x31,0\n\xEF\xBB\xBF\x30,1\n", none, "1 0 0 1", "", nullptr,
       "the file holds 2 byte-order marks (U+FEFF)"},
      {"Windows-1252's characters at 0x80 and 0x9F taken for C1 controls",
       "n,a,b\n\x80\x9F,1,0\ny,0,1\n", none, "1 0 0 1", "\xE2\x82\xAC\xC5\xB8", nullptr},
      {"the columns' names after R's row names shown from the second",
       "\"a\" \"b\"\n\"1\" 1 0\n\"2\" 0 1\n", none, "1 0 0 1", "", nullptr,
       "the first line was taken as the names of the columns ('a', 'b')"},
      {"Stata's format 113 taken for text", std::string("\x71\x02\x01\x00\x01\x00", 6), none,
       nullptr, nullptr, "the file is a Stata data file (.dta), not text"},
      {"Stata's format 119 taken for text", std::string("\x77\x01\x01\x00\x01\x00", 6), none,
       nullptr, nullptr, "the file is a Stata data file (.dta), not text"},
      {"R's escaped quote ending a label", "\"n\" \"a\"\n\"1\" \"Zo\\\" Z\" 1\n\"2\" \"Y\" 0\n",
       none, "1 0", "Zo\" Z", nullptr},
  };
  std::vector<Case> all(std::begin(cases), std::end(cases));
  // Catches a mark of a missing value that packages write taken for a word.
  for (const std::string mark : {"NA", "n/a", "#N/A", "NaN", "nan", "."}) {
    all.push_back({"a missing value's mark", "q1,q2\n1," + mark + "\n0,1\n", none, nullptr, nullptr,
                   nullptr});
    all.back().refused_text =
        "row 1, item 2 (line 2 of the file): found '" + mark + "', no response";
  }
  for (const Case& c : all) {
    SCOPED_TRACE(c.fault);
    SCOPED_TRACE(c.bytes.substr(0, 40));
    const StudyLoad load = load_study(c.bytes, c.typed);
    const std::string refused = c.refused != nullptr ? c.refused : c.refused_text;
    if (!refused.empty()) {
      ASSERT_FALSE(load.loaded());
      EXPECT_EQ(load.refusal.message.rfind(refused, 0), 0u) << load.refusal.message;
      continue;
    }
    ASSERT_TRUE(load.loaded()) << load.refusal.message;
    if (c.responses != nullptr) {
      EXPECT_EQ(missed_flags(load.study->responses), missed_of(c.responses));
      const std::string label = load.study->labels.empty() ? "" : load.study->labels[0];
      EXPECT_EQ(label, c.first_label);
    }
    for (const std::string& note : load.study->reading.notes) {
      if (c.never_noted != nullptr) {
        EXPECT_EQ(note.find(c.never_noted), std::string::npos) << note;
      }
    }
    if (c.note != nullptr) {
      ASSERT_FALSE(load.study->reading.notes.empty());
      EXPECT_EQ(load.study->reading.notes[0].rfind(c.note, 0), 0u) << load.study->reading.notes[0];
    }
  }
}

}  // namespace
}  // namespace quorvane
