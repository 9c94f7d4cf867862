#include "bench/summary_reporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace quorvane::bench {

double SummaryReporter::Measured::seconds() const {
  if (median >= 0.0) return median;
  if (samples.empty()) return -1.0;
  std::vector<double> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

void SummaryReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    Measured& measured = times_[run.run_name.function_name];
    const double seconds =
        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    if (run.run_type == Run::RT_Iteration) {
      measured.samples.push_back(seconds);
    } else if (run.aggregate_name == "median") {
      measured.median = seconds;
    }
  }
}

void SummaryReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  char cell[64];
  out << "\nReal time in ms (the median when repeated), and the whole run against the draws "
         "alone:\n";
  std::snprintf(cell, sizeof cell, "%-16s", "study");
  out << cell;
  for (const std::string& part : parts_) {
    std::snprintf(cell, sizeof cell, " %11s", part.c_str());
    out << cell;
  }
  out << "       ratio\n";
  for (const std::string& study : studies_) {
    bool ran = false;
    std::string line;
    std::snprintf(cell, sizeof cell, "%-16s", study.c_str());
    line += cell;
    for (const std::string& part : parts_) {
      const double seconds = times_[study + "/" + part].seconds();
      ran = ran || seconds >= 0.0;
      if (seconds >= 0.0) {
        std::snprintf(cell, sizeof cell, " %11.2f", seconds * 1e3);
      } else {
        std::snprintf(cell, sizeof cell, " %11s", "-");
      }
      line += cell;
    }
    const double draws = times_[study + "/draws_alone"].seconds();
    const double whole = times_[study + "/whole_run"].seconds();
    if (draws > 0.0 && whole > 0.0) {
      std::snprintf(cell, sizeof cell, " %11.2f", whole / draws);
    } else {
      std::snprintf(cell, sizeof cell, " %11s", "-");
    }
    if (ran) out << line << cell << '\n';
  }

  out << "\nScoring alone in ms with each kernel, and the portable kernel's time against each:\n";
  for (const std::string& study : studies_) {
    const double portable = times_[study + "/" + kernels_.front()].seconds();
    if (portable < 0.0) continue;
    std::snprintf(cell, sizeof cell, "%-16s", study.c_str());
    out << cell;
    for (const std::string& kernel : kernels_) {
      const double seconds = times_[study + "/" + kernel].seconds();
      if (seconds <= 0.0) continue;
      std::snprintf(cell, sizeof cell, " %s %.2f (x%.2f)", kernel.c_str(), seconds * 1e3,
                    portable / seconds);
      out << cell;
    }
    out << '\n';
  }
}

}  // namespace quorvane::bench
