#pragma once

#include <string>

#include "reports/export_data.h"

namespace quorvane {

// The picture of an export, for a paper: a standalone SVG 1.1 document, kSvgWidth pixels wide
// (its height follows from its text), that keeps its proportions and every text readable when it
// is printed one column wide, 8.5 cm: no text is smaller than kSvgSmallestText, 3 % of the width
// (8 pt at that size). Bars show all groups of the 10,000 sets, a dash on each bar the exact
// distribution where it was computed, and markers the groups of each chosen set.
inline constexpr int kSvgWidth = 640;
inline constexpr int kSvgSmallestText = 20;

// The width of the plot inside it, and the most bars drawn in it: each bar has at least 4 pixels,
// so that bars, and the marks over them, stay apart. When there are more values of v than bars,
// adjacent values are added together into bins, and the caption says so.
inline constexpr int kSvgPlotWidth = 532;
inline constexpr int kSvgMostBars = kSvgPlotWidth / 4;

std::string distribution_svg(const ExportData& data);

}  // namespace quorvane
