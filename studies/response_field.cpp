#include "studies/response_field.h"

#include <cstdint>
#include <limits>

#include "studies/word_reader.h"

namespace quorvane {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The marks statistics packages and spreadsheets write for a missing value.
// Looked at in place, as every response of the file is.
bool is_not_available(std::string_view text) {
  constexpr std::size_t kLongestMark = 4;
  if (text.size() > kLongestMark) return false;
  char letters[kLongestMark];
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    letters[i] = c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
  }
  const std::string_view lower(letters, text.size());
  return lower == "na" || lower == "n/a" || lower == "#n/a" || lower == "nan" || lower == ".";
}

}  // namespace

Response response_of(std::string_view text, char separator, int* value) {
  if (text.empty()) return Response::kEmpty;
  // No mark of a missing value starts with a digit, a sign or a point and a digit: they are
  // looked for only in what is not a number, so that responses, nearly all numbers, skip them.
  const auto not_a_number = [text] {
    return is_not_available(text) ? Response::kNotAvailable : Response::kText;
  };
  std::size_t i = (text[0] == '+' || text[0] == '-') ? 1 : 0;
  const std::size_t digits = i;
  std::int64_t magnitude = 0;
  bool too_large = false;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    if (!too_large) magnitude = magnitude * 10 + (text[i] - '0');
    if (magnitude > std::int64_t{std::numeric_limits<int>::max()} + 1) too_large = true;
  }
  const bool whole_digits = i > digits;
  if (i < text.size()) {
    // Statistics packages write 1.00, .00, 1.0 and 0. for whole numbers (1,00 and ,00 where the
    // fields are separated by semicolons and a comma is the decimal mark); a mark needs a digit on
    // one side at least.
    const char mark = text[i];
    const bool decimal_digits = i + 1 < text.size();
    if ((mark != '.' && !(mark == ',' && separator == ';')) || !(whole_digits || decimal_digits)) {
      return not_a_number();
    }
    bool zeros = true;
    for (std::size_t j = i + 1; j < text.size(); ++j) {
      if (!is_digit(text[j])) return not_a_number();
      zeros = zeros && text[j] == '0';
    }
    if (!zeros) return mark == ',' ? Response::kDecimalComma : Response::kDecimal;
  } else if (!whole_digits) {
    return not_a_number();
  }
  const std::int64_t signed_value = text[0] == '-' ? -magnitude : magnitude;
  if (too_large || signed_value > std::numeric_limits<int>::max()) return Response::kTooLarge;
  *value = static_cast<int>(signed_value);
  return Response::kNumber;
}

NotAResponse why_not(Response kind, const std::string& text) {
  const char* const kWhole = "responses are whole numbers (1 correct, 0 missed)";
  const char* const kNeeded = "every item needs a response (0 or 1) from every participant";
  NotAResponse why;
  if (kind != Response::kEmpty) why.found = shown_name(text);
  why.fix = kWhole;
  switch (kind) {
    case Response::kEmpty:
      why.problem = "the response is empty";
      why.fix = kNeeded;
      return why;
    case Response::kNotAvailable:
      why.problem = "found " + why.found + ", no response";
      why.fix = kNeeded;
      return why;
    case Response::kDecimal:
      why.problem = "found " + why.found + ", a decimal number";
      return why;
    case Response::kDecimalComma:
      why.problem = "found " + why.found +
                    ", a decimal number (in a file whose fields are separated by semicolons a "
                    "comma is a decimal mark)";
      return why;
    case Response::kTooLarge:
      why.problem = "found " + why.found + ", a number too large for a response";
      return why;
    case Response::kNumber:
    case Response::kText:
      break;
  }
  why.problem = "found " + why.found + " where a response was expected";
  return why;
}

}  // namespace quorvane
