#pragma once

#include <array>
#include <string>

#include "reports/edition_profile.h"
#include "reports/report_files.h"

namespace quorvane {

// The names of an edition's eight report files in the working folder, file 1 first.
std::array<std::string, kReportFileCount> report_file_names(const EditionProfile& edition);

}  // namespace quorvane
