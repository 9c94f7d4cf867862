#include "programs/memory_estimate.h"

#include <algorithm>

#include "simulation/nominal_group_run.h"
#include "simulation/set_label.h"

namespace quorvane {
namespace {

// The responses as bits, each participant's in whole 512-bit pieces above 128 items.
std::uint64_t mask_bytes(int participants, int items) {
  const std::uint64_t words = (static_cast<std::uint64_t>(items) + 63) / 64;
  return (static_cast<std::uint64_t>(participants) + 1) * (words <= 2 ? 2 : (words + 7) / 8 * 8) *
         sizeof(std::uint64_t);
}

// The run's result (per set: statistics and both searches) and its reports: the lines of the
// 10,000 sets in files 2, 3 and 5, a line per group in files 4 and 6 and per value in file 1.
std::uint64_t report_bytes(int participants, int items, int group_size) {
  const std::uint64_t sets = kSetCount;
  const auto groups = static_cast<std::uint64_t>(participants / group_size);
  return sets * (2 * sizeof(double) + 2 * (sizeof(double) + sizeof(int))) + sets * (48 + 112 + 72) +
         groups * 2 * 40 + (static_cast<std::uint64_t>(items) + 1) * 24;
}

}  // namespace

std::uint64_t memory_needed(int participants, int items, int group_size) {
  return kProgramBytes + mask_bytes(participants, items) +
         report_bytes(participants, items, group_size);
}

std::uint64_t memory_needed(const ResponseMatrix& matrix, int group_size) {
  // The computation's tables are freed before the reports are written.
  const int participants = matrix.participants();
  const int items = matrix.items();
  return kProgramBytes + mask_bytes(participants, items) +
         std::max(report_bytes(participants, items, group_size),
                  simulation_bytes(matrix, group_size));
}

std::string megabytes(std::uint64_t bytes) {
  constexpr std::uint64_t kMegabyte = 1024 * 1024;
  return std::to_string((bytes + kMegabyte - 1) / kMegabyte) + " MB";
}

std::string limit_words(const std::optional<std::uint64_t>& memory_limit) {
  return memory_limit ? "the limit set for this program (ulimit -v) is " + megabytes(*memory_limit)
                      : std::string("no limit is set for this program");
}

std::uint64_t reading_memory_needed(std::uint64_t file_bytes) {
  return kProgramBytes + file_bytes + file_bytes / 16;
}

}  // namespace quorvane
