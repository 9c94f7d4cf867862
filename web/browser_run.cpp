#include "web/browser_run.h"

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <utility>

#include "editions/edition_profile.h"
#include "programs/console.h"
#include "programs/program_release.h"
#include "programs/run_driver.h"
#include "programs/study_dialogue.h"
#include "studies/run_outcome.h"
#include "studies/study.h"

namespace quorvane {
namespace {

constexpr const char* kNoFolder = "the page has no folder of files";

// The file system of a run in the page: one file, the study's bytes under its name, and no
// report file can be the data file since reports are only rendered, never appended.
class StudyBytes final : public FileSystem {
 public:
  StudyBytes(const std::string& name, const std::string& data) : name_(name), data_(data) {}

  std::unique_ptr<std::istream> open_for_reading(const std::string&, FileIdentity* identity,
                                                 FileFailure*) override {
    *identity = FileIdentity{};
    return std::make_unique<std::istringstream>(data_);
  }
  std::optional<FileIdentity> identity_of(const std::string&) override { return std::nullopt; }
  bool read_at(const std::string&, std::uint64_t, std::size_t, std::string*,
               FileFailure* failure) override {
    return refuse(failure);
  }
  bool begin_append(const std::function<void()>&, FileFailure* failure) override {
    return refuse(failure);
  }
  void end_append() override {}
  // Only the study's own name is a file: a whole typed line names it, blanks and all.
  bool inspect(const std::string& name, FileState* state, FileFailure*) override {
    *state = FileState{};
    state->exists = state->regular = name == name_;
    return true;
  }
  bool open_for_append(const std::string&, bool, int*, std::uint64_t*,
                       FileFailure* failure) override {
    return refuse(failure);
  }
  bool write_some(int, const char*, std::size_t, std::size_t*, FileFailure* failure) override {
    return refuse(failure);
  }
  bool close(int, FileFailure* failure) override { return refuse(failure); }
  bool truncate(const std::string&, std::uint64_t, FileFailure* failure) override {
    return refuse(failure);
  }
  bool remove(const std::string&, FileFailure* failure) override { return refuse(failure); }
  bool rename_to_new(const std::string&, const std::string&, FileFailure* failure) override {
    return refuse(failure);
  }

 private:
  static bool refuse(FileFailure* failure) {
    failure->code = FileFailure::Code::kOther;
    failure->reason = kNoFolder;
    return false;
  }

  const std::string& name_;
  const std::string& data_;
};

// The table's shape as the reader finds it for a data file on the command line; none when the
// file is not one it takes so.
std::optional<StudyShape> shape_of(const std::string& data) {
  const StudyLoad load = load_study(data, std::nullopt);
  if (!load.loaded()) return std::nullopt;
  return StudyShape{load.study->responses.participants(), load.study->responses.items()};
}

// An answer as one line typed: up to its first line break.
std::string one_line(const std::string& answer) {
  return answer.substr(0, answer.find_first_of("\r\n"));
}

// Splits what the run said on the error stream into its error and its notes.
void take_console_lines(const EditionProfile& edition, const std::string& said,
                        BrowserOutcome* outcome) {
  const std::string error_prefix = std::string(edition.program_name) + ": error: ";
  const std::string note_prefix = std::string(edition.program_name) + ": note: ";
  std::istringstream lines(said);
  std::string line;
  while (std::getline(lines, line)) {
    if (line.compare(0, error_prefix.size(), error_prefix) == 0) {
      outcome->refused = true;
      outcome->error = line.substr(error_prefix.size());
    } else if (line.compare(0, note_prefix.size(), note_prefix) == 0) {
      outcome->notes.push_back(line.substr(note_prefix.size()));
    }
  }
}

}  // namespace

std::optional<EditionProfile> edition_of_group_size(int group_size) {
  if (group_size < kSmallestGroupSize || group_size > kLargestGroupSize) return std::nullopt;
  return edition_profile(group_size);
}

BrowserOutcome run_in_browser(const BrowserRequest& request) {
  const EditionProfile& edition = *request.edition;
  const std::string name = one_line(request.file_name);
  // Without the numbers the run is the program's with the data file on its command line: the
  // table's shape gives them. With them, they are typed at the prompts, as in a console; one of
  // them alone is completed from the table's shape, where the file has one.
  const bool one_given = request.participants.has_value() != request.items.has_value();
  const std::optional<StudyShape> shape =
      one_given ? shape_of(request.data) : std::optional<StudyShape>();
  const bool asks = (request.participants && request.items) || shape;
  const auto answer = [](const std::optional<std::string>& given, int from_shape) {
    return given ? one_line(*given) : std::to_string(from_shape);
  };
  std::istringstream typed(
      asks ? name + "\n" + answer(request.participants, shape ? shape->participants : 0) + "\n" +
                 answer(request.items, shape ? shape->items : 0) + "\n"
           : std::string());
  std::ostringstream shown;
  std::ostringstream said;
  const Console console{typed, shown, said};
  StudyBytes files(name, request.data);

  BrowserOutcome outcome;
  const std::optional<Study> study =
      asks ? ask_for_study(edition, console, files) : ask_for_study(edition, console, files, name);
  take_console_lines(edition, said.str(), &outcome);
  if (study && !outcome.refused) {
    RunOutcome run = compute_run(*study, edition, request.seed, request.export_name,
                                 program_release(edition), request.sets_scored);
    for (std::string& note : run.notes) outcome.notes.push_back(std::move(note));
    outcome.reports = std::move(run.reports);
    outcome.exports = std::move(run.exports);
  }
  return outcome;
}

}  // namespace quorvane
