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

// Catches a reader that takes bytes for UTF-8 that are not: overlong forms, surrogates, code
// points beyond U+10FFFF or a character cut short by the end of the text (read past it). These
// decide whether a data file is UTF-8 or Windows-1252, where "\xED\xA0\x80" is "\u00ED" NBSP
// "\u20AC".
TEST(WordReader, Utf8CharactersAreOnlyTheStandardsForms) {
  const struct {
    std::string bytes;
    std::size_t viewed;  // the text is the first `viewed` bytes; the rest lie just beyond it
    std::size_t length;
  } cases[] = {
      {"a", 1, 1},
      {"\xC3\xA9", 2, 2},
      {"\xE2\x82\xAC", 3, 3},
      {"\xF0\x9F\x98\x80", 4, 4},
      {"\xF4\x8F\xBF\xBF", 4, 4},  // U+10FFFF
      {"\xC3\xA9", 1, 0},
      {"\xE2\x82\xAC", 2, 0},
      {"\xF0\x9F\x98\x80", 3, 0},
      {"\xC0\x80", 2, 0},
      {"\xC1\xBF", 2, 0},
      {"\xE0\x80\x80", 3, 0},
      {"\xE0\x9F\xBF", 3, 0},
      {"\xF0\x8F\xBF\xBF", 4, 0},
      {"\xED\xA0\x80", 3, 0},
      {"\xED\xBF\xBF", 3, 0},
      {"\xF4\x90\x80\x80", 4, 0},
      {"\xF5\x80\x80\x80", 4, 0},
      {"\xC3\x28", 2, 0},
      {"\x80", 1, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(escaped(c.bytes) + " of which " + std::to_string(c.viewed));
    EXPECT_EQ(utf8_length_at(std::string_view(c.bytes).substr(0, c.viewed), 0), c.length);
  }
}

// Catches a message that shows a name's invisible or control characters as they are, so that
// the user cannot see what is wrong with it.
TEST(WordReader, NamesShowWhatCannotBeSeen) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"caf\xC3\xA9", "caf\xC3\xA9"},
      {"a\xC2\xA0"
       "b",
       "aU+00A0b"},
      {"a\xE2\x80\x8B", "aU+200B"},
      {"\xEF\xBB\xBFx", "U+FEFFx"},
      {"\xC2\x85", "\\xC2\\x85"},
      {"a\tb\x7F", "a\\x09b\\x7F"},
      {"\xE9t\xE9", "\\xE9t\\xE9"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(readable(c.text), c.shown) << escaped(c.text);
  }
}

}  // namespace
}  // namespace quorvane
