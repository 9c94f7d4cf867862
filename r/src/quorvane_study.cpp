// A data file to R: opened and read as the programs open and read it, never waiting for a pipe or
// a device, then the programs' reader; its notes and refusals as values.
#include <Rcpp.h>

#include <memory>
#include <string>
#include <string_view>

#include "glue.h"
#include "platform/failure_words.h"
#include "platform/system_file_system.h"
#include "studies/study.h"

using Rcpp::_;

namespace {

Rcpp::CharacterVector utf8(const std::vector<std::string>& texts) {
  Rcpp::CharacterVector vector(texts.size());
  for (std::size_t i = 0; i < texts.size(); ++i)
    vector[static_cast<R_xlen_t>(i)] = Rcpp::String(texts[i], CE_UTF8);
  return vector;
}

// The file's bytes, or false with what went wrong and what to do in *error.
bool file_bytes(const std::string& path, std::string* bytes, std::string* error) {
  const std::unique_ptr<quorvane::FileSystem> files = quorvane::make_system_file_system();
  quorvane::FileSystem::FileIdentity identity;
  quorvane::FileFailure failure;
  const std::unique_ptr<std::istream> data = files->open_for_reading(path, &identity, &failure);
  if (data == nullptr) {
    *error = "cannot open the data file: " + quorvane::failure_words(failure) +
             (failure.code == quorvane::FileFailure::Code::kNotPlainFile
                  ? "; save the study as a file and read that"
                  : "; check the name given");
    return false;
  }
  try {
    std::streambuf& file = *data->rdbuf();
    char chunk[1 << 16];
    for (std::streamsize got = 0; (got = file.sgetn(chunk, sizeof chunk)) > 0;) {
      if (bytes->size() + static_cast<std::size_t>(got) > quorvane::kLargestDataFile) {
        *error =
            "the data file is larger than " + std::to_string(quorvane::kLargestDataFile >> 20) +
            " MB, more than a study of " + std::to_string(quorvane::kLargestCount) + " by " +
            std::to_string(quorvane::kLargestCount) + " takes; check that it is the study's file";
        return false;
      }
      bytes->append(chunk, static_cast<std::size_t>(got));
    }
  } catch (const quorvane::FileSystem::ReadError& failure_to_read) {
    *error = std::string("cannot read the data file: ") + failure_to_read.what() +
             "; the disk or share that holds it may be failing: copy the study to another disk "
             "and read it again";
    return false;
  }
  return true;
}

}  // namespace

extern "C" SEXP quorvane_read_study(SEXP path) {
  BEGIN_RCPP
  std::string bytes;
  std::string error;
  if (!file_bytes(Rcpp::as<std::string>(path), &bytes, &error)) {
    return Rcpp::List::create(_["error"] = Rcpp::String(error, CE_UTF8));
  }
  const quorvane::StudyLoad load = quorvane::load_study(bytes, std::nullopt);
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
