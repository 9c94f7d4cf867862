// A data file's bytes to R: the programs' reader, its notes and refusals as values.
#include <Rcpp.h>

#include <string>
#include <string_view>

#include "glue.h"
#include "programs/data_file_reader.h"

using Rcpp::_;

extern "C" SEXP quorvane_read_study(SEXP bytes) {
  BEGIN_RCPP
  const Rcpp::RawVector raw(bytes);
  const std::string_view text(reinterpret_cast<const char*>(raw.begin()),
                              static_cast<std::size_t>(raw.size()));
  quorvane::StudyData study;
  std::string error;
  if (!quorvane::read_data_file(text, std::nullopt, &study, &error)) {
    return Rcpp::List::create(_["error"] = Rcpp::String(error, CE_UTF8));
  }
  const int participants = study.matrix.participants();
  const int items = study.matrix.items();
  Rcpp::IntegerMatrix responses(participants, items);
  for (int p = 1; p <= participants; ++p) {
    const std::uint64_t* missed = study.matrix.missed_items(p);
    for (int c = 1; c <= items; ++c) {
      const auto bit = static_cast<unsigned>(c - 1);
      responses(p - 1, c - 1) = ((missed[bit / 64] >> (bit % 64)) & 1U) != 0 ? 0 : 1;
    }
  }
  Rcpp::CharacterVector notes(study.notes.size());
  for (std::size_t i = 0; i < study.notes.size(); ++i)
    notes[static_cast<R_xlen_t>(i)] = Rcpp::String(study.notes[i], CE_UTF8);
  SEXP labels = R_NilValue;
  if (!study.labels.empty()) {
    Rcpp::CharacterVector named(study.labels.size());
    for (std::size_t i = 0; i < study.labels.size(); ++i)
      named[static_cast<R_xlen_t>(i)] = Rcpp::String(study.labels[i], CE_UTF8);
    labels = named;
  }
  return Rcpp::List::create(_["responses"] = responses, _["labels"] = labels, _["notes"] = notes);
  END_RCPP
}
