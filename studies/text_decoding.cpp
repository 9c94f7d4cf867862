#include "studies/text_decoding.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <optional>

#include "studies/word_reader.h"

namespace quorvane {
namespace {

// The line of the text on which byte `at` stands, counted from 1.
long line_at(std::string_view text, std::size_t at) {
  long line = 1;
  for (std::size_t i = 0; i < at && i < text.size(); ++i) {
    if (ends_line_at(text, i)) ++line;
  }
  return line;
}

void append_utf8(std::string& text, char32_t code) {
  if (code < 0x80) {
    text.push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    text.push_back(static_cast<char>(0xC0 | (code >> 6)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    text.push_back(static_cast<char>(0xE0 | (code >> 12)));
    text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    text.push_back(static_cast<char>(0xF0 | (code >> 18)));
    text.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

bool refuse_text(long line, const std::string& what, Refusal* refusal) {
  refusal->line = line;
  refusal->fix = kHowToSaveText;
  refusal->message = (line > 0 ? "line " + std::to_string(line) + " of the file: " : "") + what +
                     "; " + kHowToSaveText;
  return false;
}

// Decodes UTF-16 text; `why` says in parentheses why the file is taken for UTF-16.
bool decode_utf16(std::string_view bytes, bool big_endian, const std::string& why,
                  std::string* text, Refusal* refusal) {
  if (bytes.size() % 2 != 0) {
    return refuse_text(0, "the file is UTF-16 " + why + " but ends in the middle of a character",
                       refusal);
  }
  text->reserve(bytes.size() / 2);
  const auto unit = [&](std::size_t i) {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return static_cast<char32_t>(big_endian ? (first << 8) | second : (second << 8) | first);
  };
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    char32_t code = unit(i);
    if (code >= 0xD800 && code <= 0xDBFF && i + 2 < bytes.size() && unit(i + 2) >= 0xDC00 &&
        unit(i + 2) <= 0xDFFF) {
      code = 0x10000 + ((code - 0xD800) << 10) + (unit(i + 2) - 0xDC00);
      i += 2;
    } else if (code >= 0xD800 && code <= 0xDFFF) {
      return refuse_text(line_at(*text, text->size()),
                         "the file is UTF-16 " + why + " but holds a broken character", refusal);
    }
    append_utf8(*text, code);
  }
  return true;
}

// Whether the bytes are UTF-16 without a byte-order mark, as text mostly of ASCII characters
// is: +1 big-endian (the NUL byte first), -1 little-endian, 0 neither. Three quarters of the
// first characters must have a NUL byte on the same side.
int utf16_order(std::string_view bytes) {
  if (bytes.size() % 2 != 0) return 0;
  const std::size_t units = std::min(bytes.size(), kFormatBytes) / 2;
  std::size_t high_first = 0;
  std::size_t high_second = 0;
  for (std::size_t i = 0; i < units; ++i) {
    high_first += bytes[2 * i] == '\0' && bytes[2 * i + 1] != '\0' ? 1u : 0u;
    high_second += bytes[2 * i + 1] == '\0' && bytes[2 * i] != '\0' ? 1u : 0u;
  }
  if (4 * high_first >= 3 * units && units > 0) return 1;
  if (4 * high_second >= 3 * units && units > 0) return -1;
  return 0;
}

// Checks the characters that start from `at` before `end` (the last may run past it); returns
// where the next one starts, or npos at one that is not UTF-8. Called once per piece rather than
// one loop over the whole text, for WebAssembly (see add_groups in simulation/set_scores.cpp).
[[gnu::noinline]] std::size_t utf8_characters(std::string_view text, std::size_t at,
                                              std::size_t end) {
  constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
  while (at < end) {
    // Eight ASCII characters at a time, as a study's text mostly is; else one character.
    std::uint64_t eight = kHighBits;
    if (at + sizeof eight <= text.size()) std::memcpy(&eight, text.data() + at, sizeof eight);
    const std::size_t length = (eight & kHighBits) == 0 ? sizeof eight : utf8_length_at(text, at);
    if (length == 0) return std::string_view::npos;
    at += length;
  }
  return at;
}

}  // namespace

bool is_utf8(std::string_view text, const ReadingPause& pause) {
  for (std::size_t at = 0; at < text.size();) {
    const std::size_t piece_end = std::min(text.size(), (at / kReadingPiece + 1) * kReadingPiece);
    at = utf8_characters(text, at, piece_end);
    if (at == std::string_view::npos) return false;
    if (pause && piece_end % kReadingPiece == 0) pause();
  }
  return true;
}

std::string from_windows_1252(std::string_view bytes) {
  static const char16_t high[32] = {0x20AC, 0x81,   0x201A, 0x192,  0x201E, 0x2026, 0x2020, 0x2021,
                                    0x2C6,  0x2030, 0x160,  0x2039, 0x152,  0x8D,   0x17D,  0x8F,
                                    0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x2DC,  0x2122, 0x161,  0x203A, 0x153,  0x9D,   0x17E,  0x178};
  std::string text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    append_utf8(text, byte >= 0x80 && byte < 0xA0 ? high[byte - 0x80] : char32_t{byte});
  }
  return text;
}

bool decode_text(std::string_view bytes, std::string* decoded, std::string_view* text,
                 StudyReading* reading, Refusal* refusal, const ReadingPause& pause) {
  using Encoding = StudyReading::Encoding;
  const auto starts_with = [&](std::string_view mark) {
    return bytes.substr(0, mark.size()) == mark;
  };
  reading->encoding = Encoding::kUtf8;
  if (starts_with("\xEF\xBB\xBF")) {
    bytes.remove_prefix(3);
    reading->encoding = Encoding::kUtf8WithMark;
  } else if (starts_with("\xFF\xFE") || starts_with("\xFE\xFF")) {
    const bool big_endian = bytes[0] == '\xFE';
    reading->encoding = big_endian ? Encoding::kUtf16BigEndian : Encoding::kUtf16LittleEndian;
    if (!decode_utf16(bytes.substr(2), big_endian, "(it starts with a byte-order mark)", decoded,
                      refusal)) {
      return false;
    }
    *text = *decoded;
    return true;
  }
  if (const std::optional<Refusal> format = refusal_of_format(bytes)) {
    *refusal = *format;
    return false;
  }
  // Looked for a piece at a time.
  std::size_t nul = std::string_view::npos;
  for (std::size_t start = 0; start < bytes.size() && nul == std::string_view::npos;
       start += kReadingPiece) {
    nul = bytes.substr(start, kReadingPiece).find('\0');
    if (nul != std::string_view::npos) nul += start;
    if (pause) pause();
  }
  if (nul != std::string_view::npos) {
    // Text in UTF-16 has a NUL byte beside every ASCII character: R's fileEncoding = "UTF-16LE"
    // writes it without a byte-order mark.
    const int order = utf16_order(bytes);
    if (order != 0) {
      reading->encoding = order > 0 ? Encoding::kUtf16BigEndian : Encoding::kUtf16LittleEndian;
      if (!decode_utf16(bytes, order > 0, "(a NUL byte stands beside most characters)", decoded,
                        refusal)) {
        return false;
      }
      *text = *decoded;
      return true;
    }
    return refuse_text(line_at(bytes, nul),
                       "the file is not plain text (it holds NUL bytes, as a binary file or UTF-16 "
                       "does)",
                       refusal);
  }
  *text = bytes;
  return true;
}

std::string inner_marks_note(std::string_view text, const ReadingPause& pause) {
  long count = 0;
  std::size_t first = 0;
  // A piece at a time; a mark is counted in the piece it starts in, though it may end in the
  // next.
  for (std::size_t start = 0; start < text.size(); start += kReadingPiece) {
    const std::string_view piece = text.substr(start, kReadingPiece + kByteOrderMark.size() - 1);
    for (std::size_t at = piece.find(kByteOrderMark); at < kReadingPiece && at < piece.size();
         at = piece.find(kByteOrderMark, at + kByteOrderMark.size())) {
      if (count++ == 0) first = start + at;
    }
    if (pause) pause();
  }
  if (count == 0) return "";
  const std::string line = std::to_string(line_at(text, first));
  if (count == 1) {
    return "line " + line +
           " of the file holds a byte-order mark (U+FEFF), an invisible character some programs "
           "write inside a file; it was skipped";
  }
  return "the file holds " + std::to_string(count) +
         " byte-order marks (U+FEFF), invisible characters some programs write inside a file, the "
         "first on line " +
         line + "; they were skipped";
}

}  // namespace quorvane
