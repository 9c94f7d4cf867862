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

}  // namespace
}  // namespace quorvane
