#pragma once

#include <string>
#include <string_view>

namespace quorvane {

// What a field of a table holds where a response is expected.
enum class Response { kNumber, kTooLarge, kDecimal, kDecimalComma, kEmpty, kNotAvailable, kText };

// Reads a response: a whole number that fits in 32 bits, with an optional sign and an optional
// decimal part of zeros (1.00) into *value. In a file whose fields are separated by semicolons a
// comma is a decimal mark, so "1,0" is a decimal number there.
Response response_of(std::string_view text, char separator, int* value);

// What is wrong with a field that is not a response, and what responses are.
struct NotAResponse {
  std::string found;    // the field as messages show it; empty for an empty field
  std::string problem;  // "found '1.5', a decimal number"
  std::string fix;      // "responses are whole numbers (1 correct, 0 missed)"
};
NotAResponse why_not(Response kind, const std::string& text);

}  // namespace quorvane
