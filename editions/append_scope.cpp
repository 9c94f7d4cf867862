#include "editions/append_scope.h"

#include <cstddef>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "reports/export_files.h"
#include "reports/report_names.h"

namespace quorvane {

AppendScope append_scope() {
  AppendScope scope;
  for (const EditionProfile* edition : {&kPairsEdition, &kTriadsEdition, &kQuadsEdition}) {
    const auto names = report_file_names(edition->words);
    scope.editions.emplace_back(names.begin(), names.end());
  }
  for (const ReportFile one_line : {ReportFile::kMvCumulative, ReportFile::kDistCumulative}) {
    scope.one_line_reports.push_back(static_cast<std::size_t>(one_line) - 1);
  }
  // Quorvane-Groups's reports of every larger size, known by the form of files 2, 4 and 6.
  scope.edition_of = [](const std::string& name) {
    const int size = group_size_of_report_name(name);
    if (size == 0) return std::vector<std::string>();
    const auto names = report_file_names(edition_profile(size).words);
    return std::vector<std::string>(names.begin(), names.end());
  };
  for (const std::string& ending : export_file_names("")) scope.export_endings.push_back(ending);
  return scope;
}

}  // namespace quorvane
