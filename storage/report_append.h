#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/named_text.h"

namespace quorvane {

// One file's text for the append: a report's section, or the whole of a new file.
using AppendedText = NamedText;

// What a run of these programs writes, and so all that the repair of a stopped run may touch:
// the eight report names of one edition in the working folder, and the files of one export,
// their names an export name followed by each of the endings, in a folder of their own.
struct AppendScope {
  std::vector<std::vector<std::string>> editions;  // each edition's report names, file 1 first
  // The report names of an edition beyond the list (groups of any size, known by the form of a
  // name), file 1 first, one of which is `name`; none when it is no such name.
  std::function<std::vector<std::string>(const std::string& name)> edition_of;
  std::vector<std::size_t> one_line_reports;  // by place in an edition's list: one line a run
  std::vector<std::string> export_endings;

  // The report names, file 1 first, of the edition one of whose reports is `name`, or none.
  std::vector<std::string> edition_holding(const std::string& name) const;
  bool holds_report(const std::string& name) const { return !edition_holding(name).empty(); }
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

// The folder part of a path, with its last separator ("" when it names none), and the name
// after it.
struct PlacedName {
  std::string folder;
  std::string name;
};
PlacedName placed_name(const std::string& path);

// Appends every section to its report file of the working folder under the folder's report
// lock, and writes each of new_files (a run's export, all in one folder), which must not exist
// yet, all or nothing: on any failure each file
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
