#pragma once

namespace quorvane {

// A set's place in the 100 by 100 grid of sets, each coordinate counted from 1; reports write it
// as row-column. The label 0-0 names no set: it stands where a search has no best set.
struct SetLabel {
  int row = 0;
  int column = 0;
};

}  // namespace quorvane
