#include "studies/word_reader.h"

#include <cstdint>
#include <limits>

#include "studies/response_field.h"

namespace quorvane {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

WordReader::Next WordReader::next() {
  if (last_ == Next::kWordTooLong || last_ == Next::kTooManyBlanks) return last_;
  int c = input_.sgetc();
  std::size_t blanks = 0;
  bool after_return = false;
  word_line_ = line_;
  while (c != kEnd && is_space(c)) {
    // A line feed right after a carriage return ends the same line.
    if (c == '\r' || (c == '\n' && !after_return)) ++line_;
    after_return = c == '\r';
    if (++blanks > kLongestBlanks) return last_ = Next::kTooManyBlanks;
    c = input_.snextc();
  }
  if (c == kEnd) return last_ = Next::kEnd;
  word_.clear();
  length_ = 0;
  word_line_ = line_;
  while (c != kEnd && !is_space(c)) {
    if (word_.size() < kKept) word_.push_back(static_cast<char>(c));
    if (++length_ > kLongestWord) return last_ = Next::kWordTooLong;
    c = input_.snextc();
  }
  return last_ = Next::kWord;
}

std::string escaped(std::string_view bytes) {
  static const char hex[] = "0123456789ABCDEF";
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '\'') {
      text.push_back(c);
    } else {
      text += {'\\', 'x', hex[byte >> 4], hex[byte & 0xF]};
    }
  }
  return text;
}

std::size_t utf8_length_at(std::string_view text, std::size_t at) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned lead = byte(at);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  char32_t code = 0;
  char32_t smallest = 0;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    code = lead & 0x1F;
    smallest = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    code = lead & 0x0F;
    smallest = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    code = lead & 0x07;
    smallest = 0x10000;
  } else {
    return 0;
  }
  if (at + length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((byte(at + i) & 0xC0) != 0x80) return 0;
    code = (code << 6) | (byte(at + i) & 0x3F);
  }
  if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return length;
}

namespace {

// Whether the character is one of C1's controls, U+0080 to U+009F (written C2 80 to C2 9F).
bool is_c1_control(std::string_view text, std::size_t at, std::size_t length) {
  return length == 2 && static_cast<unsigned char>(text[at]) == 0xC2 &&
         static_cast<unsigned char>(text[at + 1]) < 0xA0;
}

// The code point of the UTF-8 character of `length` bytes at text[at].
char32_t code_at(std::string_view text, std::size_t at, std::size_t length) {
  static constexpr unsigned char kLeadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
  char32_t code = static_cast<unsigned char>(text[at]) & kLeadBits[length];
  for (std::size_t i = 1; i < length; ++i) {
    code = (code << 6) | (static_cast<unsigned char>(text[at + i]) & 0x3F);
  }
  return code;
}

// Characters that show nothing, or look like a blank: spaces other than U+0020, joiners, marks
// of direction, byte-order marks, variation selectors and tags.
bool is_invisible(char32_t code) {
  return code == 0xA0 || code == 0xAD || code == 0x34F || code == 0x61C || code == 0x115F ||
         code == 0x1160 || code == 0x17B4 || code == 0x17B5 || code == 0x180E ||
         (code >= 0x2000 && code <= 0x200F) || (code >= 0x2028 && code <= 0x202F) ||
         (code >= 0x205F && code <= 0x206F) || code == 0x3000 || code == 0x3164 ||
         (code >= 0xFE00 && code <= 0xFE0F) || code == 0xFEFF || code == 0xFFA0 ||
         (code >= 0xFFF9 && code <= 0xFFFB) || (code >= 0xE0000 && code <= 0xE0FFF);
}

std::string code_point_name(char32_t code) {
  static const char hex[] = "0123456789ABCDEF";
  std::string digits;
  for (; code != 0 || digits.size() < 4; code >>= 4) digits.insert(digits.begin(), hex[code & 0xF]);
  return "U+" + digits;
}

}  // namespace

std::string readable(std::string_view text) {
  std::string shown;
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t length = utf8_length_at(text, at);
    const auto byte = static_cast<unsigned char>(text[at]);
    if (length == 0 || is_c1_control(text, at, length) || byte < 0x20 || byte == 0x7F) {
      const std::size_t bad = length == 0 ? 1 : length;
      shown += escaped(text.substr(at, bad));
      at += bad;
    } else if (length > 1 && is_invisible(code_at(text, at, length))) {
      shown += code_point_name(code_at(text, at, length));
      at += length;
    } else {
      shown.append(text.substr(at, length));
      at += length;
    }
  }
  return shown;
}

std::size_t character_count(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; at < text.size(); ++count) {
    const std::size_t length = utf8_length_at(text, at);
    at += length == 0 ? 1 : length;
  }
  return count;
}

std::string shown_name(std::string_view text) {
  static constexpr std::size_t kShown = 24;
  std::size_t end = 0;
  std::size_t count = 0;
  for (; end < text.size() && count < kShown; ++count) {
    const std::size_t length = utf8_length_at(text, end);
    end += length == 0 ? 1 : length;
  }
  return "'" + readable(text.substr(0, end)) + (end < text.size() ? "...'" : "'");
}

std::string shown_word(std::string_view word, std::size_t whole_length) {
  static constexpr std::size_t kShown = 24;
  return "'" + escaped(word.substr(0, kShown)) + (whole_length > kShown ? "...'" : "'");
}

std::string WordReader::shown() const { return shown_word(word_, length_); }

std::string WordReader::found() const {
  switch (last_) {
    case Next::kWord:
      return shown();
    case Next::kWordTooLong:
      return "more than " + std::to_string(kLongestWord) + " characters without a blank (" +
             shown() + ")";
    case Next::kTooManyBlanks:
      return "more than " + std::to_string(kLongestBlanks) + " blank characters in a row";
    case Next::kEnd:
      break;
  }
  return "the end of the input";
}

WholeNumber parse_whole_number(const WordReader& reader, int* value) {
  // A response's number without a decimal part: one reading of 32-bit numbers for both.
  const std::string& word = reader.word();
  // Looked for character by character: find_first_of calls the library once for each of them.
  for (const char c : word) {
    if (c == '.' || c == ',') return WholeNumber::kNotNumber;
  }
  switch (response_of(word, ' ', value)) {
    case Response::kNumber:
      return reader.whole() ? WholeNumber::kNumber : WholeNumber::kTooLarge;
    case Response::kTooLarge:
      return WholeNumber::kTooLarge;
    default:
      return WholeNumber::kNotNumber;
  }
}

}  // namespace quorvane
