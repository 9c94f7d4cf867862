#pragma once

#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "simulation/response_matrix.h"

namespace quorvane::bench {

// A study the benchmark runs: an edition and a made-up response matrix.
struct BenchStudy {
  std::string name;  // "pairs_100x100": edition, participants x items
  const EditionProfile* edition;
  ResponseMatrix matrix;
};

// The largest study of each edition (100 participants, 99 for triads so that every group is full,
// and 100 items), the small study of the bundled sample's size, and pairs of 1,000 and 10,000
// participants by 1,000 items.
std::vector<BenchStudy> bench_studies();

}  // namespace quorvane::bench
