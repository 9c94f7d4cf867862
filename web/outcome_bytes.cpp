#include "web/outcome_bytes.h"

#include <cstdint>

namespace quorvane {
namespace {

void append_text(std::string& out, const std::string& text) {
  auto length = static_cast<std::uint32_t>(text.size());
  for (int byte = 0; byte < 4; ++byte) {
    out.push_back(static_cast<char>(length & 0xFFu));
    length >>= 8;
  }
  out += text;
}

void append_record(std::string& out, char kind, const std::string& name, const std::string& text) {
  out.push_back(kind);
  append_text(out, name);
  append_text(out, text);
}

}  // namespace

std::string outcome_bytes(const BrowserOutcome& outcome) {
  std::string out;
  if (outcome.refused) append_record(out, 'E', "", outcome.error);
  for (const std::string& note : outcome.notes) append_record(out, 'N', "", note);
  for (const NamedText& report : outcome.reports)
    append_record(out, 'R', report.file_name, report.text);
  for (const NamedText& file : outcome.exports) append_record(out, 'X', file.file_name, file.text);
  return out;
}

}  // namespace quorvane
