#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "studies/study.h"

namespace quorvane {

// A data file's bytes as text: what the reader knows of its encoding before it splits it.

// Tells how to save a study as text, for a refusal of a file that is not.
inline constexpr const char* kHowToSaveText =
    "save the study as text: in Excel, File > Save As > CSV (Comma delimited) or Text (Tab "
    "delimited); in Notepad, Save As with the encoding UTF-8";

// Whether the byte is a line end: a line feed, or a carriage return (alone, or before a line feed
// with which it makes one line end).
inline bool is_line_end(char c) { return c == '\n' || c == '\r'; }

// Whether text[at] starts a new line: a line feed that follows no carriage return, or a
// carriage return.
inline bool ends_line_at(std::string_view text, std::size_t at) {
  return text[at] == '\r' || (text[at] == '\n' && (at == 0 || text[at - 1] != '\r'));
}

// The byte-order mark U+FEFF in UTF-8: a file may start with it; some programs write it inside.
inline constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Whether a byte-order mark starts at text[at].
inline bool mark_at(std::string_view text, std::size_t at) {
  return text[at] == '\xEF' && text.compare(at, 3, kByteOrderMark) == 0;
}

// The note on byte-order marks inside the text (the reader skips them), or "" when it holds none;
// calls `pause` (when given) after each kReadingPiece bytes.
std::string inner_marks_note(std::string_view text, const ReadingPause& pause = {});

// Whether the text is UTF-8 throughout; calls `pause` (when given) after each kReadingPiece bytes.
bool is_utf8(std::string_view text, const ReadingPause& pause = {});

// The text, read as Windows-1252 (Excel's "CSV (Comma delimited)" on a Western Windows), in
// UTF-8.
std::string from_windows_1252(std::string_view bytes);

// The file's text in UTF-8 as it was saved (bytes that are not UTF-8 stay as they are): without
// a UTF-8 byte-order mark, and decoded from UTF-16 into *decoded when it starts with that
// byte-order mark or has a NUL byte beside most characters; else a part of `bytes`. Sets
// reading->encoding, except to Windows-1252, which the caller tells from the text. False with
// *refusal when the bytes are not text (a workbook or another program's data file among them:
// refusal_of_format). Calls `pause` (when given) after each kReadingPiece bytes it looks through.
bool decode_text(std::string_view bytes, std::string* decoded, std::string_view* text,
                 StudyReading* reading, Refusal* refusal, const ReadingPause& pause = {});

}  // namespace quorvane
