#pragma once

#include "studies/record_reader.h"

namespace quorvane {

// How a table is laid out, found from its first two records.
struct Layout {
  bool table = false;   // one participant per record
  bool header = false;  // the first record names the columns
  bool labels = false;  // the first field of every data record names its participant
};

// The layout of a text whose first records (null where the text has none) are these.
Layout layout_of(const Record* first, const Record* second, char separator);

}  // namespace quorvane
