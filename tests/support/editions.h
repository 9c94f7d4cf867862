#pragma once

#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "tests/support/edition_words.h"

namespace quorvane::testing {

// The profile of the program with groups of the size: an edition's for 2 to 4.
inline EditionProfile edition_of(int group_size) { return edition_profile(group_size); }

// The edition's eight report file names, file 1 first, spelled out in the tests' own words rather
// than taken from the code under test.
inline std::vector<std::string> report_names(const EditionProfile& edition) {
  const EditionWords words = edition_words(edition.group_size);
  return {"NG-1-Representative-MV-DIST.txt",
          words.file2_name,
          "NG-3-Best-Fit-MV-ChiSqValues.txt",
          words.file4_name,
          "NG-5-Best-Fit-DIST-ChiSqValues.txt",
          words.file6_name,
          "NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt",
          "NG-8-Cumulative-Best-Fit-DIST-For-Multiple-Runs.txt"};
}

}  // namespace quorvane::testing
