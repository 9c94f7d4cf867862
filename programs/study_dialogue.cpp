#include "programs/study_dialogue.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <new>
#include <streambuf>
#include <utility>
#include <vector>

#include "platform/failure_words.h"
#include "platform/file_read_stream.h"
#include "programs/memory_estimate.h"
#include "reports/report_names.h"
#include "storage/report_append.h"
#include "studies/study.h"
#include "studies/study_answers.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

constexpr std::size_t kLongestFileName = 79;

// The console input with a part of a line put back before it: the rest of the line that held
// the data file's name, which may hold the next answers.
class TypedAhead : public std::streambuf {
 public:
  explicit TypedAhead(std::streambuf& console) : console_(console) {}

  void put_back(std::string text) {
    pending_ = std::move(text);
    setg(pending_.data(), pending_.data(), pending_.data() + pending_.size());
  }

 protected:
  int_type underflow() override {
    const int_type c = console_.sbumpc();
    if (traits_type::eq_int_type(c, traits_type::eof())) return c;
    one_ = traits_type::to_char_type(c);
    setg(&one_, &one_, &one_ + 1);
    return c;
  }

 private:
  std::streambuf& console_;
  std::string pending_;
  char one_ = 0;
};

class Dialogue {
 public:
  Dialogue(const EditionProfile& edition, Console console)
      : edition_(edition),
        console_(console),
        typed_(*console.in.rdbuf()),
        input_(&typed_),
        answers_(input_) {}

  // Prompts and messages leave the cursor where they end; each is shown before the next read.
  void say(const std::string& text) { console_.out << text << std::flush; }
  void error(const std::string& text) { say_error(edition_, console_, text); }
  void note(const std::string& text) { say_note(edition_, console_, text); }

  // Reads the line typed at the data file's prompt, up to its end, leaving the end unread. False
  // when the input ends first or is not text (too many blanks or characters without a line end),
  // with what was found.
  bool typed_line(std::string* line, WordReader::Next* refusal) {
    int c = typed_.sgetc();
    std::size_t blanks = 0;
    while (c != kEnd && std::isspace(c) != 0) {
      if (++blanks > WordReader::kLongestBlanks)
        return refuse(WordReader::Next::kTooManyBlanks, refusal);
      c = typed_.snextc();
    }
    if (c == kEnd) return refuse(WordReader::Next::kEnd, refusal);
    while (c != kEnd && c != '\n' && c != '\r') {
      line->push_back(static_cast<char>(c));
      if (line->size() > WordReader::kLongestWord) {
        return refuse(WordReader::Next::kWordTooLong, refusal);
      }
      c = typed_.snextc();
    }
    while (!line->empty() && std::isspace(static_cast<unsigned char>(line->back())) != 0) {
      line->pop_back();
    }
    return true;
  }
  // Gives the rest of the name's line, and the line end read after it, to the answers that
  // follow.
  void put_back(const std::string& rest) { typed_.put_back(rest + "\n"); }

  // A whole number from `lowest` to kLargestCount typed at the last prompt.
  std::optional<int> count(const std::string& what, int lowest, const std::string& why) {
    std::string refusal;
    const std::optional<int> value = read_count(answers_, what, lowest, why, &refusal);
    if (!value) error(refusal);
    return value;
  }

 private:
  static constexpr int kEnd = std::char_traits<char>::eof();

  static bool refuse(WordReader::Next why, WordReader::Next* refusal) {
    *refusal = why;
    return false;
  }

  const EditionProfile& edition_;
  Console console_;
  TypedAhead typed_;
  std::istream input_;
  WordReader answers_;
};

// The data file's name in the line typed: the text between double quotes (as Explorer's "Copy as
// path" gives it), the whole line when it names a file, or else its first word, as formatted
// input reads it. *rest is what follows the name on the line.
std::string name_in(const std::string& line, FileSystem& files, std::string* rest) {
  if (line[0] == '"') {
    const std::size_t closing = line.find('"', 1);
    if (closing == std::string::npos) return line.substr(1);
    *rest = line.substr(closing + 1);
    return line.substr(1, closing - 1);
  }
  std::size_t end = 0;
  while (end < line.size() && std::isspace(static_cast<unsigned char>(line[end])) == 0) ++end;
  if (end < line.size()) {
    FileSystem::FileState state;
    FileFailure failure;
    if (files.inspect(line, &state, &failure) && state.exists) return line;
  }
  *rest = line.substr(end);
  return line.substr(0, end);
}

// The report file, if any, that is the same file as the data file.
std::optional<std::string> report_file_read(const EditionProfile& edition, FileSystem& files,
                                            const FileSystem::FileIdentity& data) {
  for (const std::string& name : report_file_names(edition.words)) {
    if (files.identity_of(name) == data) return name;
  }
  return std::nullopt;
}

// Opens the data file, or says why it will not be read and, when the name may be wrong,
// `check_name` for what to do.
std::unique_ptr<std::istream> open_data_file(const EditionProfile& edition, FileSystem& files,
                                             const std::string& file_name, const char* check_name,
                                             std::string* error) {
  const std::string shown = readable(file_name);
  FileFailure failure;
  FileSystem::FileIdentity identity;
  std::unique_ptr<std::istream> data = files.open_for_reading(file_name, &identity, &failure);
  if (data == nullptr) {
    *error = shown + ": cannot open the data file: " + failure_words(failure) +
             (failure.code == FileFailure::Code::kNotPlainFile
                  ? "; save the study as a file and type its name"
                  : check_name);
    return nullptr;
  }
  // Its responses would be read, then this run's report text appended to it.
  if (const std::optional<std::string> report = report_file_read(edition, files, identity)) {
    *error = shown + ": the data file is the report file " + *report +
             " (the same file, or a link to it), to which the run appends; type the name of the "
             "file that holds the study's responses";
    return nullptr;
  }
  return data;
}

// The data file's bytes, mapped where the system can and let go of piece by piece as they are
// read, so that neither a copy of the file nor all of its pages are held beside the responses;
// and what reading them needs, as a message says it.
struct DataBytes {
  std::unique_ptr<FileBytes> file;
  std::string needs;
};

// Takes the data file's bytes, refusing a file larger than any study's, one whose reading needs
// more memory than the limit, and a workbook or another program's data file (by its first bytes,
// so before any question). False with *error.
bool read_start(std::istream& data, const std::optional<std::uint64_t>& memory_limit,
                DataBytes* bytes, std::string* error) {
  std::uint64_t size = 0;
  const bool sized = file_size_of(data, &size);
  bytes->needs = sized ? "reading the data file of " + megabytes(size) + " needs about " +
                             megabytes(reading_memory_needed(size))
                       : std::string("reading the data file needs more memory");
  if (sized && memory_limit && *memory_limit < reading_memory_needed(size) &&
      size <= kLargestDataFile) {
    *error = "not enough memory: " + bytes->needs + ": " + limit_words(memory_limit) +
             "; raise the limit (ulimit -v) and run again" + kNothingChanged;
    return false;
  }
  try {
    bool too_large = false;
    bytes->file = bytes_of(data, kLargestDataFile, &too_large);
    if (too_large) {
      *error = "the data file is larger than " + std::to_string(kLargestDataFile >> 20) +
               " MB, more than a study of " + std::to_string(kLargestCount) + " by " +
               std::to_string(kLargestCount) + " takes; check that it is the study's file";
      return false;
    }
  } catch (const FileSystem::ReadError& failure) {
    *error = std::string("cannot read the data file: ") + failure.what() +
             "; the disk or share that holds it may be failing: copy the study to another disk and "
             "run again";
    return false;
  } catch (const std::bad_alloc&) {
    *error = "not enough memory: " + bytes->needs +
             " (the system refused the memory reading it needs; " + limit_words(memory_limit) +
             "); close other programs or raise the limit and run again" + kNothingChanged;
    return false;
  }
  if (const std::optional<Refusal> refusal =
          refusal_of_format(bytes->file->bytes().substr(0, kFormatBytes))) {
    *error = refusal->message;
    return false;
  }
  return true;
}

// Reads the study in the data file's bytes, of the shape typed or else of the file's own, into
// *study named `file_name`.
bool read_study(DataBytes& bytes, const std::optional<StudyShape>& typed,
                const std::string& file_name, const std::optional<std::uint64_t>& memory_limit,
                std::optional<Study>* study, std::string* error) {
  StudyLoad load;
  try {
    FileBytes& file = *bytes.file;
    load = load_study(file.bytes(), typed, [&file] { file.let_go(); });
  } catch (const std::bad_alloc&) {
    *error = "not enough memory: " + bytes.needs +
             " (the system refused the memory reading it needs; " + limit_words(memory_limit) +
             "); close other programs or raise the limit and run again" + kNothingChanged;
    return false;
  }
  // Bytes past the end of a file cut short while mapped read as zeros: whatever was read of them
  // is not the study.
  if (bytes.file->cut_short()) {
    *error =
        "cannot read the data file: another program cut it short while it was being read; run "
        "again once that program has finished writing it";
    return false;
  }
  if (!load.loaded()) {
    *error = std::move(load.refusal.message);
    return false;
  }
  *study = std::move(load.study);
  (*study)->file_name = file_name;
  return true;
}

std::string count_of(int count, const char* what) {
  return std::to_string(count) + " " + what + (count == 1 ? "" : "s");
}

}  // namespace

std::optional<Study> ask_for_study(const EditionProfile& edition, Console console,
                                   FileSystem& files, const std::optional<std::string>& data_file,
                                   const std::optional<std::uint64_t>& memory_limit) {
  Dialogue dialogue(edition, console);
  const int group_size = edition.group_size;
  const std::string groups = full_groups_words(group_size);
  std::string error;
  std::optional<Study> study;

  if (data_file) {
    const std::string shown = readable(*data_file);
    std::unique_ptr<std::istream> stream =
        open_data_file(edition, files, *data_file, "; check the name given", &error);
    DataBytes bytes;
    if (stream == nullptr || !read_start(*stream, memory_limit, &bytes, &error) ||
        !read_study(bytes, std::nullopt, *data_file, memory_limit, &study, &error)) {
      dialogue.error(stream == nullptr ? error : shown + ": " + error);
      return std::nullopt;
    }
    const int participants = study->responses.participants();
    if (participants < fewest_participants(group_size)) {
      dialogue.error(shown + ": " + too_few_participants(participants, group_size));
      return std::nullopt;
    }
    dialogue.say(shown + ": " + count_of(participants, "participant") + ", " +
                 count_of(study->responses.items(), "item") + "\n");
    for (const std::string& note : study->reading.notes) dialogue.note(shown + ": " + note);
    dialogue.say("Performing calculations...");
    return study;
  }

  dialogue.say("\n\nEnter name of DATA file (e.g., data.txt): ");
  std::string line;
  WordReader::Next refusal = WordReader::Next::kWord;
  if (!dialogue.typed_line(&line, &refusal) && refusal != WordReader::Next::kWordTooLong) {
    dialogue.error("no data file name was given" +
                   (refusal == WordReader::Next::kEnd
                        ? std::string()
                        : " (found more than " + std::to_string(WordReader::kLongestBlanks) +
                              " blank characters in a row)") +
                   "; run the program again and type the name at the prompt");
    return std::nullopt;
  }
  std::string rest;
  const std::string file_name =
      refusal == WordReader::Next::kWordTooLong ? line : name_in(line, files, &rest);
  const std::size_t length = character_count(file_name);
  if (refusal == WordReader::Next::kWordTooLong || length > kLongestFileName) {
    dialogue.error("the data file name " + shown_name(file_name) + " is " +
                   (refusal == WordReader::Next::kWordTooLong
                        ? "more than " + std::to_string(WordReader::kLongestWord)
                        : std::to_string(length)) +
                   " characters long; names of at most " + std::to_string(kLongestFileName) +
                   " characters are accepted, so rename the file or run the program from its "
                   "folder");
    return std::nullopt;
  }
  dialogue.put_back(rest);
  const std::string shown = readable(file_name);
  std::unique_ptr<std::istream> stream = open_data_file(
      edition, files, file_name,
      "; check the name and run the program again from the folder that holds it", &error);
  if (stream == nullptr) {
    dialogue.say("The data file was not opened\n");
    dialogue.error(error);
    return std::nullopt;
  }
  dialogue.say("The data file was opened\n");
  // A workbook or another program's data file is refused before the questions.
  DataBytes bytes;
  if (!read_start(*stream, memory_limit, &bytes, &error)) {
    dialogue.error(shown + ": " + error);
    return std::nullopt;
  }

  dialogue.say("\nEnter number of participants in the study (i.e., # of rows in file): ");
  const std::optional<int> participants =
      dialogue.count("participants", fewest_participants(group_size), groups);
  if (!participants) return std::nullopt;
  dialogue.say("\nEnter number of items in the study (i.e., # of columns in file): ");
  const std::optional<int> items = dialogue.count("items", 1, "");
  if (!items) return std::nullopt;

  const bool loaded =
      read_study(bytes, StudyShape{*participants, *items}, file_name, memory_limit, &study, &error);
  stream.reset();
  if (!loaded) {
    dialogue.error(shown + ": " + error);
    return std::nullopt;
  }
  for (const std::string& note : study->reading.notes) dialogue.note(shown + ": " + note);
  dialogue.say("Performing calculations...");
  return study;
}

}  // namespace quorvane
