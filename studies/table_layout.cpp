#include "studies/table_layout.h"

#include <string>
#include <string_view>

#include "studies/response_field.h"

namespace quorvane {
namespace {

Response kind_of(const Field& field, char separator) {
  int value = 0;
  return response_of(field.text, separator, &value);
}

bool starts_with_label(const Record& record, char separator) {
  if (record.count < 2) return false;
  if (kind_of(record.fields[0], separator) == Response::kText) return true;
  // R writes row names in quotes and numbers without.
  if (!record.fields[0].quoted) return false;
  for (std::size_t i = 1; i < record.count; ++i) {
    if (!record.fields[i].quoted) return true;
  }
  return false;
}

// Whether a column's name is one given to participants' numbers: "", "ID", "Subject", "VP",
// "participant_id", ...
bool names_participants(std::string_view name) {
  std::string lower;
  for (const char c : name) {
    if (c != ' ' && c != '_' && c != '.' && c != '-') {
      lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    }
  }
  for (const char* word : {"", "#", "id", "no", "nr", "number", "case", "code", "label", "name",
                           "person", "row", "vp", "subj", "pid", "sid"}) {
    if (lower == word) return true;
  }
  for (const char* start : {"participant", "subject", "respondent", "proband", "student"}) {
    if (lower.rfind(start, 0) == 0) return true;
  }
  return false;
}

}  // namespace

Layout layout_of(const Record* first, const Record* second, char separator) {
  Layout layout;
  if (first == nullptr) return layout;
  layout.labels = starts_with_label(second != nullptr ? *second : *first, separator);
  const auto holds = [&](const Record& record, bool text) {
    for (std::size_t i = layout.labels ? 1 : 0; i < record.count; ++i) {
      const Response kind = kind_of(record.fields[i], separator);
      if ((kind == Response::kText) == text && kind != Response::kEmpty) return true;
    }
    return false;
  };
  layout.header = second != nullptr && holds(*first, true) && holds(*second, false);
  // A file of one line of names alone holds column names and no responses.
  if (second == nullptr && !holds(*first, false)) {
    layout.labels = false;
    layout.header = true;
  }
  // R's write.csv names the column of row names "", others name a column of participant
  // numbers so.
  if (layout.header && !layout.labels && first->count > 1 &&
      names_participants(first->fields[0].text) && second != nullptr &&
      second->count == first->count) {
    layout.labels = true;
  }
  bool quotes = false;
  for (const Record* record : {first, second}) {
    for (std::size_t i = 0; record != nullptr && i < record->count; ++i) {
      quotes = quotes || record->fields[i].quoted;
    }
  }
  layout.table = separator == ',' || separator == ';' || layout.header || layout.labels || quotes;
  return layout;
}

}  // namespace quorvane
