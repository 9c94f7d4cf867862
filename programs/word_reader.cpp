#include "programs/word_reader.h"

#include <cstdint>
#include <limits>

namespace quorvane {
namespace {

constexpr int kEnd = std::char_traits<char>::eof();

bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

bool WordReader::next() {
  int c = input_.sgetc();
  while (c != kEnd && is_space(c)) {
    if (c == '\n') ++line_;
    c = input_.snextc();
  }
  if (c == kEnd) return false;
  word_.clear();
  length_ = 0;
  word_line_ = line_;
  while (c != kEnd && !is_space(c)) {
    if (word_.size() < kKept) word_.push_back(static_cast<char>(c));
    ++length_;
    c = input_.snextc();
  }
  return true;
}

std::string shown_word(std::string_view word, std::size_t whole_length) {
  static constexpr std::size_t kShown = 24;
  static const char hex[] = "0123456789ABCDEF";
  std::string text = "'";
  for (std::size_t i = 0; i < word.size() && i < kShown; ++i) {
    const auto byte = static_cast<unsigned char>(word[i]);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\' && byte != '\'') {
      text.push_back(word[i]);
    } else {
      text += {'\\', 'x', hex[byte >> 4], hex[byte & 0xF]};
    }
  }
  if (whole_length > kShown) text += "...";
  return text + "'";
}

std::string WordReader::shown() const { return shown_word(word_, length_); }

WholeNumber parse_whole_number(const WordReader& reader, int* value) {
  const std::string& word = reader.word();
  std::size_t i = (word[0] == '+' || word[0] == '-') ? 1 : 0;
  if (i == word.size()) return WholeNumber::kNotNumber;
  std::int64_t magnitude = 0;
  bool too_large = !reader.whole();
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return WholeNumber::kNotNumber;
    if (!too_large) magnitude = magnitude * 10 + (word[i] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) too_large = true;
  }
  if (too_large) return WholeNumber::kTooLarge;
  const std::int64_t signed_value = word[0] == '-' ? -magnitude : magnitude;
  if (signed_value > std::numeric_limits<int>::max()) return WholeNumber::kTooLarge;
  *value = static_cast<int>(signed_value);
  return WholeNumber::kNumber;
}

}  // namespace quorvane
