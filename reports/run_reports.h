#pragma once

#include "reports/report_files.h"
#include "reports/report_words.h"
#include "simulation/nominal_group_run.h"

namespace quorvane {

// The text a run appends to each of the eight reports, in the order a reader meets it: files 2
// and 1 (every set's mean and variance, then the grand statistics), files 3 and 5 (every set's
// chi-square with the running best), files 7 and 8 (one line per search), files 4 and 6 (the
// chosen sets' groups). A search without a best set shows the set 0-0 with 0 and 1,000,000, and
// its listing holds only the headings.
ReportSections render_reports(const ReportWords& words, const RunResult& result);

}  // namespace quorvane
