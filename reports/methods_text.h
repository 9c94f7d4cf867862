#pragma once

#include <string>

#include "reports/export_data.h"

namespace quorvane {

// NAME-methods.txt: a paragraph to paste into a paper's method section (the program, its version
// and the reference to cite, the group size, N, M, the 10,000 random partitions, the seed, each
// chosen set with its chi-square, mean and variance, and the exact values the run's figures
// estimate), the reference, then the figure's caption; a paragraph a line, each ended by LF.
std::string methods_text(const ExportData& data, const std::string& figure_caption);

}  // namespace quorvane
