#pragma once

#include <string>

#include "platform/file_system.h"
#include "reports/report_files.h"

namespace quorvane {

// Appends every section to its report file under the folder's report lock, all or nothing: on
// any failure each file is put back as it was (cut back to its size, or removed if this append
// created it) and *error names the file and the reason. A run that stops before it can do so
// (killed) leaves its journal (append_journal.h), from which the next append first puts the
// files back, saying so through `note`.
bool append_reports(FileSystem& files, const ReportSections& sections, const FileSystem::Note& note,
                    std::string* error);

}  // namespace quorvane
