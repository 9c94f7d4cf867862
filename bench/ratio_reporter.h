#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace quorvane::bench {

// The console report, followed by one summary line per study: the real time of its whole run
// against that of its draws alone, from the benchmarks named "<study>/whole_run" and
// "<study>/draws_alone". A repeated benchmark counts with its median.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  explicit RatioReporter(OutputOptions options) : ConsoleReporter(options) {}

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Measured {
    std::vector<double> samples;  // seconds, one per repetition
    double median = -1.0;         // seconds, when reported as an aggregate
    double seconds() const;
  };

  std::vector<std::string> studies_;                              // in the order first met
  std::map<std::string, std::map<std::string, Measured>> times_;  // study, then part
};

}  // namespace quorvane::bench
