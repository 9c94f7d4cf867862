#pragma once

namespace quorvane::testing {

// The words each edition's reports use, written out in full here rather than taken from the code
// under test, so that the tests and the reference model hold the code to them.
struct EditionWords {
  int group_size;
  const char* program_name;
  const char* banner;
  const char* file2_name;
  const char* file4_name;
  const char* file6_name;
  const char* statistics_heading;
  const char* mv_listing_heading;
  const char* dist_listing_heading;
  const char* column_heading;
};

inline constexpr EditionWords kEditionWords[] = {
    {2, "Quorvane-Pairs", "\nQuorvane-Pairs -- Ardevine.\n\n", "NG-2-10000-Sets-Of-NG-Pairings.txt",
     "NG-4-Best-Fit-MV-Pairings-NumCorrect.txt", "NG-6-Best-Fit-DIST-Pairings-NumCorrect.txt",
     "\nStatistics for the 10,000 Sets of Random Nominal Group Pairings:\n\n",
     "\nNominal Group Pairings & Number Correct for Best Fitting MV Set\n\n",
     "\nNominal Group Pairings & Number Correct for Best Fitting DIST Set\n\n",
     "\nPairs\t\tNumCorr\n"},
    {3, "Quorvane-Triads", "\nQuorvane-Triads -- Ardevine.\n\n", "NG-2-10000-Sets-Of-NG-Triads.txt",
     "NG-4-Best-Fit-MV-Triads-NumCorrect.txt", "NG-6-Best-Fit-DIST-Triads-NumCorrect.txt",
     "\nStatistics for the 10,000 Sets of Random Nominal Group Triads:\n\n",
     "\nNominal Group Triads & Number Correct for Best Fitting MV Set\n\n",
     "\nNominal Group Triads & Number Correct for Best Fitting DIST Set\n\n",
     "\nTriads\t\tNumCorr\n"},
    {4, "Quorvane-Quads", "\nQuorvane-Quads -- Ardevine.\n\n", "NG-2-10000-Sets-Of-NG-Quads.txt",
     "NG-4-Best-Fit-MV-Quads-NumCorrect.txt", "NG-6-Best-Fit-DIST-Quads-NumCorrect.txt",
     "\nStatistics for the 10,000 Sets of Random Nominal Group Quads:\n\n",
     "\nNominal Group Quads & Number Correct for Best Fitting MV Set\n\n",
     "\nNominal Group Quads & Number Correct for Best Fitting DIST Set\n\n",
     "\nQuads\t\tNumCorr\n"},
};

// The words of the edition with groups of the size, 2 to 4.
inline const EditionWords& edition_words(int group_size) {
  return kEditionWords[group_size == 2 ? 0 : group_size == 3 ? 1 : 2];
}

}  // namespace quorvane::testing
