#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/named_text.h"
#include "reports/export_data.h"
#include "simulation/best_fit_search.h"
#include "simulation/set_scores.h"
#include "studies/study.h"

namespace quorvane {

// A run of a study as a value: what every front end shows, writes or hands on, with no console
// and no file system. The console programs print its notes and append its files; the web page
// and the R package take it apart.

// One group of a chosen set.
struct ChosenGroup {
  std::vector<int> members;         // participant numbers, counted from 1, in slot order
  std::vector<std::string> labels;  // their labels, when the study has them; else empty
  int number_correct = 0;
};

// The set one best-fit search chose, or none when `found` is false (the reports then show 0-0).
struct BestSet {
  bool found = false;
  int row = 0;  // its place in the 100 by 100 grid, each counted from 1
  int column = 0;
  double chi_square = 0.0;
  double mean = 0.0;
  double variance = 0.0;
  std::vector<ChosenGroup> groups;
};

// What the overall figures estimate, computed exactly from the study: each is empty when it was
// not computed (no export was asked for, or it would take more than about a second).
struct ExactValues {
  std::optional<double> mean;
  std::optional<double> variance;
  std::vector<double> percentages;  // v = 0..M
};

struct RunOutcome {
  std::vector<NamedText> reports;  // the sections of the eight reports, file 1 first
  std::vector<NamedText> exports;  // the export's files, when an export name was given
  // Each thing worth saying about the run, in order, as the programs say it after "note: ".
  std::vector<std::string> notes;
  std::uint32_t seed = 0;
  int group_size = 0;
  int participants = 0;
  int items = 0;
  double overall_mean = 0.0;      // the average of the 10,000 sets' means
  double overall_variance = 0.0;  // and of their variances
  ExactValues exact;
  BestSet mv;    // by mean and variance
  BestSet dist;  // by the whole distribution
};

// The note a run gives when a search found no best set (a front end that computes a run itself,
// as the R package does, gives the same words).
inline constexpr const char* kMvMeasure = "mean and variance";
inline constexpr const char* kDistMeasure = "distribution";
std::string no_best_set_note(const char* measure, SearchOutcome outcome);

// The whole computation of a study, seeded with `seed`, rendered in memory: the eight reports'
// sections and, with an export name, the export's files (named with it as their path prefix) and
// the exact values. The study holds at least two full groups of the edition's size. The export
// names and cites `release`; `sets_scored`, where given, hears the sets scored as the run goes.
RunOutcome compute_run(const Study& study, const EditionProfile& edition, std::uint32_t seed,
                       const std::optional<std::string>& export_name,
                       const ProgramRelease& release = {}, const SetsScored& sets_scored = nullptr);

}  // namespace quorvane
