#include "programs/run_driver.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "programs/study_dialogue.h"
#include "reports/export_files.h"
#include "reports/export_of_run.h"
#include "reports/report_append.h"
#include "reports/run_reports.h"
#include "simulation/nominal_group_run.h"

namespace quorvane {
namespace {

// Why a search chose no set, as the console says it.
std::string why_none(SearchOutcome outcome) {
  switch (outcome) {
    case SearchOutcome::kOverallMeanIsZero:
      return "the overall mean is 0 (no group answered any item correctly)";
    case SearchOutcome::kOverallVarianceIsZero:
      return "the overall variance is 0 (within every set all groups scored alike)";
    case SearchOutcome::kFound:
    case SearchOutcome::kNoChiSquareBelowStart:
      break;
  }
  return "no set's chi-square is a number below " +
         std::to_string(static_cast<long long>(kInitialBestChiSquare));
}

}  // namespace

std::string no_best_set_note(const char* measure, SearchOutcome outcome) {
  return std::string("no set could be chosen by ") + measure + ": " + why_none(outcome) +
         "; its reports show the best set as 0-0";
}

int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const RunOptions& options) {
  // An export never overwrites: its names must be free before anything is asked.
  std::vector<ReportSection> export_files;
  if (options.export_name) {
    for (const std::string& name : export_file_names(*options.export_name)) {
      FileSystem::FileState state;
      std::string reason;
      if (!files.inspect(name, &state, &reason) || state.exists || state.dangling_link) {
        say_error(edition, console,
                  name + ": " +
                      (reason.empty() ? std::string(kExportFileExists)
                                      : "cannot check the export file: " + reason) +
                      "; no report file was changed");
        return kRunFailed;
      }
    }
  }

  const std::optional<Study> study = ask_for_study(edition, console, files);
  if (!study) return kRunFailed;

  const std::uint32_t seed = options.read_seed();
  const RunResult result = run_simulation(study->matrix, edition.group_size, seed);
  if (!result.mv.found()) {
    say_note(edition, console, no_best_set_note(kMvMeasure, result.mv.outcome));
  }
  if (!result.dist.found()) {
    say_note(edition, console, no_best_set_note(kDistMeasure, result.dist.outcome));
  }
  const ReportSections sections = render_reports(edition, result);
  if (options.export_name) {
    const ExportData data =
        export_of_run(edition, result, study->file_name, study->matrix.participants(), seed);
    for (ExportFile& file : render_export_files(data, *options.export_name)) {
      export_files.push_back({std::move(file.file_name), std::move(file.text)});
    }
  }
  const auto note = [&](const std::string& text) { say_note(edition, console, text); };
  std::string error;
  if (!append_reports(files, sections, export_files, note, &error)) {
    say_error(edition, console, error);
    return kRunFailed;
  }
  return kRunSucceeded;
}

}  // namespace quorvane
