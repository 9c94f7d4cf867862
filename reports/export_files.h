#pragma once

#include <array>
#include <string>
#include <string_view>

#include "platform/named_text.h"
#include "reports/export_data.h"

namespace quorvane {

// The files of a run's export: three CSV tables and a one-row summary that R, SPSS and
// spreadsheets read directly, a figure of the distribution of number correct as SVG and PDF, the
// methods text and the four tables as one workbook, each rendered in memory; the caller writes
// them where it likes.

inline constexpr int kExportFileCount = 8;

// The names of the files for the export name `name`, in the order render_export_files gives
// them: NAME-distribution.csv, NAME-sets.csv, NAME-groups.csv, NAME-summary.csv, NAME.svg,
// NAME.pdf, NAME-methods.txt, NAME.xlsx.
std::array<std::string, kExportFileCount> export_file_names(std::string_view name);

std::array<NamedText, kExportFileCount> render_export_files(const ExportData& data,
                                                            std::string_view name);

}  // namespace quorvane
