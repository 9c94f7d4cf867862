#pragma once

#include <string>
#include <vector>

#include "platform/file_system.h"
#include "reports/report_files.h"

namespace quorvane {

// Why an export file's name is refused: an export never overwrites.
inline constexpr const char* kExportFileExists =
    "this export file exists already; choose another export name and run again";

// Appends every section to its report file under the folder's report lock, and writes each of
// new_files (a run's export), which must not exist yet, all or nothing: on any failure each file
// is put back as it was (cut back to its size, or removed if this append created it) and *error
// names the file and the reason. A run that stops before it can do so (killed) leaves its
// journal (append_journal.h), from which the next append first puts the files back, saying so
// through `note`.
bool append_reports(FileSystem& files, const ReportSections& sections,
                    const std::vector<ReportSection>& new_files, const FileSystem::Note& note,
                    std::string* error);

}  // namespace quorvane
