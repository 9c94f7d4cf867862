#pragma once

#include <cstddef>

namespace quorvane {

// The text std::to_chars gives a finite double, written with the C library's printf and strtod
// for the standard libraries that lack the floating-point std::to_chars.

// Room for any text below: a sign, the 309 digits of the largest double, a point, the decimals.
inline constexpr std::size_t kDoubleTextRoom = 400;

// As std::to_chars(out, end, value): the fewest significant digits that read back to the value,
// in fixed or scientific form, whichever is shorter (fixed on a tie); among fixed forms of a whole
// number, its exact digits. For finite values only; returns the end of the text.
char* write_shortest_double(char* out, double value);

// As std::to_chars(out, end, value, std::chars_format::fixed, decimals), for finite values and
// decimals from 0 to 17; returns the end of the text.
char* write_fixed_double(char* out, double value, int decimals);

}  // namespace quorvane
