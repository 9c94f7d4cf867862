#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quorvane::bench {

// The console report, followed by a summary: for each study, the real time of each of its parts
// (the benchmarks named "<study>/<part>"; the median of a repeated one) and the ratio of its
// "whole_run" to its "draws_alone"; then the time of scoring alone with each kernel (the
// benchmarks named "<study>/<kernel>") and how many times faster it is than the portable one.
// Studies and parts are listed in the order given, whatever order the benchmarks ran in.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  SummaryReporter(OutputOptions options, std::vector<std::string> studies,
                  std::vector<std::string> parts, std::vector<std::string> kernels)
      : ConsoleReporter(options),
        studies_(std::move(studies)),
        parts_(std::move(parts)),
        kernels_(std::move(kernels)) {}

  void ReportRuns(const std::vector<Run>& runs) override;
  void Finalize() override;

 private:
  struct Measured {
    std::vector<double> samples;  // seconds, one per repetition
    double median = -1.0;         // seconds, when reported as an aggregate
    // The median, or -1 when the benchmark did not run.
    double seconds() const;
  };

  std::vector<std::string> studies_;
  std::vector<std::string> parts_;
  std::vector<std::string> kernels_;       // the scoring kernels, the portable one first
  std::map<std::string, Measured> times_;  // by benchmark name
};

}  // namespace quorvane::bench
