#include "reports/export_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <system_error>

#include "reports/double_text.h"
#include "reports/number_text.h"

namespace quorvane::export_text {

void append_shortest(std::string& out, double value) {
  if (!std::isfinite(value)) return;
#if QUORVANE_FLOAT_TO_CHARS
  char text[64];
  const std::to_chars_result written = std::to_chars(text, text + sizeof text, value);
  if (written.ec == std::errc()) out.append(text, written.ptr);
#else
  char text[kDoubleTextRoom];
  out.append(text, write_shortest_double(text, value));
#endif
}

void append_whole(std::string& out, long long value) {
  char text[32];
  out.append(text, std::to_chars(text, text + sizeof text, value).ptr);
}

void append_fixed(std::string& out, double value, int decimals) {
#if QUORVANE_FLOAT_TO_CHARS
  char text[kNumberTextRoom];
  const std::to_chars_result written =
      std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
  if (written.ec == std::errc()) out.append(text, written.ptr);
#else
  char text[kDoubleTextRoom];
  out.append(text, write_fixed_double(text, value, decimals));
#endif
}

std::string significant(double value) {
  std::string text;
  if (!std::isfinite(value)) return text;
  if (value == 0.0) return "0";
  const double size = std::fabs(value);
  if (size >= 1e-4 && size < 1e6) {
    int exponent = static_cast<int>(std::floor(std::log10(size)));
    // Three digits of 0.09996 are 0.100, not 0.1000.
    if (std::round(size / std::pow(10.0, exponent - 2)) >= 1000.0) ++exponent;
    append_fixed(text, value, std::max(0, 2 - exponent));
    return text;
  }
  int exponent = static_cast<int>(std::floor(std::log10(size)));
  append_fixed(text, value / std::pow(10.0, exponent), 1);
  if (text == "10.0" || text == "-10.0") {  // rounded up to the next power of ten
    ++exponent;
    text.clear();
    append_fixed(text, value / std::pow(10.0, exponent), 1);
  }
  text.append(exponent < 0 ? "e-" : "e+");
  const int magnitude = exponent < 0 ? -exponent : exponent;
  if (magnitude < 10) text.push_back('0');
  append_whole(text, magnitude);
  return text;
}

std::string coordinate(double value) {
  std::string text;
  append_fixed(text, std::round(value * 100.0) / 100.0, 2);
  if (text.find('.') != std::string::npos) {
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
  }
  if (text == "-0") text = "0";
  return text;
}

}  // namespace quorvane::export_text
