#pragma once

#include <string_view>

namespace quorvane {

// What one program of the family is: its name, the size of its nominal groups and the words its
// reports use for those groups. Each program is built with exactly one of these.
struct EditionProfile {
  std::string_view program_name;      // "Quorvane-Triads": the report banner and message prefix
  int group_size;                     // k, members per nominal group
  std::string_view groups_word;       // "Triads" (pairs: "Pairings"): file names and headings
  std::string_view column_word;       // "Triads" (pairs: "Pairs"): heading of the listings' column
  std::string_view member_separator;  // between a group's members on a listing line
};

}  // namespace quorvane
