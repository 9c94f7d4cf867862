#include "studies/bare_numbers.h"

#include <gtest/gtest.h>

#include <sstream>

#include "simulation/response_matrix_internal.h"

namespace quorvane {
namespace {

struct Loaded {
  bool ok = false;
  ResponseMatrix matrix{0, 0};
  std::vector<std::string> notes;
  std::string error;
};

Loaded load_text(const std::string& text, int participants, int items) {
  Loaded loaded;
  loaded.matrix = ResponseMatrix(participants, items);
  std::istringstream data(text);
  Refusal refusal;
  loaded.ok = load(data, loaded.matrix, &loaded.notes, &refusal);
  loaded.error = refusal.message;
  return loaded;
}

std::vector<int> missed_flags(const ResponseMatrix& matrix) {
  std::vector<int> flags;
  for (int p = 0; p <= matrix.participants(); ++p) {
    for (int c = 0; c <= matrix.items(); ++c) flags.push_back(missed(matrix, p, c));
  }
  return flags;
}

TEST(DataFile, ReadsRowsInOrderAndFlagsMisses) {
  const Loaded loaded = load_text("1 0 1\n0 0 1\n", 2, 3);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_TRUE(loaded.notes.empty());
  // Row and column 0 belong to the null participant and item 0: never missed.
  EXPECT_EQ(missed_flags(loaded.matrix), (std::vector<int>{0, 0, 0, 0,  //
                                                           0, 0, 1, 0,  //
                                                           0, 1, 1, 0}));
}

TEST(DataFile, LineBreaksCarryNoMeaning) {
  const Loaded one_line = load_text("1 0 1 0 0 1", 2, 3);
  const Loaded ragged = load_text("\t1\r\n0\n\n 1 0\v0\f1   \r\n", 2, 3);
  const Loaded by_row = load_text("1 0 1\n0 0 1\n", 2, 3);
  ASSERT_TRUE(one_line.ok && ragged.ok && by_row.ok);
  EXPECT_EQ(missed_flags(one_line.matrix), missed_flags(by_row.matrix));
  EXPECT_EQ(missed_flags(ragged.matrix), missed_flags(by_row.matrix));
  // Catches 1.00 and .00, as statistics packages write 1 and 0, refused.
  const Loaded decimals = load_text("1.00 0.0 1.\n.00 0 1.000\n", 2, 3);
  ASSERT_TRUE(decimals.ok) << decimals.error;
  EXPECT_EQ(missed_flags(decimals.matrix), missed_flags(by_row.matrix));
  EXPECT_TRUE(decimals.notes.empty());
}

TEST(DataFile, OtherValuesCountAsCorrectWithOneNote) {
  const Loaded loaded = load_text("1 2\n-1 0\n7 +0\n", 3, 2);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_EQ(missed(loaded.matrix, 1, 2), 0);
  EXPECT_EQ(missed(loaded.matrix, 2, 1), 0);
  EXPECT_EQ(missed(loaded.matrix, 2, 2), 1);
  EXPECT_EQ(missed(loaded.matrix, 3, 1), 0);
  EXPECT_EQ(missed(loaded.matrix, 3, 2), 1);  // +0 is a zero
  ASSERT_EQ(loaded.notes.size(), 1u);
  EXPECT_EQ(loaded.notes[0],
            "3 responses are neither 0 nor 1 and counted as correct (the first: row 1, item 2 "
            "holds 2); if that is a coding slip, correct the data file and run again");
}

TEST(DataFile, ValuesAfterTheLastResponseAreIgnoredWithOneNote) {
  const Loaded loaded = load_text("1 0\n0 1\n1 1 oops\n0\n", 2, 2);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_EQ(missed_flags(loaded.matrix), missed_flags(load_text("1 0 0 1", 2, 2).matrix));
  ASSERT_EQ(loaded.notes.size(), 1u);
  EXPECT_EQ(loaded.notes[0],
            "the data file holds 4 more values after the 2 x 2 responses read (the first on line "
            "3), ignored; check the numbers of participants and items typed");
}

TEST(DataFile, ShortFileIsRefusedAtTheFirstMissingCell) {
  const Loaded loaded = load_text("1 0 1\n0 1\n", 2, 3);
  EXPECT_FALSE(loaded.ok);
  EXPECT_EQ(loaded.error,
            "row 2, item 3: the file ends after 5 of the 6 responses of 2 participants by 3 "
            "items; complete the file, or type the numbers of rows and columns it holds");
  EXPECT_FALSE(load_text("", 2, 1).ok);
  EXPECT_EQ(load_text("  \n\n", 2, 1).error.substr(0, 36), "row 1, item 1: the file ends after 0");
}

TEST(DataFile, WordsThatAreNotWholeNumbersAreRefusedWhereTheyStand) {
  const struct {
    const char* text;
    const char* error_start;
  } cases[] = {
      {"1,0,1\n0 0 1\n", "row 1, item 1 (line 1 of the file): found '1,0,1' where"},
      {"1 0 1\n0 x 1\n", "row 2, item 2 (line 2 of the file): found 'x' where"},
      {"\xEF\xBB\xBF"
       "1 0 1\n0 0 1\n",
       "row 1, item 1 (line 1 of the file): found '\\xEF\\xBB\\xBF1' where"},
      {"1 0 1\n\n\n0 0 1.5\n", "row 2, item 3 (line 4 of the file): found '1.5' where"},
      {"1 0 1 0 - 1", "row 2, item 2 (line 1 of the file): found '-' where"},
      {"1 0 1 0 0 99999999999",
       "row 2, item 3 (line 1 of the file): found '99999999999', a number too large"},
      {"1 0 1 0 0 'a\\b'", "row 2, item 3 (line 1 of the file): found '\\x27a\\x5Cb\\x27' where"},
      {"1 0 1 0 0 abcdefghijklmnopqrstuvwxyz",
       "row 2, item 3 (line 1 of the file): found 'abcdefghijklmnopqrstuvwx...' where"},
  };
  for (const auto& c : cases) {
    const Loaded loaded = load_text(c.text, 2, 3);
    EXPECT_FALSE(loaded.ok) << c.text;
    EXPECT_EQ(loaded.error.rfind(c.error_start, 0), 0u) << loaded.error;
    EXPECT_NE(loaded.error.find("; responses are whole numbers (1 correct, 0 missed) separated by "
                                "blanks, tabs or line breaks"),
              std::string::npos);
  }
}

TEST(DataFile, LargestAndSmallestWholeNumbersCountAsCorrect) {
  const Loaded loaded = load_text("2147483647 -2147483648", 2, 1);
  ASSERT_TRUE(loaded.ok) << loaded.error;
  EXPECT_EQ(missed(loaded.matrix, 1, 1), 0);
  EXPECT_EQ(missed(loaded.matrix, 2, 1), 0);
  EXPECT_FALSE(load_text("2147483648 0", 2, 1).ok);
}

}  // namespace
}  // namespace quorvane
