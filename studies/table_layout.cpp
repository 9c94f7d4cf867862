#include "studies/table_layout.h"

#include <algorithm>
#include <set>
#include <string>
#include <string_view>

#include "studies/response_field.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

Response kind_of(const Field& field, char separator, int* value = nullptr) {
  int read = 0;
  const Response kind = response_of(field.text, separator, &read);
  if (value != nullptr) *value = read;
  return kind;
}

bool is_text(const Field& field, char separator) {
  return kind_of(field, separator) == Response::kText;
}

// Whether a column's name is one given to participants' numbers or names, in the languages
// researchers name them in: "", "ID", "Subject", "VPN", "Teilnehmer", "participant_id", ...
bool names_participants(std::string_view name) {
  std::string lower;
  for (const char c : name) {
    if (c != ' ' && c != '_' && c != '.' && c != '-') {
      lower.push_back(c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c);
    }
  }
  for (const char* word :
       {"",         "#",       "id",     "no",     "nr",     "number", "case", "code",  "label",
        "name",     "person",  "row",    "vp",     "vpn",    "subj",   "pid",  "sid",   "nummer",
        "fall",     "numéro",  "numero", "num",    "código", "codigo", "caso", "sujet", "cas",
        "soggetto", "persoon", "nom",    "nombre", "nome",   "naam"}) {
    if (lower == word) return true;
  }
  for (const char* start :
       {"participant", "subject", "respondent", "proband", "student", "teilnehmer",
        "versuchsperson", "person", "probanden", "schüler", "partecipante", "participante",
        "sujeto", "deelnemer", "élève", "eleve"}) {
    if (lower.rfind(start, 0) == 0) return true;
  }
  return false;
}

// Whether `value` is `first` counted on by `steps`; a field may hold any int, so the sum is
// taken in a wider type.
bool follows(int first, int value, std::size_t steps) {
  return static_cast<long long>(value) - first == static_cast<long long>(steps);
}

// What the data records hold in one column, and in the columns of responses after it.
struct ColumnFacts {
  std::size_t rows = 0;
  std::size_t text = 0;       // text, not a response
  std::size_t other = 0;      // whole numbers other than 0 and 1
  bool counts = true;         // 1, 2, 3, ... or 0, 1, 2, ... down the rows
  std::size_t responses = 0;  // fields after the column
  std::size_t zero_one = 0;   // of which 0 or 1
};

ColumnFacts facts_of(const std::vector<Record>& records, std::size_t from, std::size_t column,
                     char separator) {
  ColumnFacts facts;
  int first = -1;
  for (std::size_t r = from; r < records.size(); ++r) {
    const Record& record = records[r];
    if (record.count <= column) continue;
    ++facts.rows;
    int value = 0;
    const Response kind = kind_of(record.field(column), separator, &value);
    if (kind == Response::kText) ++facts.text;
    if (kind == Response::kNumber && value != 0 && value != 1) ++facts.other;
    if (kind != Response::kNumber) {
      facts.counts = false;
    } else if (facts.rows == 1) {
      first = value;
      facts.counts = value == 0 || value == 1;
    } else {
      facts.counts = facts.counts && follows(first, value, facts.rows - 1);
    }
    for (std::size_t i = column + 1; i < record.count; ++i) {
      ++facts.responses;
      if (kind_of(record.field(i), separator, &value) == Response::kNumber &&
          (value == 0 || value == 1)) {
        ++facts.zero_one;
      }
    }
  }
  facts.counts = facts.counts && facts.rows >= 3;
  return facts;
}

bool mostly_zero_one(const ColumnFacts& facts) {
  return facts.responses > 0 && 2 * facts.zero_one > facts.responses;
}

// Whether the fields from `start` count the items: 0 to M - 1, or 1 to M, M at least 2.
bool counts_items(const Record& record, std::size_t start, char separator, int* largest) {
  if (record.count < start + 2) return false;
  int first = 0;
  for (std::size_t i = start; i < record.count; ++i) {
    int value = 0;
    if (kind_of(record.field(i), separator, &value) != Response::kNumber) return false;
    if (i == start) first = value;
    if (!follows(first, value, i - start)) return false;
    *largest = value;
  }
  return first == 0 || first == 1;
}

// The first few fields of a record, or of a column, for a message.
std::string some_fields(const std::vector<std::string>& texts) {
  std::string shown;
  for (std::size_t i = 0; i < texts.size() && i < 3; ++i) {
    shown += (i == 0 ? "" : ", ") + shown_name(texts[i]);
  }
  return shown + (texts.size() > 3 ? ", ..." : "");
}

// Value labels written instead of values (PSPP's /CELLS=LABELS, R's factors): most fields after
// the first line and the first column are text, of a few different words.
bool refuse_value_labels(const std::vector<Record>& records, char separator, Refusal* refusal) {
  std::set<std::string> words;
  std::size_t fields = 0;
  std::size_t text = 0;
  Field first;
  const Record* first_record = nullptr;
  for (std::size_t r = 1; r < records.size(); ++r) {
    const Record& record = records[r];
    for (std::size_t i = 1; i < record.count; ++i) {
      ++fields;
      if (!is_text(record.field(i), separator)) continue;
      ++text;
      if (words.size() <= 4) words.emplace(record.field(i).text);
      if (first_record == nullptr) {
        first = record.field(i);
        first_record = &record;
      }
    }
  }
  // Words that recur: a few of them, each of several responses.
  if (text < 4 || 2 * text <= fields || words.size() > 4 || text < 2 * words.size()) return false;
  std::vector<std::string> shown(words.begin(), words.end());
  refusal->line = first_record->line;
  refusal->found = shown_name(first.text);
  refusal->fix =
      "save the values instead (1 correct, 0 missed): in PSPP or SPSS, SAVE TRANSLATE without "
      "/CELLS=LABELS; in R, write the numbers (as.integer) instead of factors";
  refusal->message = "line " + std::to_string(first_record->line) +
                     " of the file: the file holds value labels (" + some_fields(shown) +
                     ") where responses are expected; " + refusal->fix;
  return true;
}

std::vector<std::string> texts_from(const Record& record, std::size_t start) {
  std::vector<std::string> texts;
  for (std::size_t i = start; i < record.count; ++i) texts.emplace_back(record.field(i).text);
  return texts;
}

}  // namespace

bool choose_layout(const std::vector<Record>& records, char separator, LayoutChoice* choice,
                   Refusal* refusal) {
  Layout& layout = choice->layout;
  if (records.empty()) return true;
  if (refuse_value_labels(records, separator, refusal)) return false;
  const Record& first = records[0];
  const std::size_t data_from = records.size() > 1 ? 1 : 0;
  const Record& second = records[data_from];
  bool quotes = false;
  for (const Record& record : records) {
    for (std::size_t i = 0; i < record.count; ++i) quotes = quotes || record.field(i).quoted;
  }

  // R's write.table and write.csv name no column above the row names: the first line is one short.
  if (records.size() > 1 && second.count == first.count + 1 && first.count > 0 &&
      (second.field(0).quoted || is_text(second.field(0), separator) ||
       facts_of(records, 1, 0, separator).counts)) {
    layout.row_names = true;
    layout.header = true;
    layout.start = 1;
  }

  // The column of labels: text (or, as R writes row names, a number in quotes among numbers
  // without), a name given to participants, a count down the rows, or other numbers than 0 and 1
  // beside responses of 0 and 1.
  const std::size_t column = layout.start;
  const ColumnFacts facts = facts_of(records, data_from, column, separator);
  const bool r_quoted =
      second.count > column + 1 && second.field(column).quoted && !second.field(column + 1).quoted;
  const bool named = records.size() > 1 && first.count > column && second.count == first.count &&
                     !is_text(second.field(0), separator) &&
                     names_participants(first.field(column).text) &&
                     is_text(first.field(std::min(column + 1, first.count - 1)), separator);
  bool numbers_only = false;
  if (second.count >= column + 2 &&
      (is_text(second.field(column), separator) || r_quoted || named)) {
    layout.labels = true;
  } else if (second.count >= column + 2 && facts.rows >= 2 &&
             (facts.counts || 2 * facts.other > facts.rows)) {
    numbers_only = true;
    if (facts.counts || mostly_zero_one(facts)) {
      layout.labels = true;
    } else {
      Layout other = layout;
      layout.labels = true;
      choice->other = other;
      std::vector<std::string> values;
      for (std::size_t r = data_from; r < records.size() && values.size() < 4; ++r) {
        if (records[r].count > column) values.emplace_back(records[r].field(column).text);
      }
      choice->question.line = second.line;
      choice->question.fix =
          "to choose, give the file a first line of column names with the first column named "
          "(such as id), or give the numbers of participants and items at the prompts, with the "
          "first column counted as an item or not";
      choice->question.message = "the first column (" + some_fields(values) +
                                 ") may be the participants' labels or item 1's responses; " +
                                 choice->question.fix;
    }
  }
  if (layout.labels) layout.start = column + 1;

  // The line of column names: text above numbers, or numbers counting the items above
  // responses of 0 and 1.
  if (!layout.header && records.size() > 1) {
    const auto holds = [&](const Record& record, bool text) {
      for (std::size_t i = layout.start; i < record.count; ++i) {
        const Response kind = kind_of(record.field(i), separator);
        if ((kind == Response::kText) == text && kind != Response::kEmpty) return true;
      }
      return false;
    };
    int largest = 0;
    if (holds(first, true) && holds(second, false)) {
      layout.header = true;
    } else if (counts_items(first, layout.start, separator, &largest) &&
               (largest > 1 || separator != ' ')) {
      // "0 1" between blanks is a participant's responses: no program writes such a header.
      const ColumnFacts rest = facts_of(records, 1, layout.start, separator);
      numbers_only = true;
      layout.header = true;
      if (largest <= 1 || !mostly_zero_one(rest)) {
        if (choice->other) {
          // Both the labels and the names open: too many readings to ask about at once.
          choice->other.reset();
        }
        Layout other = layout;
        other.header = false;
        choice->other = other;
        choice->question.line = first.line;
        choice->question.fix =
            "to choose, name the columns with words (such as q1, q2), or give the numbers of "
            "participants and items at the prompts, with line " +
            std::to_string(first.line) + " counted as a participant or not";
        choice->question.message = "line " + std::to_string(first.line) + " of the file (" +
                                   some_fields(texts_from(first, layout.start)) +
                                   ") may be the columns' names or a participant's responses; " +
                                   choice->question.fix;
      }
    }
  } else if (records.size() == 1) {
    // A file of one line of names alone holds column names and no responses.
    bool numbers = false;
    for (std::size_t i = 0; i < first.count; ++i) {
      const Response kind = kind_of(first.field(i), separator);
      numbers = numbers || (kind != Response::kText && kind != Response::kEmpty);
    }
    if (!numbers) {
      layout.header = true;
      layout.labels = false;
      layout.start = 0;
    }
  }
  // R's write.csv names the column of row names "", others name a column of participants'
  // numbers so: taken above, as `named`.
  layout.table = separator == ',' || separator == ';' || layout.header || layout.labels || quotes;
  layout.from_numbers = numbers_only && separator == ' ' && !quotes;
  if (choice->other) {
    choice->other->table = separator == ',' || separator == ';' || choice->other->header ||
                           choice->other->labels || quotes;
    choice->other->from_numbers = layout.from_numbers;
  }
  return true;
}

}  // namespace quorvane
