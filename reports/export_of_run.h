#pragma once

#include <cstdint>
#include <string>

#include "reports/edition_profile.h"
#include "reports/export_files.h"
#include "simulation/nominal_group_run.h"

namespace quorvane {

// What a run's export shows, taken from its result: every set's figures, the overall
// distribution, and each chosen set's groups and distribution (its groups scoring v, over G, as a
// percentage, worked out as the DIST search works it out).
ExportData export_of_run(const EditionProfile& edition, const RunResult& result,
                         const std::string& data_file, int participants, std::uint32_t seed);

}  // namespace quorvane
