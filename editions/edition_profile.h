#pragma once

#include <string>

#include "reports/report_words.h"

namespace quorvane {

// What one program of the family is, run with groups of one size: its name, the size of its
// nominal groups and the words its reports use for them. Groups of 2, 3 and 4 are the editions
// Quorvane-Pairs, -Triads and -Quads; Quorvane-Groups runs those three as they do, and groups of 5
// or more in words of their own, with the size in them.
struct EditionProfile {
  std::string program_name;  // "Quorvane-Triads": the message prefix, and the report banner
  int group_size = 0;        // k, members per nominal group
  ReportWords words;
};

// The program that takes the group size on its command line.
inline constexpr const char* kGroupsProgramName = "Quorvane-Groups";
// The sizes it takes: two full groups of the largest size fill the largest study.
inline constexpr int kSmallestGroupSize = 2;
inline constexpr int kLargestGroupSize = 5000;

// The profile of groups of the size, kSmallestGroupSize to kLargestGroupSize.
EditionProfile edition_profile(int group_size);

// The group size of 5 or more whose report file 2, 4 or 6 has this name, or 0 for any other
// name: the files of every size are known by name without listing them.
int group_size_of_report_name(const std::string& file_name);

// Quorvane-Groups before it knows the group size: its name, for help, version and refusals.
EditionProfile groups_program();

inline const EditionProfile kPairsEdition = edition_profile(2);
inline const EditionProfile kTriadsEdition = edition_profile(3);
inline const EditionProfile kQuadsEdition = edition_profile(4);

}  // namespace quorvane
