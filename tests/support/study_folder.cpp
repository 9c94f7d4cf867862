#include "tests/support/study_folder.h"

namespace quorvane::testing {

std::string earlier_runs_text(const std::string& report_name) {
  return "\nwhat earlier runs left in " + report_name;
}

MemoryFileSystem folder_with_study(const std::string& study, const EditionProfile& edition) {
  MemoryFileSystem files;
  files.files["study.txt"] = study;
  for (const std::string& name : report_names(edition)) files.files[name] = earlier_runs_text(name);
  return files;
}

}  // namespace quorvane::testing
