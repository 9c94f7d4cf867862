#pragma once

#include <cstdint>
#include <string>

#include "reports/export_data.h"
#include "simulation/nominal_group_run.h"
#include "simulation/response_matrix.h"

namespace quorvane {

// A chosen set as the export shows it: its label, figures, groups (members and numbers correct)
// and distribution; nothing but `found` when the search chose none.
ExportedFit fit_of(const SearchLog& search, const ChosenSet& choice, const SetStatistics& sets,
                   int items, int group_size);

// What a run's export shows, taken from its result: the overall figures and distribution, the
// exact values they estimate (computed here from the study), each chosen set's figures, groups
// and distribution (its groups scoring v, over G, as a percentage, worked out as the DIST search
// works it out), and every set's figures, read in `result`, which must outlive the data.
ExportData export_of_run(const ResponseMatrix& study, const RunResult& result,
                         const std::string& data_file, std::uint32_t seed);

// What the export leaves out of the exact values, as a console note ("the exact variance and
// distribution are left out of the export: ..."), or nothing when it has them all.
std::string exact_values_left_out(const ExportData& data);

}  // namespace quorvane
