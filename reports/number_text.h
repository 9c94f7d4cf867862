#pragma once

#include <cstddef>

namespace quorvane {

// Room for any number the functions below write: a sign, the 309 digits before the point of the
// largest double, the point and four decimals.
inline constexpr std::size_t kNumberTextRoom = 320;

// Writes the value at `out` exactly as the C library's "%.4f" writes it in the C locale: fixed
// point with four decimals, the exact binary value rounded to nearest with ties to even, a minus
// sign for every negative value including -0.0; the values that are not finite are "inf", "-inf"
// and, for every NaN whatever its sign, "-nan" (as glibc writes the NaN of 0 / 0 on x86-64).
// Needs kNumberTextRoom characters at `out`; returns the end of the text.
char* write_four_decimals(char* out, double value);

// Writes the value as "%d" writes it; needs kNumberTextRoom characters at `out`.
char* write_whole_number(char* out, int value);

}  // namespace quorvane
