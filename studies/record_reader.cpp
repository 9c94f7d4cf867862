#include "studies/record_reader.h"

#include "studies/text_decoding.h"

namespace quorvane {

bool RecordReader::next(Record* record, Refusal* refusal) {
  while (at_ < text_.size()) {
    record->line = line_;
    record->count = 0;
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
    for (std::size_t i = 0; i < record->count; ++i) {
      if (!record->fields[i].text.empty() || record->fields[i].quoted) return true;
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
    if (record->count == record->fields.size()) record->fields.emplace_back();
    Field& field = record->fields[record->count++];
    field.text.clear();
    field.quoted = at_ < text_.size() && text_[at_] == '"';
    if (field.quoted && !read_quoted(&field.text)) return;
    while (!ends_field()) {
      if (mark_at(text_, at_)) {
        at_ += kByteOrderMark.size();
      } else {
        field.text.push_back(text_[at_++]);
      }
    }
    while (!field.text.empty() && is_blank(field.text.back())) field.text.pop_back();
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
