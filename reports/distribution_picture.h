#pragma once

#include <string>

#include "reports/export_data.h"
#include "reports/figure_drawing.h"

namespace quorvane {

// The figure of an export, for a paper: the distribution of number correct per group, drawn one
// journal column wide (8.5 cm; its height follows from its content), with no text under
// kFigureSmallestText and no line under kFigureThinnestLine points at that size. An upper panel
// shows all groups of the 10,000 sets as bars and the exact distribution, where computed, as a
// step line, on a percentage axis scaled to them; a lower panel the groups of each chosen set as
// a step line each (solid and dashed), on an axis of its own, so that a set of few groups neither
// stretches the upper axis nor hides its bars. The x axis shows the values that occur. Title and
// caption belong to the manuscript: the caption comes apart, for the methods text.
inline constexpr double kFigureWidth = 240.94;  // points: 8.5 cm
inline constexpr double kFigureSmallestText = 7.0;
inline constexpr double kFigureThinnestLine = 0.5;

// The most bars drawn: each bar has at least 1.5 points. When there are more values of v than
// bars, adjacent values are added together into bins, and the caption says so.
inline constexpr int kFigureMostBars = 130;

struct DistributionFigure {
  Drawing drawing;
  std::string caption;
};

DistributionFigure distribution_figure(const ExportData& data);

}  // namespace quorvane
