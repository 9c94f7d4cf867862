#include "programs/run_driver.h"

#include <optional>
#include <string>

#include "programs/study_dialogue.h"
#include "reports/report_append.h"
#include "reports/report_files.h"
#include "simulation/nominal_group_run.h"

namespace quorvane {
namespace {

std::string why_no_mv_best(const RunOutcome& outcome) {
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
  const std::optional<Study> study = ask_for_study(edition, console, files);
  if (!study) return kRunFailed;

  ReportFiles reports(edition);
  const RunOutcome outcome = run_simulation(edition, study->matrix, read_seed(), reports);
  if (!outcome.mv_best_found) {
    say_note(edition, console,
             "no set could be chosen by mean and variance: " + why_no_mv_best(outcome) +
                 "; its reports show the best set as 0-0");
  }
  if (!outcome.dist_best_found) {
    say_note(edition, console,
             "no set could be chosen by distribution: no set's chi-square is a number below "
             "1000000; its reports show the best set as 0-0");
  }
  const auto note = [&](const std::string& text) { say_note(edition, console, text); };
  std::string error;
  if (!append_reports(files, reports.sections(), note, &error)) {
    say_error(edition, console, error);
    return kRunFailed;
  }
  return kRunSucceeded;
}

}  // namespace quorvane
