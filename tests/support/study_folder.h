#pragma once

#include <string>

#include "tests/support/editions.h"
#include "tests/support/memory_file_system.h"
#include "tests/support/studies.h"

namespace quorvane::testing {

// What earlier runs left in a report file before the run under test appends to it: a text of
// its own for each name, so that a section appended to the wrong file shows.
inline std::string earlier_runs_text(const std::string& report_name) {
  return "\nwhat earlier runs left in " + report_name;
}

// A working folder in memory holding `study` as "study.txt" and each of the edition's eight
// reports with what earlier runs left in it.
inline MemoryFileSystem folder_with_study(const std::string& study = small_study_text(),
                                          const EditionProfile& edition = kTriadsEdition) {
  MemoryFileSystem files;
  files.files["study.txt"] = study;
  for (const std::string& name : report_names(edition)) files.files[name] = earlier_runs_text(name);
  return files;
}

}  // namespace quorvane::testing
