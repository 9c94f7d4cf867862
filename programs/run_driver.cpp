#include "programs/run_driver.h"

#include <optional>
#include <string>

#include "programs/study_dialogue.h"
#include "reports/report_append.h"
#include "reports/run_reports.h"
#include "simulation/nominal_group_run.h"

namespace quorvane {
namespace {

// Why a search chose no set, as the console says it.
const char* why_none(SearchOutcome outcome) {
  switch (outcome) {
    case SearchOutcome::kOverallMeanIsZero:
      return "the overall mean is 0 (no group answered any item correctly)";
    case SearchOutcome::kOverallVarianceIsZero:
      return "the overall variance is 0 (within every set all groups scored alike)";
    case SearchOutcome::kFound:
    case SearchOutcome::kNoChiSquareBelowStart:
      break;
  }
  return "no set's chi-square is a number below 1000000";
}

}  // namespace

std::string no_best_set_note(const char* measure, SearchOutcome outcome) {
  return std::string("no set could be chosen by ") + measure + ": " + why_none(outcome) +
         "; its reports show the best set as 0-0";
}

int run_program(const EditionProfile& edition, Console console, FileSystem& files,
                const std::function<std::uint32_t()>& read_seed) {
  const std::optional<Study> study = ask_for_study(edition, console, files);
  if (!study) return kRunFailed;

  const RunResult result = run_simulation(study->matrix, edition.group_size, read_seed());
  if (!result.mv.found()) {
    say_note(edition, console, no_best_set_note(kMvMeasure, result.mv.outcome));
  }
  if (!result.dist.found()) {
    say_note(edition, console, no_best_set_note(kDistMeasure, result.dist.outcome));
  }
  const ReportSections sections = render_reports(edition, result);
  const auto note = [&](const std::string& text) { say_note(edition, console, text); };
  std::string error;
  if (!append_reports(files, sections, note, &error)) {
    say_error(edition, console, error);
    return kRunFailed;
  }
  return kRunSucceeded;
}

}  // namespace quorvane
