#include "programs/run_driver.h"

#include <algorithm>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/failure_words.h"
#include "programs/program_release.h"
#include "programs/study_dialogue.h"
#include "reports/export_files.h"
#include "reports/report_names.h"
#include "simulation/nominal_group_run.h"
#include "simulation/set_label.h"
#include "storage/report_append.h"
#include "studies/run_outcome.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

std::string study_size(const Study& study) {
  return "this study of " + std::to_string(study.responses.participants()) + " participants by " +
         std::to_string(study.responses.items()) + " items";
}

// The folder part of an export name, with its separator ("" for the working folder).
std::string export_folder(const std::string& name) {
#if defined(_WIN32)
  const std::size_t separator = name.find_last_of("/\\");
#else
  const std::size_t separator = name.rfind('/');
#endif
  return separator == std::string::npos ? std::string() : name.substr(0, separator + 1);
}

// An export is checked before anything is asked: its names must be free, and its folder one
// that exists and takes new files, so that the computation is not lost on it. *error says what
// is wrong and what to do.
bool export_can_be_written(FileSystem& files, const std::string& export_name, std::string* error) {
  const std::string folder = export_folder(export_name);
  FileSystem::FileState state;
  FileFailure failure;
  if (!folder.empty()) {
    const std::string shown = folder.substr(0, folder.size() - 1);
    if (!files.inspect(shown.empty() ? folder : shown, &state, &failure)) {
      *error = folder + ": cannot check the export's folder: " + failure_words(failure) +
               kNothingChanged;
      return false;
    }
    if (!state.folder) {
      *error = folder + ": " +
               (state.exists ? "the export's folder is not a folder"
                             : "the export's folder does not exist") +
               "; create it or choose another export name, and run again" + kNothingChanged;
      return false;
    }
  }
  for (const std::string& name : export_file_names(export_name)) {
    if (!files.inspect(name, &state, &failure)) {
      *error = name + ": cannot check the export file: " + failure_words(failure) + kNothingChanged;
      return false;
    }
    if (state.exists || state.dangling_link) {
      *error = name + ": " + kExportFileExists + kNothingChanged;
      return false;
    }
  }
  // A file created and removed again: the folder takes the export's files.
  const std::string probe = export_name + "-probe.tmp";
  int handle = -1;
  std::uint64_t size = 0;
  if (!files.open_for_append(probe, true, &handle, &size, &failure)) {
    if (failure.code == FileFailure::Code::kExists) return true;  // someone else's: no telling
    *error = (folder.empty() ? std::string("the working folder") : folder) +
             ": cannot write the export's files there: " + failure_words(failure) +
             "; choose a folder you can write to (or fix its permissions) and run again" +
             kNothingChanged;
    return false;
  }
  files.close(handle, &failure);
  files.remove(probe, &failure);
  return true;
}

}  // namespace

AppendScope append_scope() {
  AppendScope scope;
  for (const EditionProfile* edition : {&kPairsEdition, &kTriadsEdition, &kQuadsEdition}) {
    for (const std::string& name : report_file_names(edition->words)) {
      if (std::find(scope.report_names.begin(), scope.report_names.end(), name) ==
          scope.report_names.end()) {
        scope.report_names.push_back(name);
      }
    }
  }
  // Quorvane-Groups's reports of every larger size, known by their form alone.
  scope.is_report_name = [](const std::string& name) {
    return group_size_of_report_name(name) != 0;
  };
  for (const std::string& ending : export_file_names("")) scope.export_endings.push_back(ending);
  return scope;
}

int compute_and_append(const EditionProfile& edition, Console console, FileSystem& files,
                       const RunOptions& options, const Study& study);

std::string finished_line(const std::string& report_folder,
                          const std::optional<std::string>& export_name,
                          std::optional<std::uint32_t> clock_seed) {
  std::string seed;
  if (clock_seed) {
    const std::string number = std::to_string(*clock_seed);
    seed = "; seed " + number + " (repeat with --seed " + number + ")";
  }
  return "\nThe reports" + (export_name ? " and the export " + readable(*export_name) : "") +
         " were written in the folder " + readable(report_folder) + seed + "\n";
}

int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const RunOptions& options) {
  // An export never overwrites, and its folder must take it: checked before anything is asked.
  if (options.export_name) {
    std::string error;
    if (!export_can_be_written(files, *options.export_name, &error)) {
      say_error(edition, console, error);
      return kRunFailed;
    }
  }

  const std::optional<Study> study =
      ask_for_study(edition, console, files, options.data_file, options.memory_limit);
  if (!study) return kRunFailed;

  const std::uint64_t needed = memory_needed(study->responses, edition.group_size);
  const std::string limit_said = limit_words(options.memory_limit);
  if (options.memory_limit && *options.memory_limit < needed) {
    say_error(edition, console,
              "not enough memory for " + study_size(*study) + ", which needs about " +
                  megabytes(needed) + ": " + limit_said +
                  "; raise the limit (ulimit -v) and run again" + kNothingChanged);
    return kRunFailed;
  }
  try {
    return compute_and_append(edition, console, files, options, *study);
  } catch (const std::bad_alloc&) {
    say_error(edition, console,
              "not enough memory for " + study_size(*study) + ", which needs about " +
                  megabytes(needed) + " (the system refused the memory the run needs; " +
                  limit_said + "); close other programs or raise the limit and run again" +
                  kNothingChanged);
    return kRunFailed;
  }
}

int compute_and_append(const EditionProfile& edition, Console console, FileSystem& files,
                       const RunOptions& options, const Study& study) {
  const std::uint32_t seed = options.read_seed();
  const RunOutcome outcome =
      compute_run(study, edition, seed, options.export_name, program_release(edition));
  const auto note = [&](const std::string& text) { say_note(edition, console, text); };
  for (const std::string& text : outcome.notes) note(text);
  std::string error;
  if (!append_reports(files, append_scope(), outcome.reports, outcome.exports, note, &error)) {
    say_error(edition, console, error);
    return kRunFailed;
  }
  if (!options.report_folder.empty()) {
    console.out << finished_line(
                       options.report_folder, options.export_name,
                       options.seed_from_clock ? std::optional<std::uint32_t>(seed) : std::nullopt)
                << std::flush;
  }
  return kRunSucceeded;
}

}  // namespace quorvane
