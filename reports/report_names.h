#pragma once

#include <array>
#include <string>

#include "reports/report_words.h"

namespace quorvane {

// The eight report files, numbered as researchers know them.
enum class ReportFile {
  kRepresentative = 1,  // grand statistics and the overall distribution
  kSetStatistics = 2,   // mean and variance of every set
  kMvChiSquares = 3,    // MV chi-square of every set with the running best
  kMvListing = 4,       // the groups of the MV best set
  kDistChiSquares = 5,  // DIST chi-square of every set with the running best
  kDistListing = 6,     // the groups of the DIST best set
  kMvCumulative = 7,    // one line per run: the MV best fit
  kDistCumulative = 8,  // one line per run: the DIST best fit
};
inline constexpr int kReportFileCount = 8;

// The names of the eight report files of a program's groups in the working folder, file 1
// first.
std::array<std::string, kReportFileCount> report_file_names(const ReportWords& words);

}  // namespace quorvane
