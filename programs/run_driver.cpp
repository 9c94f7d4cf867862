#include "programs/run_driver.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "reports/report_append.h"
#include "reports/report_files.h"
#include "simulation/data_file_reader.h"
#include "simulation/nominal_group_run.h"
#include "simulation/response_matrix.h"
#include "simulation/word_reader.h"

namespace quorvane {
namespace {

constexpr std::size_t kLongestFileName = 79;
constexpr int kLargestCount = 109;  // participants and items the tables hold

class Dialogue {
 public:
  Dialogue(const EditionProfile& edition, Console console)
      : edition_(edition), console_(console), answers_(console.in) {}

  void prompt(const char* text) { console_.out << text << std::flush; }
  void say(const char* text) { console_.out << text << std::flush; }

  void error(const std::string& text) {
    console_.err << edition_.program_name << ": error: " << text << '\n' << std::flush;
  }
  void note(const std::string& text) {
    console_.err << edition_.program_name << ": note: " << text << '\n' << std::flush;
  }

  // The next word typed, or none at the end of the input.
  const WordReader* answer() { return answers_.next() ? &answers_ : nullptr; }

  // A whole number typed at the last prompt, from `lowest` to kLargestCount.
  std::optional<int> count(const char* what, int lowest, const char* why) {
    const WordReader* typed = answer();
    int value = 0;
    if (typed != nullptr && parse_whole_number(*typed, &value) == WholeNumber::kNumber &&
        value >= lowest && value <= kLargestCount) {
      return value;
    }
    error(std::string("the number of ") + what + " must be a whole number from " +
          std::to_string(lowest) + " to " + std::to_string(kLargestCount) + why + "; found " +
          (typed == nullptr ? std::string("the end of the input") : typed->shown()) +
          "; run the program again and type it at the prompt");
    return std::nullopt;
  }

 private:
  const EditionProfile& edition_;
  Console console_;
  WordReader answers_;
};

std::string no_best_reason(const RunOutcome& outcome) {
  if (outcome.overall_mean == 0.0) {
    return "the overall mean is 0 (no group answered any item correctly)";
  }
  if (outcome.overall_variance == 0.0) {
    return "the overall variance is 0 (within every set all groups scored alike)";
  }
  return "no set's chi-square is a number below 1000000";
}

}  // namespace

int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const std::function<std::uint32_t()>& read_seed) {
  Dialogue dialogue(edition, console);

  dialogue.prompt("\n\nEnter name of DATA file (e.g., data.txt): ");
  const WordReader* typed_name = dialogue.answer();
  if (typed_name == nullptr) {
    dialogue.error(
        "no data file name was given; run the program again and type the name at the "
        "prompt");
    return kRunFailed;
  }
  const std::string file_name = typed_name->word();
  if (typed_name->length() > kLongestFileName) {
    dialogue.error("the data file name " + typed_name->shown() + " is " +
                   std::to_string(typed_name->length()) +
                   " characters long; names of at most 79 characters are accepted, so rename "
                   "the file or run the program from its folder");
    return kRunFailed;
  }
  std::string reason;
  std::unique_ptr<std::istream> data = files.open_for_reading(file_name, &reason);
  if (data == nullptr) {
    dialogue.say("The data file was not opened\n");
    dialogue.error(file_name + ": cannot open the data file: " + reason +
                   "; check the name and run the program again from the folder that holds it");
    return kRunFailed;
  }
  dialogue.say("The data file was opened\n");

  const int group_size = edition.group_size;
  const std::string fewest = " (at least two full groups of " + std::to_string(group_size) + ")";
  dialogue.prompt("\nEnter number of participants in the study (i.e., # of rows in file): ");
  const std::optional<int> participants =
      dialogue.count("participants", 2 * group_size, fewest.c_str());
  if (!participants) return kRunFailed;
  dialogue.prompt("\nEnter number of items in the study (i.e., # of columns in file): ");
  const std::optional<int> items = dialogue.count("items", 1, "");
  if (!items) return kRunFailed;

  ResponseMatrix matrix(*participants, *items);
  std::vector<std::string> notes;
  std::string error;
  const bool loaded = load(*data, matrix, &notes, &error);
  data.reset();
  if (!loaded) {
    dialogue.error(file_name + ": " + error);
    return kRunFailed;
  }
  for (const std::string& note : notes) dialogue.note(file_name + ": " + note);
  dialogue.say("Performing calculations...");

  ReportFiles reports(edition);
  const RunOutcome outcome = run_simulation(edition, matrix, read_seed(), reports);
  if (!outcome.mv_best_found) {
    dialogue.note("no set could be chosen by mean and variance: " + no_best_reason(outcome) +
                  "; its reports show the best set as 0-0");
  }
  if (!outcome.dist_best_found) {
    dialogue.note(
        "no set could be chosen by distribution: no set's chi-square is a number "
        "below 1000000; its reports show the best set as 0-0");
  }
  const auto say_note = [&dialogue](const std::string& text) { dialogue.note(text); };
  if (!append_reports(files, reports.sections(), say_note, &error)) {
    dialogue.error(error);
    return kRunFailed;
  }
  return kRunSucceeded;
}

}  // namespace quorvane
