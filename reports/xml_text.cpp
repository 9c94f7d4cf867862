#include "reports/xml_text.h"

namespace quorvane {
namespace {

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

void append_escaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&apos;");
        break;
      default:
        out.push_back(c);
    }
  }
}

}  // namespace

std::vector<std::string_view> xml_characters(std::string_view text) {
  std::vector<std::string_view> characters;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    }
    bool valid = length > 0 && i + length <= text.size();
    for (std::size_t j = 1; valid && j < length; ++j) {
      const auto byte = static_cast<unsigned char>(text[i + j]);
      valid = j == 1 ? byte >= low && byte <= high : byte >= 0x80 && byte <= 0xBF;
    }
    const std::string_view character = valid ? text.substr(i, length) : std::string_view{};
    const bool allowed = valid && (length > 1 || lead >= 0x20 || lead == '\t') &&
                         character != "\xEF\xBF\xBE" && character != "\xEF\xBF\xBF";
    characters.push_back(allowed ? character : kReplacementCharacter);
    i += valid ? length : 1;
  }
  return characters;
}

std::string xml_text(std::string_view text) {
  std::string out;
  for (const std::string_view character : xml_characters(text)) append_escaped(out, character);
  return out;
}

}  // namespace quorvane
