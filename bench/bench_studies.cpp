#include "bench/bench_studies.h"

#include "editions/edition_profile.h"
#include "tests/support/studies.h"

namespace quorvane::bench {
namespace {

BenchStudy study(const char* edition_name, const EditionProfile& edition, int participants,
                 int items, unsigned responses_seed) {
  return {
      std::string(edition_name) + "_" + std::to_string(participants) + "x" + std::to_string(items),
      &edition,
      testing::matrix_of(testing::made_up_responses(participants, items, responses_seed),
                         participants, items)};
}

}  // namespace

std::vector<BenchStudy> bench_studies() {
  std::vector<BenchStudy> studies;
  studies.push_back(study("pairs", kPairsEdition, 100, 100, 101));
  studies.push_back(study("triads", kTriadsEdition, 99, 100, 102));
  studies.push_back(study("quads", kQuadsEdition, 100, 100, 103));
  studies.push_back(study("triads", kTriadsEdition, 30, 20, 104));
  // Large studies: the time of a run grows with N x 10,000.
  studies.push_back(study("pairs", kPairsEdition, 1000, 1000, 105));
  studies.push_back(study("pairs", kPairsEdition, 10000, 1000, 106));
  return studies;
}

}  // namespace quorvane::bench
