#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/named_text.h"

namespace quorvane {

// One file's text for the append: a report's section, or the whole of a new file.
using AppendedText = NamedText;

// What a run of these programs writes in a folder, and so all that the repair of a stopped run
// may touch: the report names of every edition, and the endings of an export's file names.
struct AppendScope {
  std::vector<std::string> report_names;
  // Report names beyond the list, known by their form (the reports of groups of any size); none
  // when empty.
  std::function<bool(const std::string& name)> is_report_name;
  std::vector<std::string> export_endings;

  bool holds_report(const std::string& name) const;
};

using AppendNote = std::function<void(const std::string& note)>;

// The journal of an append: while it exists, a run is writing its reports in this folder or
// stopped while doing so. It sorts with the report files and is seen beside them, and no
// edition names a report NG-0.
inline constexpr const char* kAppendJournalName = "NG-0-Append-Journal.txt";

// Ends every line of a refusal that left every report file as it was.
inline constexpr const char* kNothingChanged = "; no report file was changed";

// Why an export file's name is refused: an export never overwrites.
inline constexpr const char* kExportFileExists =
    "this export file exists already; choose another export name and run again";

// Appends every section to its report file under the folder's report lock, and writes each of
// new_files (a run's export), which must not exist yet, all or nothing: on any failure each file
// is put back as it was (cut back to its size, or removed if this append created it) and *error
// names the file and the reason. A run that stops before it can do so (killed) leaves its
// journal (append_journal.h), from which the next append first puts the files back, saying so
// through `note`, when they still hold that run's text; the repair touches nothing outside
// `scope`.
bool append_reports(FileSystem& files, const AppendScope& scope,
                    const std::vector<AppendedText>& sections,
                    const std::vector<AppendedText>& new_files, const AppendNote& note,
                    std::string* error);

}  // namespace quorvane
