#pragma once

#include <memory>
#include <string>
#include <vector>

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

// The words of Quorvane-Groups for groups of 5 or more, which name the size: spelled out here
// with the size written in.
struct GroupsWords {
  int group_size;
  std::string program_name = "Quorvane-Groups";
  std::string banner = "\nQuorvane-Groups -- Ardevine.\n\n";
  std::string size = std::to_string(group_size);
  std::string file2_name = "NG-2-10000-Sets-Of-NG-Groups-Of-" + size + ".txt";
  std::string file4_name = "NG-4-Best-Fit-MV-Groups-Of-" + size + "-NumCorrect.txt";
  std::string file6_name = "NG-6-Best-Fit-DIST-Groups-Of-" + size + "-NumCorrect.txt";
  std::string statistics_heading =
      "\nStatistics for the 10,000 Sets of Random Nominal Groups of " + size + ":\n\n";
  std::string mv_listing_heading =
      "\nNominal Groups of " + size + " & Number Correct for Best Fitting MV Set\n\n";
  std::string dist_listing_heading =
      "\nNominal Groups of " + size + " & Number Correct for Best Fitting DIST Set\n\n";
  std::string column_heading = "\nGroups of " + size + "\t\tNumCorr\n";
};

// The words as EditionWords, pointing into `words`, which must outlive them.
inline EditionWords as_edition_words(const GroupsWords& words) {
  return {words.group_size,
          words.program_name.c_str(),
          words.banner.c_str(),
          words.file2_name.c_str(),
          words.file4_name.c_str(),
          words.file6_name.c_str(),
          words.statistics_heading.c_str(),
          words.mv_listing_heading.c_str(),
          words.dist_listing_heading.c_str(),
          words.column_heading.c_str()};
}

// The words of groups of the size: an edition's for 2 to 4, else Quorvane-Groups's.
inline EditionWords edition_words(int group_size) {
  if (group_size >= 2 && group_size <= 4) return kEditionWords[group_size - 2];
  // Kept for the whole test program: the words of each size asked for, made once.
  static std::vector<std::unique_ptr<GroupsWords>> made;
  for (const auto& words : made) {
    if (words->group_size == group_size) return as_edition_words(*words);
  }
  made.push_back(std::make_unique<GroupsWords>(GroupsWords{group_size}));
  return as_edition_words(*made.back());
}

}  // namespace quorvane::testing
