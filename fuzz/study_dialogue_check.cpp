#include "fuzz/study_dialogue_check.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <limits>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/file_system.h"
#include "programs/study_dialogue.h"
#include "simulation/response_matrix_internal.h"
#include "studies/study.h"

namespace quorvane::fuzzing {
namespace {

// Larger inputs say nothing new: a study of any size reads its counts and responses alike.
constexpr std::size_t kLargestInput = 1 << 16;
constexpr std::size_t kLongestWord = 4096;
constexpr const char* kDataFile = "study.txt";

std::string escaped(const std::string& bytes) {
  std::ostringstream text;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && byte != '\\') {
      text << c;
    } else {
      text << "\\x"
           << "0123456789ABCDEF"[byte >> 4] << "0123456789ABCDEF"[byte & 0xF];
    }
  }
  return text.str();
}

// What must hold, with what to say when it does not.
class Checker {
 public:
  Checker(const std::string& input, const EditionProfile& edition)
      : input_(input), edition_(edition) {}

  void require(bool holds, const std::string& what) const {
    if (holds) return;
    std::cerr << "study dialogue check failed in " << edition_.program_name << ": " << what
              << "\ninput: " << escaped(input_) << '\n';
    std::abort();
  }

 private:
  const std::string& input_;
  const EditionProfile& edition_;
};

// A file system holding the one data file; the dialogue must never touch a report file.
class OneDataFile final : public FileSystem {
 public:
  OneDataFile(std::string content, const Checker& checker)
      : content_(std::move(content)), checker_(checker) {}

  std::unique_ptr<std::istream> open_for_reading(const std::string& name, FileIdentity* identity,
                                                 FileFailure* failure) override {
    if (name != kDataFile) {
      *failure = {FileFailure::Code::kNotFound, "No such file or directory"};
      return nullptr;
    }
    *identity = FileIdentity{1, 1};
    return std::make_unique<std::istringstream>(content_);
  }
  // The report files do not exist yet.
  std::optional<FileIdentity> identity_of(const std::string& name) override {
    if (name == kDataFile) return FileIdentity{1, 1};
    return std::nullopt;
  }
  bool read_at(const std::string&, std::uint64_t, std::size_t, std::string*,
               FileFailure*) override {
    return touched();
  }
  bool begin_append(const std::function<void()>&, FileFailure*) override { return touched(); }
  void end_append() override { touched(); }
  // Looking whether a typed line names a file changes nothing.
  bool inspect(const std::string& name, FileState* state, FileFailure*) override {
    *state = FileState{};
    state->exists = state->regular = name == kDataFile;
    return true;
  }
  bool open_for_append(const std::string&, bool, int*, std::uint64_t*, FileFailure*) override {
    return touched();
  }
  bool write_some(int, const char*, std::size_t, std::size_t*, FileFailure*) override {
    return touched();
  }
  bool close(int, FileFailure*) override { return touched(); }
  bool truncate(const std::string&, std::uint64_t, FileFailure*) override { return touched(); }
  bool remove(const std::string&, FileFailure*) override { return touched(); }
  bool rename_to_new(const std::string&, const std::string&, FileFailure*) override {
    return touched();
  }

 private:
  bool touched() {
    checker_.require(false, "the dialogue touched a report file");
    return false;
  }

  std::string content_;
  const Checker& checker_;
};

// The independent reading the dialogue is held to: words split at the six blank characters,
// whole numbers as an optional sign and decimal digits that fit in 32 bits, in words of at most
// the 80 characters a reader keeps; no word longer than 4096 characters anywhere in the data file.
std::vector<std::string> words_of(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (const char c : text) {
    if (c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word.push_back(c);
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

std::optional<int> whole_number(const std::string& word) {
  if (word.size() > 80) return std::nullopt;
  std::size_t i = word[0] == '+' || word[0] == '-' ? 1 : 0;
  if (i == word.size()) return std::nullopt;
  long long value = 0;
  for (; i < word.size(); ++i) {
    if (word[i] < '0' || word[i] > '9') return std::nullopt;
    value = value * 10 + (word[i] - '0');
    if (value > 1LL << 31) return std::nullopt;
  }
  if (word[0] == '-') value = -value;
  if (value > std::numeric_limits<int>::max()) return std::nullopt;
  return static_cast<int>(value);
}

// A response may have a decimal part of zeros, as statistics packages write 1.00, .00 and 0.:
// a digit on one side of the point at least.
std::optional<int> response_of(const std::string& word) {
  const std::size_t mark = word.find('.');
  if (mark == std::string::npos || word.size() > 80) return whole_number(word);
  if (word.find_first_not_of('0', mark + 1) != std::string::npos) return std::nullopt;
  const std::string whole = word.substr(0, mark);
  const bool digits_before = whole.find_first_of("0123456789") != std::string::npos;
  if (!digits_before && mark + 1 == word.size()) return std::nullopt;
  if (!digits_before)
    return whole.size() <= 1 && whole.find_first_not_of("+-") == std::string::npos
               ? std::optional<int>(0)
               : std::nullopt;
  return whole_number(whole);
}

// Whether the data file is bare numbers that the reading above predicts: nothing but numbers,
// blanks and line breaks, and first two lines of numbers alone (else it may be a table, with a
// header or labels, read otherwise).
bool is_predictable(const std::string& data) {
  // Only digits, signs, points, blanks and line breaks: a tab, a form feed or any other byte may
  // make the file a table, whose shape its own rules decide.
  if (data.find_first_not_of("0123456789+-. \n\r") != std::string::npos) return false;
  if (data.rfind("\xEF\xBB\xBF", 0) == 0 || data.rfind("\xFF\xFE", 0) == 0 ||
      data.rfind("\xFE\xFF", 0) == 0) {
    return false;
  }
  // A line counting the items (0 1 2 ... or 1 2 3 ...) names the columns; a first column of other
  // numbers than 0 and 1 may hold the participants' labels: from the first 201 lines.
  int lines = 0;
  std::string line;
  for (std::size_t at = 0; at <= data.size() && lines < 201; ++at) {
    if (at < data.size() && data[at] != '\n' && data[at] != '\r') {
      line.push_back(data[at]);
      continue;
    }
    const std::vector<std::string> words = words_of(line);
    line.clear();
    if (words.empty()) continue;
    ++lines;
    std::vector<int> values;
    for (const std::string& word : words) {
      const std::optional<int> value = response_of(word);
      if (!value) {
        if (lines <= 2) return false;
        break;
      }
      values.push_back(*value);
    }
    if (!values.empty() && values[0] != 0 && values[0] != 1) return false;
    bool counting = lines == 1 && values.size() >= 2;
    for (std::size_t i = 0; counting && i < values.size(); ++i) {
      counting = values[i] == values[0] + static_cast<int>(i);
    }
    if (counting && values.back() >= 2) return false;
  }
  return true;
}

// The data file's name on the first line typed, as the prompt takes it, and the words after it.
std::vector<std::string> typed_answers(const std::string& answers) {
  std::size_t start = answers.find_first_not_of(" \t\n\v\f\r");
  if (start == std::string::npos) return {};
  const std::size_t end = std::min(answers.find_first_of("\n\r", start), answers.size());
  std::string line = answers.substr(start, end - start);
  while (!line.empty() && std::string(" \t\v\f").find(line.back()) != std::string::npos) {
    line.pop_back();
  }
  if (line.size() > kLongestWord) return {};
  std::string name;
  std::string rest;
  if (line[0] == '"') {
    const std::size_t closing = line.find('"', 1);
    name = line.substr(1, closing == std::string::npos ? std::string::npos : closing - 1);
    if (closing != std::string::npos) rest = line.substr(closing + 1);
  } else if (line == kDataFile) {
    name = line;
  } else {
    const std::vector<std::string> words = words_of(line);
    name = words[0];
    rest = line.substr(line.find(name) + name.size());
  }
  std::vector<std::string> typed{name};
  for (const std::string& word : words_of(rest + "\n" + answers.substr(end))) {
    typed.push_back(word);
  }
  return typed;
}

std::optional<int> count_of(const std::vector<std::string>& words, std::size_t i, int lowest) {
  if (words.size() <= i) return std::nullopt;
  const std::optional<int> count = whole_number(words[i]);
  if (!count || *count < lowest || *count > kLargestCount) return std::nullopt;
  return count;
}

// What the dialogue should make of the answers and the data file.
struct Expected {
  bool accepted = false;
  int participants = 0;
  int items = 0;
  std::vector<int> responses;
  int notes = 0;
};

Expected expect(const std::string& answers, const std::string& data, int group_size) {
  Expected expected;
  const std::vector<std::string> typed = typed_answers(answers);
  if (typed.empty() || typed[0] != kDataFile) return expected;
  const std::optional<int> participants = count_of(typed, 1, 2 * group_size);
  const std::optional<int> items = participants ? count_of(typed, 2, 1) : std::nullopt;
  if (!items) return expected;
  const std::vector<std::string> words = words_of(data);
  const auto cells = static_cast<std::size_t>(*participants * *items);
  if (words.size() < cells) return expected;
  bool unusual = false;
  for (std::size_t i = 0; i < cells; ++i) {
    const std::optional<int> response = response_of(words[i]);
    if (!response) return expected;
    unusual = unusual || (*response != 0 && *response != 1);
    expected.responses.push_back(*response);
  }
  // A word longer than any study's, even after the responses, stops the run.
  for (std::size_t i = cells; i < words.size(); ++i) {
    if (words[i].size() > kLongestWord) return expected;
  }
  expected.accepted = true;
  expected.participants = *participants;
  expected.items = *items;
  expected.notes = (unusual ? 1 : 0) + (words.size() > cells ? 1 : 0);
  return expected;
}

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find('\n'); end != std::string::npos;
       start = end + 1, end = text.find('\n', start)) {
    lines.push_back(text.substr(start, end - start));
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

bool starts_with(const std::string& text, const std::string& start) {
  return text.compare(0, start.size(), start) == 0;
}

// One edition's dialogue on the input; true when it accepted the study.
bool check_edition(const EditionProfile& edition, const std::string& input,
                   const std::string& answers, const std::string& data) {
  const Checker checker(input, edition);
  std::istringstream in(answers);
  std::ostringstream out;
  std::ostringstream err;
  OneDataFile files(data, checker);
  const std::optional<Study> study = ask_for_study(edition, Console{in, out, err}, files);
  const bool predictable = is_predictable(data);
  Expected expected = expect(answers, data, edition.group_size);
  const std::string program(edition.program_name);
  const std::vector<std::string> lines = lines_of(err.str());

  checker.require(err.str().empty() || err.str().back() == '\n', "an unfinished error line");
  if (!study) {
    checker.require(!expected.accepted || !predictable, "a good study was refused: " + err.str());
    checker.require(lines.size() == 1 && starts_with(lines[0], program + ": error: "),
                    "a refusal is not one error line: " + err.str());
    checker.require(out.str().find("Performing calculations...") == std::string::npos,
                    "a refused study went on to the calculations");
    return false;
  }
  checker.require(expected.accepted || !predictable, "a bad study was accepted");
  checker.require(lines.size() == static_cast<std::size_t>(expected.notes) || !predictable,
                  "the notes are not those due: " + err.str());
  for (const std::string& line : lines) {
    checker.require(starts_with(line, program + ": note: " + kDataFile + ": "),
                    "a note is not about the data file: " + line);
  }
  checker.require(out.str().size() > 26 &&
                      out.str().substr(out.str().size() - 26) == "Performing calculations...",
                  "the dialogue did not end with the calculations");
  checker.require(study->file_name == kDataFile, "the study names another file");
  // A table is read by its own rules, which the reader's tests hold it to.
  if (!predictable) return true;
  const ResponseMatrix& matrix = study->responses;
  checker.require(
      matrix.participants() == expected.participants && matrix.items() == expected.items,
      "the study's counts are not those typed");
  for (int participant = 0; participant <= matrix.participants(); ++participant) {
    for (int item = 0; item <= matrix.items(); ++item) {
      const int missed_here = missed(matrix, participant, item);
      const std::string cell = std::to_string(participant) + "," + std::to_string(item);
      if (participant == 0 || item == 0) {
        checker.require(missed_here == 0, "the null participant or item " + cell + " holds a miss");
        continue;
      }
      const std::size_t at =
          static_cast<std::size_t>((participant - 1) * matrix.items() + item - 1);
      checker.require(missed_here == (expected.responses[at] == 0 ? 1 : 0),
                      "missed flag " + cell + " wrong");
    }
  }
  return true;
}

}  // namespace

DialogueVerdicts check_study_dialogue(const std::uint8_t* bytes, std::size_t size) {
  DialogueVerdicts verdicts;
  if (size > kLargestInput) return verdicts;
  const std::string input(reinterpret_cast<const char*>(bytes), size);
  // The first three lines answer the prompts; the rest is the data file.
  std::size_t data_start = 0;
  for (int line = 0; line < 3 && data_start < input.size(); ++line) {
    const std::size_t end = input.find('\n', data_start);
    data_start = end == std::string::npos ? input.size() : end + 1;
  }
  const std::string answers = input.substr(0, data_start);
  const std::string data = input.substr(data_start);
  for (const EditionProfile* edition : {&kPairsEdition, &kTriadsEdition, &kQuadsEdition}) {
    if (check_edition(*edition, input, answers, data)) {
      ++verdicts.accepted;
    } else {
      ++verdicts.refused;
    }
  }
  return verdicts;
}

}  // namespace quorvane::fuzzing
