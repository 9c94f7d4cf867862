#include "programs/run_driver.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/failure_words.h"
#include "programs/export_check.h"
#include "programs/program_release.h"
#include "programs/study_dialogue.h"
#include "reports/export_files.h"
#include "reports/report_names.h"
#include "runs/run_outcome.h"
#include "simulation/nominal_group_run.h"
#include "simulation/set_label.h"
#include "storage/report_append.h"
#include "studies/word_reader.h"

namespace quorvane {
namespace {

std::string study_size(const Study& study) {
  return "this study of " + std::to_string(study.responses.participants()) + " participants by " +
         std::to_string(study.responses.items()) + " items";
}

// The line that ends a run on an interactive console, after "Performing calculations...", with
// the seed drawn from the clock where there was one.
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

// The computation of a loaded study and the append of its reports and export.
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

}  // namespace

int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const RunOptions& options) {
  // The reports' folder must take them, an export never overwrites, and its folder must take
  // it: checked before anything is asked.
  {
    std::string error;
    if (!run_can_be_written(files, options.export_name, &error)) {
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

}  // namespace quorvane
