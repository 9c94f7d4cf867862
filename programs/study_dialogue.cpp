#include "programs/study_dialogue.h"

#include <memory>
#include <vector>

#include "programs/data_file_reader.h"
#include "programs/word_reader.h"

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

  // The next word typed, or none at the end of the input.
  const WordReader* answer() { return answers_.next() ? &answers_ : nullptr; }

  // A whole number from `lowest` to kLargestCount typed at the last prompt.
  std::optional<int> count(const std::string& what, int lowest, const std::string& why) {
    const WordReader* typed = answer();
    int value = 0;
    if (typed != nullptr && parse_whole_number(*typed, &value) == WholeNumber::kNumber &&
        value >= lowest && value <= kLargestCount) {
      return value;
    }
    error("the number of " + what + " must be a whole number from " + std::to_string(lowest) +
          " to " + std::to_string(kLargestCount) + why + "; found " +
          (typed == nullptr ? std::string("the end of the input") : typed->shown()) +
          "; run the program again and type it at the prompt");
    return std::nullopt;
  }

 private:
  const EditionProfile& edition_;
  Console console_;
  WordReader answers_;
};

}  // namespace

std::optional<Study> ask_for_study(const EditionProfile& edition, Console console,
                                   FileSystem& files) {
  Dialogue dialogue(edition, console);

  dialogue.say("\n\nEnter name of DATA file (e.g., data.txt): ");
  const WordReader* typed_name = dialogue.answer();
  if (typed_name == nullptr) {
    dialogue.error(
        "no data file name was given; run the program again and type the name at the prompt");
    return std::nullopt;
  }
  if (typed_name->length() > kLongestFileName) {
    dialogue.error("the data file name " + typed_name->shown() + " is " +
                   std::to_string(typed_name->length()) +
                   " characters long; names of at most 79 characters are accepted, so rename "
                   "the file or run the program from its folder");
    return std::nullopt;
  }
  const std::string file_name = typed_name->word();
  std::string reason;
  std::unique_ptr<std::istream> data = files.open_for_reading(file_name, &reason);
  if (data == nullptr) {
    dialogue.say("The data file was not opened\n");
    dialogue.error(file_name + ": cannot open the data file: " + reason +
                   "; check the name and run the program again from the folder that holds it");
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
  std::string error;
  const bool loaded = load(*data, study.matrix, &notes, &error);
  data.reset();
  if (!loaded) {
    dialogue.error(file_name + ": " + error);
    return std::nullopt;
  }
  for (const std::string& note : notes) dialogue.note(file_name + ": " + note);
  dialogue.say("Performing calculations...");
  return study;
}

}  // namespace quorvane
