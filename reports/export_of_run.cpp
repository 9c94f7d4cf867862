#include "reports/export_of_run.h"

#include "simulation/exact_reference.h"
#include "simulation/set_label.h"

namespace quorvane {

ExportedFit fit_of(const SearchLog& search, const ChosenSet& choice, const SetStatistics& sets,
                   int items, int group_size) {
  ExportedFit fit;
  fit.found = search.found();
  if (!fit.found) return fit;
  const SetLabel label = label_of(search.best());
  fit.row = label.row;
  fit.column = label.column;
  const auto best = static_cast<std::size_t>(search.best());
  fit.chi_square = search.chi_square[best];
  fit.mean = sets.mean[best];
  fit.variance = sets.variance[best];
  const auto groups = choice.num_correct.size();
  std::vector<unsigned> counts(static_cast<std::size_t>(items + 1));
  for (std::size_t group = 0; group < groups; ++group) {
    const auto first = choice.members.begin() + static_cast<std::ptrdiff_t>(group) * group_size;
    fit.groups.emplace_back(first, first + group_size);
    fit.num_correct.push_back(choice.num_correct[group]);
    counts[static_cast<std::size_t>(choice.num_correct[group])] += 1;
  }
  const double groups_as_double = static_cast<double>(groups);
  for (const unsigned count : counts)
    fit.percentages.push_back(count / groups_as_double * kPercent);
  return fit;
}

ExportData export_of_run(const ResponseMatrix& study, const RunResult& result,
                         const std::string& data_file, std::uint32_t seed) {
  ExportData data;
  data.data_file = data_file;
  data.participants = study.participants();
  data.items = result.items;
  data.group_size = result.group_size;
  data.seed = seed;
  data.overall_mean = result.statistics.grand.overall_mean;
  data.overall_variance = result.statistics.grand.overall_variance;
  data.overall_percentages = result.statistics.grand.overall_percentages;
  data.exact = exact_reference(study, result.group_size);
  const SetStatistics& sets = result.statistics.sets;
  data.sets = {&sets.mean, &sets.variance, &result.mv.chi_square, &result.dist.chi_square};
  data.mv = fit_of(result.mv, result.mv_choice, sets, result.items, result.group_size);
  data.dist = fit_of(result.dist, result.dist_choice, sets, result.items, result.group_size);
  return data;
}

std::string exact_values_left_out(const ExportData& data) {
  const bool variance = !data.exact.variance, distribution = data.exact.percentages.empty();
  if (!variance && !distribution) return "";
  const std::string what = variance && distribution ? "variance and distribution"
                           : variance               ? "variance"
                                                    : "distribution";
  return "the exact " + what + (variance && distribution ? " are" : " is") +
         " left out of the export, as computing " + (variance && distribution ? "them" : "it") +
         " for " + std::to_string(data.participants) + " participants and " +
         std::to_string(data.items) + " items would take more than a second";
}

}  // namespace quorvane
