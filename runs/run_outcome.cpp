#include "runs/run_outcome.h"

#include <utility>

#include "reports/export_files.h"
#include "reports/export_of_run.h"
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

// A chosen set as front ends show it: the export's figures and groups, with the members' labels.
BestSet best_set_of(const SearchLog& search, const ChosenSet& choice, const RunResult& result,
                    const std::vector<std::string>& labels) {
  const ExportedFit fit =
      fit_of(search, choice, result.statistics.sets, result.items, result.group_size);
  BestSet best{fit.found, fit.row, fit.column, fit.chi_square, fit.mean, fit.variance, {}};
  for (std::size_t group = 0; group < fit.groups.size(); ++group) {
    ChosenGroup chosen{fit.groups[group], {}, fit.num_correct[group]};
    for (const int member : chosen.members) {
      if (!labels.empty()) chosen.labels.push_back(labels[static_cast<std::size_t>(member) - 1]);
    }
    best.groups.push_back(std::move(chosen));
  }
  return best;
}

}  // namespace

std::string no_best_set_note(const char* measure, SearchOutcome outcome) {
  return std::string("no set could be chosen by ") + measure + ": " + why_none(outcome) +
         "; its reports show the best set as 0-0";
}

RunOutcome compute_run(const Study& study, const EditionProfile& edition, std::uint32_t seed,
                       const std::optional<std::string>& export_name, const ProgramRelease& release,
                       const SetsScored& sets_scored) {
  const RunResult result =
      run_simulation(study.responses, edition.group_size, seed, {sets_scored, nullptr});
  RunOutcome outcome;
  outcome.seed = seed;
  outcome.group_size = edition.group_size;
  outcome.participants = study.responses.participants();
  outcome.items = study.responses.items();
  outcome.overall_mean = result.statistics.grand.overall_mean;
  outcome.overall_variance = result.statistics.grand.overall_variance;
  outcome.mv = best_set_of(result.mv, result.mv_choice, result, study.labels);
  outcome.dist = best_set_of(result.dist, result.dist_choice, result, study.labels);
  if (!result.mv.found()) outcome.notes.push_back(no_best_set_note(kMvMeasure, result.mv.outcome));
  if (!result.dist.found()) {
    outcome.notes.push_back(no_best_set_note(kDistMeasure, result.dist.outcome));
  }
  for (NamedText& section : render_reports(edition.words, result)) {
    outcome.reports.push_back(std::move(section));
  }
  if (export_name) {
    ExportData data = export_of_run(study.responses, result, study.file_name, seed);
    data.labels = study.labels;
    data.release = release;
    const std::string left_out = exact_values_left_out(data);
    if (!left_out.empty()) outcome.notes.push_back(left_out);
    outcome.exact = {data.exact.mean, data.exact.variance, data.exact.percentages};
    for (NamedText& file : render_export_files(data, *export_name)) {
      outcome.exports.push_back(std::move(file));
    }
  }
  return outcome;
}

}  // namespace quorvane
