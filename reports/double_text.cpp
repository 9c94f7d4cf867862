#include "reports/double_text.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace quorvane {
namespace {

// Every double reads back from 17 significant digits; any normal one that reads back from 15 or
// fewer gives them back when rounded to 15 (DBL_DIG), with zeros after them.
constexpr int kDigitsAlwaysKept = 15;
constexpr int kDigitsOfAnyDouble = 17;

// The value's significant digits rounded to `digits` and its decimal exponent, from "%.*e".
struct Decimal {
  char digits[kDigitsOfAnyDouble + 1];
  int count = 0;
  int exponent = 0;
};

// The last digit of "%.*e"'s text one up, carried as far as needed ("9.99e+00" becomes
// "1.00e+01").
void next_up(char* text) {
  char* const exponent = std::strchr(text, 'e');
  for (char* digit = exponent - 1; digit >= text; --digit) {
    if (*digit == '.') continue;
    if (*digit != '9') {
      ++*digit;
      return;
    }
    *digit = '0';
  }
  text[0] = '1';
  char shifted[16];
  std::snprintf(shifted, sizeof shifted, "e%+03d", std::atoi(exponent + 1) + 1);
  std::memcpy(exponent, shifted, std::strlen(shifted) + 1);
}

bool round_to(double magnitude, int digits, Decimal* decimal) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*e", digits - 1, magnitude);
  if (std::strtod(text, nullptr) != magnitude) {
    // Just above a power of two, the nearest digits below may be out of reach while the next
    // ones up, farther, are not.
    int binary_exponent = 0;
    if (std::frexp(magnitude, &binary_exponent) != 0.5 || std::strtod(text, nullptr) > magnitude) {
      return false;
    }
    next_up(text);
    if (std::strtod(text, nullptr) != magnitude) return false;
  }
  decimal->count = 0;
  const char* c = text;
  for (; *c != 'e'; ++c) {
    if (*c != '.') decimal->digits[decimal->count++] = *c;
  }
  decimal->exponent = std::atoi(c + 1);
  while (decimal->count > 1 && decimal->digits[decimal->count - 1] == '0') --decimal->count;
  return true;
}

__extension__ typedef unsigned __int128 Wide;

// The digits of `magnitude` rounded to `digits` significant ones, worked out in whole numbers,
// and whether they read back to it; false when the value is outside the range this covers, from
// 10^-4 to 10^15 (the export's percentages, means, variances and chi-squares), where
// m x 10^k / 2^s and every quantity below stay within 128 bits.
bool round_exactly(double magnitude, int digits, int exponent_guess, Decimal* decimal,
                   bool* reads_back) {
  std::uint64_t bits;
  std::memcpy(&bits, &magnitude, sizeof bits);
  const int biased_exponent = static_cast<int>(bits >> 52);
  const std::uint64_t fraction = bits & ((std::uint64_t{1} << 52) - 1);
  const std::uint64_t mantissa = fraction | (std::uint64_t{1} << 52);
  const int shift = 1075 - biased_exponent;  // magnitude = mantissa / 2^shift
  if (magnitude < 1e-4 || magnitude >= 1e15 || shift < 0) return false;
  Wide power_of_ten[21];
  power_of_ten[0] = 1;
  for (int n = 1; n <= 20; ++n) power_of_ten[n] = power_of_ten[n - 1] * 10u;
  int exponent = exponent_guess;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int scale = digits - 1 - exponent;  // magnitude x 10^scale has `digits` digits
    if (scale < 0 || scale > 20) return false;
    const Wide scaled = Wide{mantissa} * power_of_ten[scale];
    Wide quotient = scaled >> shift;
    if (quotient >= power_of_ten[digits]) {
      ++exponent;
      continue;
    }
    if (quotient < power_of_ten[digits - 1]) {
      --exponent;
      continue;
    }
    const Wide remainder = scaled - (quotient << shift);
    const Wide one = Wide{1} << shift;
    const bool round_up =
        shift > 0 && (2 * remainder > one || (2 * remainder == one && (quotient & 1u) != 0));
    // The distance of the digits from the value, times 10^scale x 2^shift; read back, they give
    // the value when within half its spacing (a quarter below a power of two), and on the edge
    // when its mantissa is even, since reading rounds ties to even.
    const bool power_of_two = fraction == 0 && biased_exponent > 1;
    const auto within = [&](Wide distance, bool below) {
      const Wide reach = distance * (below && power_of_two ? 4u : 2u);
      return reach < power_of_ten[scale] || (reach == power_of_ten[scale] && (mantissa & 1u) == 0);
    };
    *reads_back = within(round_up ? one - remainder : remainder, !round_up);
    // Just above a power of two, the nearest digits below may be out of reach while the next
    // ones up, farther, are not.
    const bool next_up =
        !round_up && !*reads_back && power_of_two && within(one - remainder, false);
    if (next_up) *reads_back = true;
    if (round_up || next_up) ++quotient;
    if (quotient == power_of_ten[digits]) {
      quotient = power_of_ten[digits - 1];
      ++exponent;
    }
    decimal->count = digits;
    for (int place = digits - 1; place >= 0; --place) {
      decimal->digits[place] = static_cast<char>('0' + static_cast<int>(quotient % 10u));
      quotient /= 10u;
    }
    decimal->exponent = exponent;
    while (decimal->count > 1 && decimal->digits[decimal->count - 1] == '0') --decimal->count;
    return true;
  }
  return false;
}

Decimal shortest(double magnitude) {
  Decimal decimal;
  if (magnitude >= DBL_MIN) {
    const int exponent_guess = static_cast<int>(std::floor(std::log10(magnitude)));
    for (int digits = kDigitsAlwaysKept; digits <= kDigitsOfAnyDouble; ++digits) {
      bool reads_back = false;
      if (!round_exactly(magnitude, digits, exponent_guess, &decimal, &reads_back)) break;
      if (reads_back) return decimal;
    }
  }
  // A subnormal double has fewer significant bits, and the 15 digits then need not give back
  // those of a shorter text: its digits are tried from one.
  const int fewest = magnitude < DBL_MIN ? 1 : kDigitsAlwaysKept;
  for (int digits = fewest; !round_to(magnitude, digits, &decimal); ++digits) {
  }
  return decimal;
}

int length_of_exponent(int exponent) {
  const int magnitude = exponent < 0 ? -exponent : exponent;
  return 2 + (magnitude >= 100 ? 3 : 2);  // "e+05", "e-308"
}

char* copy(char* out, const char* text, int count) {
  std::memcpy(out, text, static_cast<std::size_t>(count));
  return out + count;
}

}  // namespace

char* write_shortest_double(char* out, double value) {
  if (std::signbit(value)) *out++ = '-';
  const double magnitude = std::fabs(value);
  if (magnitude == 0.0) {
    *out++ = '0';
    return out;
  }
  const Decimal d = shortest(magnitude);
  const int scientific_length = d.count + (d.count > 1 ? 1 : 0) + length_of_exponent(d.exponent);
  const int fixed_length = d.exponent >= d.count - 1 ? d.exponent + 1
                           : d.exponent >= 0         ? d.count + 1
                                                     : d.count + 1 - d.exponent;
  if (scientific_length < fixed_length) {
    *out++ = d.digits[0];
    if (d.count > 1) {
      *out++ = '.';
      out = copy(out, d.digits + 1, d.count - 1);
    }
    const int length = std::snprintf(out, 8, "e%+03d", d.exponent);
    return out + length;
  }
  if (d.exponent >= d.count - 1) {
    // A whole number: its exact digits, which may differ from the shortest ones beyond 2^53.
    if (magnitude < 9007199254740992.0) {
      return std::to_chars(out, out + kDoubleTextRoom, static_cast<std::uint64_t>(magnitude)).ptr;
    }
    const int length = std::snprintf(out, kDoubleTextRoom, "%.0f", magnitude);
    return out + length;
  }
  if (d.exponent >= 0) {
    out = copy(out, d.digits, d.exponent + 1);
    *out++ = '.';
    return copy(out, d.digits + d.exponent + 1, d.count - d.exponent - 1);
  }
  *out++ = '0';
  *out++ = '.';
  for (int zero = 1; zero < -d.exponent; ++zero) *out++ = '0';
  return copy(out, d.digits, d.count);
}

char* write_fixed_double(char* out, double value, int decimals) {
  const int length = std::snprintf(out, kDoubleTextRoom, "%.*f", decimals, value);
  return out + length;
}

}  // namespace quorvane
