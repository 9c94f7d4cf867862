#pragma once

#include <string>
#include <vector>

namespace quorvane::export_text {

// Numbers as the export writes them, without the locale and without printf.

// The shortest text that reads back to the same double; nothing for a value that is not finite.
void append_shortest(std::string& out, double value);
void append_whole(std::string& out, long long value);
// A value with a fixed number of decimals, e.g. a tick label.
void append_fixed(std::string& out, double value, int decimals);
// A value with its first significant digits, for reading rather than for reading back: three of
// them from 0.0001 to below a million ("0.0123", "1.23", "4567"), otherwise two in scientific
// form ("3.5e-06"); 0 as "0". Nothing for a value that is not finite.
std::string significant(double value);
// A coordinate of the picture: at most two decimals, without trailing zeros.
std::string coordinate(double value);

// The value at v, or nothing when the list is too short for it.
inline const double* value_at(const std::vector<double>& values, int v) {
  if (v < 0 || static_cast<std::size_t>(v) >= values.size()) return nullptr;
  return &values[static_cast<std::size_t>(v)];
}

}  // namespace quorvane::export_text
