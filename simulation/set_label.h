#pragma once

namespace quorvane {

// Every run draws 10,000 sets, laid out as a 100 by 100 grid.
inline constexpr int kGridRows = 100;
inline constexpr int kGridColumns = 100;
inline constexpr int kSetCount = kGridRows * kGridColumns;

// A set's place in the grid, each coordinate counted from 1; reports write it as row-column. The
// label 0-0 names no set: it stands where a search has no best set.
struct SetLabel {
  int row = 0;
  int column = 0;
};

// Sets are numbered 0 to 9,999 in grid order: row 1 column 1 to 100, then row 2, and so on.
inline SetLabel label_of(int set) { return {set / kGridColumns + 1, set % kGridColumns + 1}; }

}  // namespace quorvane
