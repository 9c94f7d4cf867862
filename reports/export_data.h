#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "simulation/exact_reference.h"

namespace quorvane {

// What the export of one run shows, as plain values: the tables and the picture are rendered
// from it alone.

// The 10,000 sets' figures, each list in grid order, read where the run keeps them: the export
// copies none of them, so the lists must outlive the data that points to them. Set i is labelled
// label_of(i); a list that is missing or too short leaves its fields empty.
struct ExportedSets {
  const std::vector<double>* mean = nullptr;
  const std::vector<double>* variance = nullptr;
  const std::vector<double>* mv_chi_square = nullptr;
  const std::vector<double>* dist_chi_square = nullptr;

  std::size_t count() const { return mean == nullptr ? 0 : mean->size(); }
};

// The set one best-fit search chose, or none when `found` is false.
struct ExportedFit {
  bool found = false;
  int row = 0;
  int column = 0;
  double chi_square = 0.0;
  double mean = 0.0;
  double variance = 0.0;
  std::vector<double> percentages;       // v = 0..M: its groups scoring v / G * 100.0
  std::vector<std::vector<int>> groups;  // each group's k members, in slot order
  std::vector<int> num_correct;          // each group's number correct
};

// The program that made the run, as an export names and cites it.
struct ProgramRelease {
  std::string program;   // "Quorvane-Triads"
  std::string version;   // "2.0"
  std::string citation;  // the reference to cite, as CITATION.cff gives it
};

struct ExportData {
  ProgramRelease release;
  std::string data_file;  // as the user named it
  int participants = 0;   // N
  int items = 0;          // M
  int group_size = 0;     // k
  std::uint32_t seed = 0;
  double overall_mean = 0.0;                // the average of the 10,000 set means
  double overall_variance = 0.0;            // and of their variances
  std::vector<double> overall_percentages;  // v = 0..M, over all groups of all 10,000 sets
  ExactReference exact;                     // what the overall figures estimate
  ExportedSets sets;
  ExportedFit mv;
  ExportedFit dist;
  std::vector<std::string> labels;  // participant 1..N's, when the data file had them

  // G, the full groups of every set.
  int full_groups() const { return group_size > 0 ? participants / group_size : 0; }
};

}  // namespace quorvane
