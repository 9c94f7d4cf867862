#include "bench/ratio_reporter.h"

#include <algorithm>
#include <cstdio>
#include <ostream>

namespace quorvane::bench {

double RatioReporter::Measured::seconds() const {
  if (median >= 0.0) return median;
  if (samples.empty()) return -1.0;
  std::vector<double> sorted = samples;
  std::sort(sorted.begin(), sorted.end());
  const std::size_t middle = sorted.size() / 2;
  return sorted.size() % 2 == 1 ? sorted[middle] : (sorted[middle - 1] + sorted[middle]) / 2.0;
}

void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
  ConsoleReporter::ReportRuns(runs);
  for (const Run& run : runs) {
    if (run.error_occurred) continue;
    const std::string& name = run.run_name.function_name;
    const std::size_t slash = name.rfind('/');
    if (slash == std::string::npos) continue;
    const std::string study = name.substr(0, slash);
    const std::string part = name.substr(slash + 1);
    if (part != "whole_run" && part != "draws_alone") continue;
    if (times_.count(study) == 0) studies_.push_back(study);
    Measured& measured = times_[study][part];
    const double seconds =
        run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    if (run.run_type == Run::RT_Iteration) {
      measured.samples.push_back(seconds);
    } else if (run.aggregate_name == "median") {
      measured.median = seconds;
    }
  }
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  std::ostream& out = GetOutputStream();
  char line[160];
  out << "\nWhole run against the draws alone (real time; the median when repeated):\n";
  std::snprintf(line, sizeof line, "%-18s %14s %14s %8s\n", "study", "draws alone", "whole run",
                "ratio");
  out << line;
  for (const std::string& study : studies_) {
    std::map<std::string, Measured>& parts = times_[study];
    const double draws = parts["draws_alone"].seconds();
    const double whole = parts["whole_run"].seconds();
    if (draws <= 0.0 || whole <= 0.0) continue;
    std::snprintf(line, sizeof line, "%-18s %11.2f ms %11.2f ms %8.2f\n", study.c_str(),
                  draws * 1e3, whole * 1e3, whole / draws);
    out << line;
  }
}

}  // namespace quorvane::bench
