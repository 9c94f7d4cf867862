#include "reports/number_text.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <system_error>

namespace quorvane {
namespace {

// Values below 2^40 are written from whole numbers, exactly: a double is m / 2^s with m below
// 2^53, so its value times 10^4 = 625 x 2^4 is m x 625 / 2^(s - 4), whose numerator is below
// 2^63 and whose quotient and remainder settle the rounding, all in 64 bits.
constexpr int kExactBelowPowerOfTwo = 40;

// |value| x 10^4 rounded to nearest, ties to even, for a finite |value| below 2^40.
std::uint64_t ten_thousandths(std::uint64_t bits) {
  const int biased_exponent = static_cast<int>((bits >> 52) & 0x7FF);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t mantissa =
      biased_exponent == 0 ? fraction : fraction | (std::uint64_t{1} << 52);
  // |value| = mantissa / 2^shift, with shift at least 1075 - 1023 - 40 = 12.
  const int shift = (biased_exponent == 0 ? 1074 : 1075 - biased_exponent) - 4;
  const std::uint64_t scaled = mantissa * 625u;  // below 2^63
  if (shift >= 64) return 0;                     // below half of one ten-thousandth
  const std::uint64_t quotient = scaled >> shift;
  const std::uint64_t remainder = scaled & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  // Without branches: whether a value rounds up is as good as random from one value to the next.
  return quotient +
         ((remainder > half ? 1u : 0u) | ((remainder == half ? 1u : 0u) & quotient & 1u));
}

// The eight decimal digits of a number below 10^8, the first in the lowest byte, each 0 to 9:
// split into two halves of four digits, each half into two of two, each of those into two digits,
// all halves side by side in one word (the quotients are exact below 10^4 and below 100).
std::uint64_t eight_digits(std::uint32_t number) {
  std::uint64_t v = number / 10000u | std::uint64_t{number % 10000u} << 32;
  const std::uint64_t hundreds = ((v * 10486u) >> 20) & 0x0000007F0000007Fu;
  v = hundreds | (v - hundreds * 100u) << 16;
  const std::uint64_t tens = ((v * 103u) >> 10) & 0x000F000F000F000Fu;
  return tens | (v - tens * 10u) << 8;
}

// Four characters, the lowest byte first (one store where the compiler sees it).
void put_four(char* out, std::uint32_t characters) {
  out[0] = static_cast<char>(characters);
  out[1] = static_cast<char>(characters >> 8);
  out[2] = static_cast<char>(characters >> 16);
  out[3] = static_cast<char>(characters >> 24);
}

// |value| x 10^4 rounded, below 10^8 (four digits before the point), written without a branch on
// its length: its eight digits at once, less the leading zeros before the point but its last.
char* write_below_ten_thousand(char* out, std::uint64_t scaled) {
  const std::uint64_t digits = eight_digits(static_cast<std::uint32_t>(scaled));
  const int zeros = digits == 0 ? 3 : __builtin_ctzll(digits) / 8;
  const int skipped = zeros < 3 ? zeros : 3;
  const std::uint64_t characters = digits + 0x3030303030303030u;
  // The whole part's digits, and after them what the point and the decimals then overwrite.
  put_four(out, static_cast<std::uint32_t>(characters >> (8 * skipped)));
  out += 4 - skipped;
  *out = '.';
  put_four(out + 1, static_cast<std::uint32_t>(characters >> 32));
  return out + 5;
}

// The values that are not finite, written from their class and sign alone, since the libraries
// differ: glibc writes "nan" or "-nan" after the sign bit, MinGW "nan", libc++ "-nan(ind)". The
// chi-square of a run without variance is 0 / 0, whose NaN x86-64 makes negative and glibc's
// printf writes "-nan": every NaN is written so, on every system and processor.
char* write_not_finite(char* out, std::uint64_t bits) {
  const bool is_nan = (bits & ((std::uint64_t{1} << 52) - 1)) != 0;
  const char* const text = is_nan ? "-nan" : (bits >> 63) != 0 ? "-inf" : "inf";
  const std::size_t length = std::strlen(text);
  std::memcpy(out, text, length);
  return out + length;
}

}  // namespace

char* write_four_decimals(char* out, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  const std::uint64_t magnitude_bits = bits & ~(std::uint64_t{1} << 63);
  constexpr std::uint64_t kAllOnesExponent = std::uint64_t{0x7FF} << 52;
  if (magnitude_bits >= kAllOnesExponent) return write_not_finite(out, bits);
  if (magnitude_bits < static_cast<std::uint64_t>(1023 + kExactBelowPowerOfTwo) << 52) {
    const std::uint64_t scaled = ten_thousandths(bits);
    if ((bits >> 63) != 0) *out++ = '-';
    if (scaled < 100000000u) return write_below_ten_thousand(out, scaled);
    out = std::to_chars(out, out + kNumberTextRoom, scaled / 10000u).ptr;
    *out++ = '.';
    std::uint64_t decimals = scaled % 10000u;
    for (int place = 3; place >= 0; --place) {
      out[place] = static_cast<char>('0' + decimals % 10u);
      decimals /= 10u;
    }
    return out + 4;
  }
#if QUORVANE_FLOAT_TO_CHARS
  const std::to_chars_result written =
      std::to_chars(out, out + kNumberTextRoom, value, std::chars_format::fixed, 4);
  if (written.ec == std::errc()) return written.ptr;
#endif
  // Not reached, since the room holds the widest double; should to_chars ever refuse, the C
  // library writes the number instead.
  const int length = std::snprintf(out, kNumberTextRoom, "%.4f", value);
  if (length < 0) return out;
  return out + (static_cast<std::size_t>(length) < kNumberTextRoom
                    ? static_cast<std::size_t>(length)
                    : kNumberTextRoom - 1);
}

char* write_whole_number(char* out, int value) {
  return std::to_chars(out, out + kNumberTextRoom, value).ptr;
}

}  // namespace quorvane
