#include "web/browser_run.h"

#include <sstream>
#include <string>
#include <utility>

#include "editions/edition_profile.h"
#include "programs/program_release.h"
#include "programs/run_driver.h"
#include "runs/run_outcome.h"
#include "studies/study.h"
#include "studies/study_answers.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

// A text as one line typed: up to its first line break.
std::string one_line(const std::string& text) { return text.substr(0, text.find_first_of("\r\n")); }

// A number given for a field, read as its prompt reads the answer typed.
std::optional<int> count_in(const std::string& answer, const std::string& what, int lowest,
                            const std::string& why, std::string* error) {
  std::istringstream typed(one_line(answer));
  WordReader words(typed);
  return read_count(words, what, lowest, why, error);
}

}  // namespace

std::optional<EditionProfile> edition_of_group_size(int group_size) {
  if (group_size < kSmallestGroupSize || group_size > kLargestGroupSize) return std::nullopt;
  return edition_profile(group_size);
}

BrowserOutcome run_in_browser(const BrowserRequest& request) {
  const int group_size = request.edition->group_size;
  const std::string name = one_line(request.file_name);
  const std::string shown = readable(name);
  BrowserOutcome outcome;
  const auto refuse = [&](const std::string& error) {
    outcome.error = error;
    outcome.notes.clear();
    return outcome;
  };

  // One number alone is completed from the table's shape, where the file has one.
  std::optional<StudyShape> shape;
  if (request.participants.has_value() != request.items.has_value()) {
    const StudyLoad load = load_study(request.data, std::nullopt);
    if (load.loaded()) {
      shape = StudyShape{load.study->responses.participants(), load.study->responses.items()};
    }
  }
  std::optional<StudyShape> typed;
  if ((request.participants && request.items) || shape) {
    // As at the prompts: a workbook is refused before the numbers, which are checked in turn.
    if (const std::optional<Refusal> format = refusal_of_format(request.data)) {
      return refuse(shown + ": " + format->message);
    }
    const auto given = [](const std::optional<std::string>& answer, int from_shape) {
      return answer ? *answer : std::to_string(from_shape);
    };
    std::string error;
    const std::optional<int> participants =
        count_in(given(request.participants, shape ? shape->participants : 0), "participants",
                 fewest_participants(group_size), full_groups_words(group_size), &error);
    if (!participants) return refuse(error);
    const std::optional<int> items =
        count_in(given(request.items, shape ? shape->items : 0), "items", 1, "", &error);
    if (!items) return refuse(error);
    typed = StudyShape{*participants, *items};
  }

  StudyLoad load = load_study(request.data, typed);
  if (!load.loaded()) return refuse(shown + ": " + load.refusal.message);
  Study& study = *load.study;
  if (!typed && study.responses.participants() < fewest_participants(group_size)) {
    return refuse(shown + ": " + too_few_participants(study.responses.participants(), group_size));
  }
  study.file_name = name;
  for (const std::string& note : study.reading.notes) outcome.notes.push_back(shown + ": " + note);
  RunOutcome run = compute_run(study, *request.edition, request.seed, request.export_name,
                               program_release(*request.edition), request.sets_scored);
  for (std::string& note : run.notes) outcome.notes.push_back(std::move(note));
  run.notes.clear();
  outcome.run = std::move(run);
  return outcome;
}

}  // namespace quorvane
