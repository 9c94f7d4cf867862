#include "studies/word_reader.h"

#include <gtest/gtest.h>

#include <sstream>

namespace quorvane {
namespace {

WordReader::Next first_of(const std::string& text) {
  std::istringstream input(text);
  WordReader reader(input);
  return reader.next();
}

// Catches an off-by-one at the bounds that would refuse input a study may hold, or let one
// more character through than the messages say.
TEST(WordReader, WordsAndRunsOfBlanksUpToTheirBoundsAreRead) {
  const std::size_t word = WordReader::kLongestWord;
  const std::size_t blanks = WordReader::kLongestBlanks;
  EXPECT_EQ(first_of(std::string(word, '1')), WordReader::Next::kWord);
  EXPECT_EQ(first_of(std::string(word + 1, '1')), WordReader::Next::kWordTooLong);
  EXPECT_EQ(first_of(std::string(blanks, '\n') + "1"), WordReader::Next::kWord);
  EXPECT_EQ(first_of(std::string(blanks + 1, '\n') + "1"), WordReader::Next::kTooManyBlanks);
}

// Catches a number typed at a prompt read with a decimal part (which only responses may have), a
// bound of 32 bits off by one, or a long run of digits wrapped around instead of refused.
TEST(WordReader, WholeNumbersAsThePromptsTakeThem) {
  const struct {
    std::string word;
    WholeNumber kind;
    int value;
  } cases[] = {
      {"12", WholeNumber::kNumber, 12},
      {"+7", WholeNumber::kNumber, 7},
      {"-2147483648", WholeNumber::kNumber, -2147483647 - 1},
      {"2147483647", WholeNumber::kNumber, 2147483647},
      {"2147483648", WholeNumber::kTooLarge, 0},
      {std::string(100, '9'), WholeNumber::kTooLarge, 0},
      {"12.0", WholeNumber::kNotNumber, 0},
      {"1,0", WholeNumber::kNotNumber, 0},
      {"NA", WholeNumber::kNotNumber, 0},
      {"-", WholeNumber::kNotNumber, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.word.substr(0, 20));
    std::istringstream input(c.word);
    WordReader reader(input);
    ASSERT_EQ(reader.next(), WordReader::Next::kWord);
    int value = 0;
    EXPECT_EQ(parse_whole_number(reader, &value), c.kind);
    if (c.kind == WholeNumber::kNumber) {
      EXPECT_EQ(value, c.value);
    }
  }
}

}  // namespace
}  // namespace quorvane
