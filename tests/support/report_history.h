#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "tests/support/temp_folder.h"

namespace quorvane::testing {

// A run of a real program as a test saw it: its edition, the study it was given, and the clock
// seconds from its start to its end, one of which seeded it.
struct ObservedRun {
  const EditionProfile* edition;
  std::vector<int> responses;
  int participants;
  int items;
  std::uint32_t first_second;
  std::uint32_t last_second;
};

// The clock's seconds as the programs read them for their seed.
std::uint32_t clock_second();

// Checks that the folder's report files hold one whole section of every run and nothing else:
// each section exactly as the computation writes it for one of the run's seconds, the runs in
// one order shared by every file. Returns what is wrong, or nothing.
std::string check_report_history(const TempFolder& folder, const std::vector<ObservedRun>& runs);

}  // namespace quorvane::testing
