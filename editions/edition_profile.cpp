#include "editions/edition_profile.h"

#include <cstddef>
#include <string_view>

#include "reports/report_names.h"

namespace quorvane {

EditionProfile edition_profile(int group_size) {
  switch (group_size) {
    case 2:
      return {"Quorvane-Pairs",
              2,
              {"Quorvane-Pairs", "Pairings", "Nominal Group Pairings", "Pairs", " & "}};
    case 3:
      return {"Quorvane-Triads",
              3,
              {"Quorvane-Triads", "Triads", "Nominal Group Triads", "Triads", ","}};
    case 4:
      return {
          "Quorvane-Quads", 4, {"Quorvane-Quads", "Quads", "Nominal Group Quads", "Quads", ","}};
    default:
      break;
  }
  const std::string size = std::to_string(group_size);
  return {kGroupsProgramName,
          group_size,
          {kGroupsProgramName, "Groups-Of-" + size, "Nominal Groups of " + size,
           "Groups of " + size, ","}};
}

int group_size_of_report_name(const std::string& file_name) {
  // The size is the digits after the last "-Of-": read at most five of them, without a leading
  // zero, then the name must be exactly the one that size gives.
  constexpr std::string_view kBefore = "-Of-";
  const std::size_t at = file_name.rfind(kBefore);
  if (at == std::string::npos) return 0;
  int size = 0;
  std::size_t digits = 0;
  for (std::size_t i = at + kBefore.size(); i < file_name.size() && digits < 5; ++i, ++digits) {
    const char c = file_name[i];
    if (c < '0' || c > '9' || (digits == 0 && c == '0')) break;
    size = size * 10 + (c - '0');
  }
  if (size < kSmallestGroupSize || size > kLargestGroupSize) return 0;
  for (const std::string& name : report_file_names(edition_profile(size).words)) {
    if (name == file_name) return size;
  }
  return 0;
}

EditionProfile groups_program() { return {kGroupsProgramName, 0, {}}; }

}  // namespace quorvane
