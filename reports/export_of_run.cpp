#include "reports/export_of_run.h"

#include "simulation/set_label.h"

namespace quorvane {
namespace {

ExportedFit fit_of(const SearchLog& search, const ChosenSet& choice, int items, int group_size) {
  ExportedFit fit;
  fit.found = search.found();
  if (!fit.found) return fit;
  const SetLabel label = label_of(search.best());
  fit.row = label.row;
  fit.column = label.column;
  fit.chi_square = search.chi_square[static_cast<std::size_t>(search.best())];
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

}  // namespace

ExportData export_of_run(const EditionProfile& edition, const RunResult& result,
                         const std::string& data_file, int participants, std::uint32_t seed) {
  ExportData data;
  data.program_name = std::string(edition.program_name);
  data.data_file = data_file;
  data.participants = participants;
  data.items = result.items;
  data.group_size = result.group_size;
  data.seed = seed;
  data.overall_percentages = result.statistics.grand.overall_percentages;
  const SetStatistics& sets = result.statistics.sets;
  for (int set = 0; set < kSetCount; ++set) {
    const auto at = static_cast<std::size_t>(set);
    const SetLabel label = label_of(set);
    data.sets.push_back({label.row, label.column, sets.mean[at], sets.variance[at],
                         result.mv.chi_square[at], result.dist.chi_square[at]});
  }
  data.mv = fit_of(result.mv, result.mv_choice, result.items, result.group_size);
  data.dist = fit_of(result.dist, result.dist_choice, result.items, result.group_size);
  return data;
}

}  // namespace quorvane
