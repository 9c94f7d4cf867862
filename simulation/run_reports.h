#pragma once

#include "reports/report_files.h"
#include "simulation/best_fit_search.h"
#include "simulation/group_scoring.h"
#include "simulation/set_grid.h"
#include "simulation/set_statistics.h"

namespace quorvane {

// Files 2 and 1: every set's mean and variance, then the grand statistics.
void write_statistics(const Statistics& statistics, ReportFiles& reports);

// Files 3 and 5: every set's chi-square with the running best of its search.
void write_searches(const Statistics& statistics, const SearchLog& mv, const SearchLog& dist,
                    ReportFiles& reports);

// Files 7 and 8: one line per search with its best set's mean and variance, the overall mean and
// variance and the best chi-square. A search without a best set shows 0 and 1,000,000.
void write_summaries(const Statistics& statistics, const SearchLog& mv, const SearchLog& dist,
                     ReportFiles& reports);

// Files 4 and 6: the groups of each search's best set with their NumCorrect; only the headings
// for a search without a best set.
void write_listings(const SetGrid& grid, int items, const SearchLog& mv, const SearchLog& dist,
                    ReportFiles& reports);

}  // namespace quorvane
