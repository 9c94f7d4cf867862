#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace quorvane {

// Reads white-space-separated words from a stream, as the C library's formatted input splits
// them, leaving the white space after each word unread. Only a word's first characters are
// kept: enough for any file name or number the programs accept, and to show a bad one.
class WordReader {
 public:
  static constexpr std::size_t kKept = 80;

  explicit WordReader(std::istream& input) : input_(*input.rdbuf()) {}

  // Moves to the next word; false at the end of the input.
  bool next();

  const std::string& word() const { return word_; }
  // The word's whole length, and whether it fitted in the kept characters.
  std::size_t length() const { return length_; }
  bool whole() const { return length_ == word_.size(); }
  // The line of the input on which the word starts, counted from 1.
  long line() const { return word_line_; }
  // The word quoted for a message: unprintable bytes escaped, a long word cut short.
  std::string shown() const;

 private:
  std::streambuf& input_;
  std::string word_;
  std::size_t length_ = 0;
  long line_ = 1;
  long word_line_ = 1;
};

// A word quoted for a message: unprintable bytes, quotes and backslashes escaped as \xHH, and
// "..." after the first 24 characters when its whole length is longer.
std::string shown_word(std::string_view word, std::size_t whole_length);

enum class WholeNumber { kNumber, kNotNumber, kTooLarge };

// Reads the current word as a signed decimal whole number that fits in 32 bits, written as
// formatted input takes it (an optional sign, then digits), with nothing after the digits.
WholeNumber parse_whole_number(const WordReader& reader, int* value);

}  // namespace quorvane
