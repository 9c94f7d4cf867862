// A data file's bytes to R: the programs' reader, its notes and refusals as values.
#include <Rcpp.h>

#include <string>
#include <string_view>

#include "glue.h"
#include "studies/study.h"

using Rcpp::_;

namespace {

Rcpp::CharacterVector utf8(const std::vector<std::string>& texts) {
  Rcpp::CharacterVector vector(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i)
    vector[static_cast<R_xlen_t>(i)] = Rcpp::String(texts[i], CE_UTF8);
  return vector;
}

}  // namespace

extern "C" SEXP quorvane_read_study(SEXP bytes) {
  BEGIN_RCPP
  const Rcpp::RawVector raw(bytes);
  const std::string_view text(reinterpret_cast<const char*>(raw.begin()),
                              static_cast<std::size_t>(raw.size()));
  const quorvane::StudyLoad load = quorvane::load_study(text, std::nullopt);
  if (!load.loaded()) {
    return Rcpp::List::create(_["error"] = Rcpp::String(load.refusal.message, CE_UTF8));
  }
  const quorvane::ResponseMatrix& matrix = load.study->responses;
  const int participants = matrix.participants();
  const int items = matrix.items();
  Rcpp::IntegerMatrix responses(participants, items);
  for (int p = 1; p <= participants; ++p) {
    const std::uint64_t* missed = matrix.missed_items(p);
    for (int c = 1; c <= items; ++c) {
      const auto bit = static_cast<unsigned>(c - 1);
      responses(p - 1, c - 1) = ((missed[bit / 64] >> (bit % 64)) & 1U) != 0 ? 0 : 1;
    }
  }
  const std::vector<std::string>& labels = load.study->labels;
  return Rcpp::List::create(_["responses"] = responses,
                            _["labels"] = labels.empty() ? R_NilValue : SEXP(utf8(labels)),
                            _["notes"] = utf8(load.study->reading.notes));
  END_RCPP
}
