#include "studies/record_reader.h"

#include <cstdint>

#include "studies/text_decoding.h"

namespace quorvane {

bool RecordReader::next(Record* record, Refusal* refusal) {
  while (at_ < text_.size()) {
    record->line = line_;
    record->count = 0;
    record->source_ = text_.data();
    record->texts_.clear();
    record->slots_.clear();
    read_record(record);
    if (at_ >= next_pause_ && pause_ != nullptr && *pause_) {
      (*pause_)();
      next_pause_ = (at_ / kReadingPiece + 1) * kReadingPiece;
    }
    if (at_ > text_.size()) {
      refusal->line = record->line;
      refusal->fix = "close it, or write the field without quotes";
      refusal->message = "line " + std::to_string(record->line) +
                         " of the file: a quote opens a field that is never closed; " +
                         refusal->fix;
      return false;
    }
    // A field's text, or its quotes, make a record that is not blank.
    for (const Record::Slot& slot : record->slots_) {
      if (slot.size != 0 || slot.quoted != 0) return true;
    }
  }
  return false;
}

void RecordReader::skip_blanks() {
  while (at_ < text_.size() && (is_blank(text_[at_]) || mark_at(text_, at_))) {
    at_ += is_blank(text_[at_]) ? 1 : kByteOrderMark.size();
  }
}

void RecordReader::end_line() {
  if (text_[at_] == '\r' && at_ + 1 < text_.size() && text_[at_ + 1] == '\n') ++at_;
  ++at_;
  ++line_;
}

void RecordReader::read_record(Record* record) {
  for (;;) {
    skip_blanks();
    if (separator_ == ' ' && (at_ == text_.size() || at_line_end())) break;
    std::string& text = record->texts_;
    const std::size_t from = at_;
    const std::size_t start = text.size();
    const bool quoted = at_ < text_.size() && text_[at_] == '"';
    // A field is copied into the record's own texts once its text differs from the file's.
    bool own = quoted;
    const bool closed = !quoted || read_quoted(&text);
    if (closed) {
      while (!ends_field()) {
        if (mark_at(text_, at_)) {
          if (!own) text.append(text_.data() + from, at_ - from);
          own = true;
          at_ += kByteOrderMark.size();
          continue;
        }
        // The characters up to the field's end or the next that may start a mark, at once.
        const std::size_t piece = at_;
        do {
          ++at_;
        } while (!ends_field() && text_[at_] != kByteOrderMark[0]);
        if (own) text.append(text_.data() + piece, at_ - piece);
      }
    }
    // The field's text, less the blanks that end it once it is closed.
    const char* const base = own ? text.data() : text_.data();
    const std::size_t first = own ? start : from;
    std::size_t size = (own ? text.size() : at_) - first;
    while (closed && size > 0 && is_blank(base[first + size - 1])) --size;
    if (own) text.resize(start + size);
    record->slots_.push_back({static_cast<std::uint32_t>(first), static_cast<std::uint32_t>(size),
                              static_cast<std::uint8_t>(quoted ? 1 : 0),
                              static_cast<std::uint8_t>(own ? 1 : 0)});
    ++record->count;
    if (!closed) return;
    if (at_ == text_.size()) return;
    if (at_line_end()) break;
    ++at_;  // the separator
  }
  if (at_ < text_.size()) end_line();
}

// Reads a quoted field's text past its closing quote; false (and at_ past the end) when the text
// ends first.
bool RecordReader::read_quoted(std::string* text) {
  for (++at_; at_ < text_.size(); ++at_) {
    const char c = text_[at_];
    // R's write.table, whose fields are separated by blanks, writes a quote inside as \".
    if (c == '\\' && separator_ == ' ' && at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
      text->push_back('"');
      ++at_;
      continue;
    }
    if (c == '"') {
      if (at_ + 1 < text_.size() && text_[at_ + 1] == '"') {
        text->push_back('"');
        ++at_;
        continue;
      }
      ++at_;
      return true;
    }
    if (ends_line_at(text_, at_)) ++line_;
    if (mark_at(text_, at_)) {
      at_ += kByteOrderMark.size() - 1;
      continue;
    }
    text->push_back(c);
  }
  at_ = text_.size() + 1;
  return false;
}

char separator_of(std::string_view text) {
  bool quoted = false;
  bool seen = false;
  char found = ' ';
  for (const char c : text) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (is_line_end(c)) {
      if (seen) break;
      continue;
    }
    if (c != ' ' && c != '\t') seen = true;
    if (c == ';') return ';';
    if (c == ',') found = ',';
    if (c == '\t' && found == ' ') found = '\t';
  }
  return found;
}

}  // namespace quorvane
