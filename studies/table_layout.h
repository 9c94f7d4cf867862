#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "studies/record_reader.h"
#include "studies/study.h"

namespace quorvane {

// How a table is laid out.
struct Layout {
  bool table = false;   // one participant per record
  bool header = false;  // the first record names the columns
  // The fields of every data record before its responses: R's row names (which have no column
  // name) and the participants' labels.
  std::size_t start = 0;
  bool labels = false;  // field start - 1 names the participant
  // Whether R's row names (no column's name above them) lead every data record.
  bool row_names = false;
  // Whether the layout was chosen on numbers alone (a first line counting the items, a first
  // column of other numbers than 0 and 1), in a file of bare numbers that without them would be
  // read as bare numbers.
  bool from_numbers = false;
};

// What a table's first records say of its layout: the reading taken and, when the file leaves
// another open, that one too with the question in the words of a refusal.
struct LayoutChoice {
  Layout layout;
  std::optional<Layout> other;
  Refusal question;  // why both are open and how to choose, when `other` is set
};

// The layout of a text whose first records (up to kSampledRecords of them, none when it has
// none) are these. False with *refusal when the records hold value labels instead of responses.
inline constexpr std::size_t kSampledRecords = 200;
bool choose_layout(const std::vector<Record>& records, char separator, LayoutChoice* choice,
                   Refusal* refusal);

}  // namespace quorvane
