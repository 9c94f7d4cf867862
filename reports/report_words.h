#pragma once

#include <string>

namespace quorvane {

// The words a run's reports and export use for its program and its groups, given to them as
// values by whoever defines the programs.
struct ReportWords {
  std::string program_name;      // "Quorvane-Triads": the report banner
  std::string file_groups;       // "Triads" (pairs: "Pairings"): in the names of files 2, 4 and 6
  std::string heading_groups;    // "Nominal Group Triads": the headings of files 2, 4 and 6
  std::string column_heading;    // "Triads" (pairs: "Pairs"): the listings' column
  std::string member_separator;  // between a group's members on a listing line
};

}  // namespace quorvane
