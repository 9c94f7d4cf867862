#pragma once

// The three real programs as built, for the tests that run them.

#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "tests/support/editions.h"

namespace quorvane::testing {

struct Program {
  const char* path;
  const char* name;
  int group_size;
  const EditionProfile* edition;
};

inline const Program kPairs{QUORVANE_PAIRS, "Quorvane-Pairs", 2, &kPairsEdition};
inline const Program kTriads{QUORVANE_TRIADS, "Quorvane-Triads", 3, &kTriadsEdition};
inline const Program kQuads{QUORVANE_QUADS, "Quorvane-Quads", 4, &kQuadsEdition};
inline const Program* const kPrograms[] = {&kPairs, &kTriads, &kQuads};
// Quorvane-Groups, which takes --group-size K.
inline constexpr const char* kGroupsPath = QUORVANE_GROUPS;

// The program's eight report file names, file 1 first.
inline std::vector<std::string> report_names(const Program& program) {
  return report_names(*program.edition);
}

}  // namespace quorvane::testing
