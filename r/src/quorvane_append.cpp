// The reports of a run appended in the working folder, as a program appends them: all or
// nothing, under the folder's report lock, a stopped run's files put back first.
#include <Rcpp.h>

#include <memory>
#include <string>
#include <vector>

#include "editions/append_scope.h"
#include "glue.h"
#include "platform/named_text.h"
#include "platform/system_file_system.h"
#include "storage/report_append.h"

using Rcpp::_;

extern "C" SEXP quorvane_append(SEXP names, SEXP texts) {
  BEGIN_RCPP
  std::vector<quorvane::NamedText> sections;
  for (R_xlen_t i = 0; i < Rf_xlength(names); ++i) {
    // The texts' bytes as the run rendered them.
    const SEXP text = STRING_ELT(texts, i);
    sections.push_back({CHAR(STRING_ELT(names, i)),
                        std::string(CHAR(text), static_cast<std::size_t>(LENGTH(text)))});
  }
  const std::unique_ptr<quorvane::FileSystem> files = quorvane::make_system_file_system();
  std::vector<std::string> notes;
  std::string error;
  const bool appended = quorvane::append_reports(
      *files, quorvane::append_scope(), sections, {},
      [&notes](const std::string& note) { notes.push_back(note); }, &error);
  return Rcpp::List::create(
      _["error"] = appended ? R_NilValue : Rcpp::wrap(Rcpp::String(error, CE_UTF8)),
      _["notes"] = Rcpp::wrap(notes));
  END_RCPP
}
