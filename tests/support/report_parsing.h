#pragma once

#include <string>
#include <vector>

namespace quorvane::testing {

// The text between line feeds, without the first piece when the text starts with one.
std::vector<std::string> lines_of(const std::string& text);

// How many times `piece` stands in the text, counted without overlaps.
std::size_t count_of(const std::string& text, const std::string& piece);

// The lines that start with `prefix`.
std::vector<std::string> lines_starting(const std::string& text, const std::string& prefix);

// The number written after `label` in a line, as written.
double number_after(const std::string& line, const std::string& label);

// The value as the C library's "%.4f" writes it.
std::string printf_four_decimals(double value);

// The rows of a CSV text read as RFC 4180 has them: fields split at commas, quoted fields with
// doubled quotes, every row ended by CR LF (a bare LF or a last row without its end fails the
// test that reads it).
using Rows = std::vector<std::vector<std::string>>;
Rows csv_rows(const std::string& text);

// A CSV field read as one number in the C locale; a field that is not one number fails the test.
double read_double(const std::string& field);

// The participant numbers of a listing line: the numbers before the colon.
std::vector<int> members_of(const std::string& listing_line);

}  // namespace quorvane::testing
