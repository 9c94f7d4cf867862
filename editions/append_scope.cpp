#include "editions/append_scope.h"

#include <algorithm>
#include <string>

#include "editions/edition_profile.h"
#include "reports/export_files.h"
#include "reports/report_names.h"

namespace quorvane {

AppendScope append_scope() {
  AppendScope scope;
  for (const EditionProfile* edition : {&kPairsEdition, &kTriadsEdition, &kQuadsEdition}) {
    for (const std::string& name : report_file_names(edition->words)) {
      if (std::find(scope.report_names.begin(), scope.report_names.end(), name) ==
          scope.report_names.end()) {
        scope.report_names.push_back(name);
      }
    }
  }
  // Quorvane-Groups's reports of every larger size, known by their form alone.
  scope.is_report_name = [](const std::string& name) {
    return group_size_of_report_name(name) != 0;
  };
  for (const std::string& ending : export_file_names("")) scope.export_endings.push_back(ending);
  return scope;
}

}  // namespace quorvane
