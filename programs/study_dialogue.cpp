#include "programs/study_dialogue.h"

#include <memory>
#include <vector>

#include "programs/data_file_reader.h"
#include "programs/word_reader.h"
#include "reports/report_names.h"
#include "storage/report_append.h"

namespace quorvane {
namespace {

constexpr std::size_t kLongestFileName = 79;
// The largest study a run takes: 10,000 participants by 10,000 items.
constexpr int kLargestCount = 10000;

class Dialogue {
 public:
  Dialogue(const EditionProfile& edition, Console console)
      : edition_(edition), console_(console), answers_(console.in) {}

  // Prompts and messages leave the cursor where they end; each is shown before the next read.
  void say(const char* text) { console_.out << text << std::flush; }
  void error(const std::string& text) { say_error(edition_, console_, text); }
  void note(const std::string& text) { say_note(edition_, console_, text); }

  // Reads the next word typed.
  WordReader::Next answer() { return answers_.next(); }
  const WordReader& answers() const { return answers_; }

  // A whole number from `lowest` to kLargestCount typed at the last prompt.
  std::optional<int> count(const std::string& what, int lowest, const std::string& why) {
    int value = 0;
    if (answer() == WordReader::Next::kWord &&
        parse_whole_number(answers_, &value) == WholeNumber::kNumber && value >= lowest &&
        value <= kLargestCount) {
      return value;
    }
    error("the number of " + what + " must be a whole number from " + std::to_string(lowest) +
          " to " + std::to_string(kLargestCount) + why + "; found " + answers_.found() +
          "; run the program again and type it at the prompt");
    return std::nullopt;
  }

 private:
  const EditionProfile& edition_;
  Console console_;
  WordReader answers_;
};

// The report file, if any, that is the same file as the data file.
std::optional<std::string> report_file_read(const EditionProfile& edition, FileSystem& files,
                                            const FileSystem::FileIdentity& data) {
  for (const std::string& name : report_file_names(edition)) {
    if (files.identity_of(name) == data) return name;
  }
  return std::nullopt;
}

// Opens the data file, or says why it will not be read.
std::unique_ptr<std::istream> open_data_file(const EditionProfile& edition, FileSystem& files,
                                             const std::string& file_name, std::string* error) {
  const std::string shown_name = escaped(file_name);
  FileFailure failure;
  FileSystem::FileIdentity identity;
  std::unique_ptr<std::istream> data = files.open_for_reading(file_name, &identity, &failure);
  if (data == nullptr) {
    *error = shown_name + ": cannot open the data file: " + failure_words(failure) +
             (failure.code == FileFailure::Code::kNotPlainFile
                  ? "; save the study as a file and type its name"
                  : "; check the name and run the program again from the folder that holds it");
    return nullptr;
  }
  // Its responses would be read, then this run's report text appended to it.
  if (const std::optional<std::string> report = report_file_read(edition, files, identity)) {
    *error = shown_name + ": the data file is the report file " + *report +
             " (the same file, or a link to it), to which the run appends; type the name of the "
             "file that holds the study's responses";
    return nullptr;
  }
  return data;
}

}  // namespace

std::optional<Study> ask_for_study(const EditionProfile& edition, Console console,
                                   FileSystem& files) {
  Dialogue dialogue(edition, console);

  dialogue.say("\n\nEnter name of DATA file (e.g., data.txt): ");
  const WordReader::Next typed = dialogue.answer();
  const WordReader& typed_name = dialogue.answers();
  if (typed == WordReader::Next::kEnd || typed == WordReader::Next::kTooManyBlanks) {
    dialogue.error(
        "no data file name was given" +
        (typed == WordReader::Next::kEnd ? std::string() : " (found " + typed_name.found() + ")") +
        "; run the program again and type the name at the prompt");
    return std::nullopt;
  }
  if (typed_name.length() > kLongestFileName) {
    dialogue.error("the data file name " + typed_name.shown() + " is " +
                   (typed == WordReader::Next::kWordTooLong
                        ? "more than " + std::to_string(WordReader::kLongestWord)
                        : std::to_string(typed_name.length())) +
                   " characters long; names of at most " + std::to_string(kLongestFileName) +
                   " characters are accepted, so rename the file or run the program from its "
                   "folder");
    return std::nullopt;
  }
  const std::string file_name = typed_name.word();
  const std::string shown_name = escaped(file_name);
  std::string error;
  std::unique_ptr<std::istream> data = open_data_file(edition, files, file_name, &error);
  if (data == nullptr) {
    dialogue.say("The data file was not opened\n");
    dialogue.error(error);
    return std::nullopt;
  }
  dialogue.say("The data file was opened\n");

  const int group_size = edition.group_size;
  dialogue.say("\nEnter number of participants in the study (i.e., # of rows in file): ");
  const std::optional<int> participants =
      dialogue.count("participants", 2 * group_size,
                     " (at least two full groups of " + std::to_string(group_size) + ")");
  if (!participants) return std::nullopt;
  dialogue.say("\nEnter number of items in the study (i.e., # of columns in file): ");
  const std::optional<int> items = dialogue.count("items", 1, "");
  if (!items) return std::nullopt;

  Study study{file_name, ResponseMatrix(*participants, *items)};
  std::vector<std::string> notes;
  bool loaded = false;
  try {
    loaded = load(*data, study.matrix, &notes, &error);
  } catch (const FileSystem::ReadError& failure) {
    error = std::string("cannot read the data file: ") + failure.what() +
            "; the disk or share that holds it may be failing: copy the study to another disk and "
            "run again";
  }
  data.reset();
  if (!loaded) {
    dialogue.error(shown_name + ": " + error);
    return std::nullopt;
  }
  for (const std::string& note : notes) dialogue.note(shown_name + ": " + note);
  dialogue.say("Performing calculations...");
  return study;
}

}  // namespace quorvane
