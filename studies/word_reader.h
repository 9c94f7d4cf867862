#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace quorvane {

// Reads white-space-separated words from a stream, as the C library's formatted input splits
// them, leaving the white space after each word unread. Only a word's first characters are
// kept: enough for any file name or number the programs accept, and to show a bad one.
//
// Input that no study can hold is refused where it stands, so that an endless source (a device,
// a pipe that never closes) cannot keep a program reading for ever: a word longer than
// kLongestWord characters, or more than kLongestBlanks white-space characters in a row. A
// refusal is final: every later next() returns it again.
class WordReader {
 public:
  static constexpr std::size_t kKept = 80;
  static constexpr std::size_t kLongestWord = 4096;
  static constexpr std::size_t kLongestBlanks = std::size_t{1} << 20;

  enum class Next { kWord, kEnd, kWordTooLong, kTooManyBlanks };

  explicit WordReader(std::istream& input) : input_(*input.rdbuf()) {}

  // Moves to the next word.
  Next next();

  const std::string& word() const { return word_; }
  // The word's whole length (kLongestWord + 1 for a refused one), and whether it fitted in the
  // kept characters.
  std::size_t length() const { return length_; }
  bool whole() const { return length_ == word_.size(); }
  // The line of the input on which the word, or the refused run of blanks, starts, counted from
  // 1. A line ends at a line feed, a carriage return, or the two together.
  long line() const { return word_line_; }
  // The word quoted for a message: unprintable bytes escaped, a long word cut short.
  std::string shown() const;
  // What the last next() found, to follow "found " in a message: the word shown, the end of the
  // input or what was refused.
  std::string found() const;

 private:
  std::streambuf& input_;
  Next last_ = Next::kEnd;
  std::string word_;
  std::size_t length_ = 0;
  long line_ = 1;
  long word_line_ = 1;
};

// The bytes as messages show names and words: printable ASCII as it is, every other byte, the
// quote and the backslash as \xHH.
std::string escaped(std::string_view bytes);

// A word quoted for a message: escaped, and "..." after the first 24 characters when its whole
// length is longer.
std::string shown_word(std::string_view word, std::size_t whole_length);

// The length of the UTF-8 character that starts at text[at], 1 to 4, or 0 when the bytes there
// are not one (a stray continuation byte, an overlong form, a surrogate, a cut sequence).
std::size_t utf8_length_at(std::string_view text, std::size_t at);

// The text as messages show a name or a label: letters of every script, the quote and the
// backslash as themselves; control characters and bytes that are not UTF-8 as \xHH.
std::string readable(std::string_view text);

// How many characters the text holds: UTF-8 characters, and each byte that is not UTF-8.
std::size_t character_count(std::string_view text);

// A name quoted for a message: readable, and "..." after its first 24 characters.
std::string shown_name(std::string_view text);

enum class WholeNumber { kNumber, kNotNumber, kTooLarge };

// Reads the current word as a signed decimal whole number that fits in 32 bits, written as
// formatted input takes it (an optional sign, then digits), with nothing after the digits.
WholeNumber parse_whole_number(const WordReader& reader, int* value);

}  // namespace quorvane
