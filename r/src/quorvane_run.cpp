// One run for R: the programs' computation, their eight report texts, and the export's values as
// columns of the export's tables (an empty field there is NA here).
#include <Rcpp.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "glue.h"
#include "reports/export_data.h"
#include "reports/export_of_run.h"
#include "reports/run_reports.h"
#include "runs/run_outcome.h"
#include "simulation/nominal_group_run.h"
#include "simulation/set_label.h"
#include "studies/study.h"

using Rcpp::_;

namespace {

using quorvane::ExportData;
using quorvane::ExportedFit;

// This package's version, as the export's summary names it beside the program.
std::string package_version() {
  const Rcpp::Function version("packageVersion", Rcpp::Environment::namespace_env("utils"));
  const Rcpp::Function as_character("as.character");
  return Rcpp::as<std::string>(as_character(version("quorvane")));
}

// A table's number: NA where the export leaves the field empty (no value, or not finite).
double number(const double* value) {
  return value != nullptr && std::isfinite(*value) ? *value : NA_REAL;
}
double number_at(const std::vector<double>& values, std::size_t at) {
  return number(at < values.size() ? &values[at] : nullptr);
}
double number_or_na(const std::optional<double>& value) {
  return number(value ? &*value : nullptr);
}

Rcpp::String utf8(const std::string& text) { return Rcpp::String(text, CE_UTF8); }

Rcpp::List distribution_table(const ExportData& data) {
  const auto rows = static_cast<R_xlen_t>(data.items) + 1;
  Rcpp::IntegerVector number_correct(rows);
  Rcpp::NumericVector overall(rows), mv(rows), dist(rows), exact(rows);
  for (R_xlen_t v = 0; v < rows; ++v) {
    const auto at = static_cast<std::size_t>(v);
    number_correct[v] = static_cast<int>(v);
    overall[v] = number_at(data.overall_percentages, at);
    mv[v] = data.mv.found ? number_at(data.mv.percentages, at) : NA_REAL;
    dist[v] = data.dist.found ? number_at(data.dist.percentages, at) : NA_REAL;
    exact[v] = number_at(data.exact.percentages, at);
  }
  return Rcpp::List::create(_["number_correct"] = number_correct, _["overall_percent"] = overall,
                            _["mv_best_percent"] = mv, _["dist_best_percent"] = dist,
                            _["exact_percent"] = exact);
}

Rcpp::List sets_table(const ExportData& data) {
  const auto rows = static_cast<R_xlen_t>(data.sets.count());
  Rcpp::IntegerVector row(rows), column(rows);
  Rcpp::NumericVector mean(rows), variance(rows), mv(rows), dist(rows);
  for (R_xlen_t set = 0; set < rows; ++set) {
    const auto at = static_cast<std::size_t>(set);
    const quorvane::SetLabel label = quorvane::label_of(static_cast<int>(set));
    row[set] = label.row;
    column[set] = label.column;
    mean[set] = number_at(*data.sets.mean, at);
    variance[set] = number_at(*data.sets.variance, at);
    mv[set] = number_at(*data.sets.mv_chi_square, at);
    dist[set] = number_at(*data.sets.dist_chi_square, at);
  }
  return Rcpp::List::create(_["row"] = row, _["column"] = column, _["mean"] = mean,
                            _["variance"] = variance, _["mv_chi_square"] = mv,
                            _["dist_chi_square"] = dist);
}

// The groups of the MV best set, then those of the DIST best set; a search without one has none.
Rcpp::List groups_table(const ExportData& data) {
  std::vector<const ExportedFit*> fits;
  std::vector<std::string> words;
  for (const ExportedFit* fit : {&data.mv, &data.dist}) {
    if (fit->found) fits.push_back(fit);
  }
  R_xlen_t rows = 0;
  for (const ExportedFit* fit : fits) rows += static_cast<R_xlen_t>(fit->groups.size());
  const int k = data.group_size;
  const bool labelled = !data.labels.empty();
  Rcpp::CharacterVector fit_word(rows);
  Rcpp::IntegerVector group(rows), number_correct(rows);
  std::vector<Rcpp::IntegerVector> members;
  std::vector<Rcpp::CharacterVector> labels;
  for (int i = 0; i < k; ++i) {
    members.emplace_back(rows);
    if (labelled) labels.emplace_back(rows);
  }
  R_xlen_t at = 0;
  for (const ExportedFit* fit : fits) {
    for (std::size_t g = 0; g < fit->groups.size(); ++g, ++at) {
      fit_word[at] = fit == &data.mv ? "MV" : "DIST";
      group[at] = static_cast<int>(g) + 1;
      number_correct[at] = g < fit->num_correct.size() ? fit->num_correct[g] : NA_INTEGER;
      for (std::size_t i = 0; i < static_cast<std::size_t>(k); ++i) {
        const int member = i < fit->groups[g].size() ? fit->groups[g][i] : 0;
        members[i][at] = member >= 1 ? member : NA_INTEGER;
        if (!labelled) continue;
        const auto index = static_cast<std::size_t>(member);
        labels[i][at] = member >= 1 && index <= data.labels.size()
                            ? Rcpp::String(utf8(data.labels[index - 1]))
                            : Rcpp::String(NA_STRING);
      }
    }
  }
  Rcpp::List table;
  table["fit"] = fit_word;
  table["group"] = group;
  for (int i = 0; i < k; ++i) table["member_" + std::to_string(i + 1)] = members[i];
  for (int i = 0; labelled && i < k; ++i) table["label_" + std::to_string(i + 1)] = labels[i];
  table["number_correct"] = number_correct;
  return table;
}

// The one row of the summary table.
Rcpp::List summary_table(const ExportData& data) {
  Rcpp::List row;
  row["data_file"] = Rcpp::CharacterVector::create(utf8(data.data_file));
  row["group_size"] = data.group_size;
  row["participants"] = data.participants;
  row["items"] = data.items;
  row["seed"] = static_cast<double>(data.seed);
  row["sets"] = static_cast<int>(data.sets.count());
  row["overall_mean"] = number(&data.overall_mean);
  row["overall_variance"] = number(&data.overall_variance);
  row["exact_mean"] = number_or_na(data.exact.mean);
  row["exact_variance"] = number_or_na(data.exact.variance);
  for (const auto& [prefix, fit] :
       {std::pair<std::string, const ExportedFit*>{"mv_", &data.mv},
        std::pair<std::string, const ExportedFit*>{"dist_", &data.dist}}) {
    const std::string label = std::to_string(fit->row) + "-" + std::to_string(fit->column);
    row[prefix + "set"] = fit->found ? Rcpp::String(label) : Rcpp::String(NA_STRING);
    row[prefix + "mean"] = fit->found ? number(&fit->mean) : NA_REAL;
    row[prefix + "variance"] = fit->found ? number(&fit->variance) : NA_REAL;
    row[prefix + "chi_square"] = fit->found ? number(&fit->chi_square) : NA_REAL;
  }
  row["program"] = Rcpp::CharacterVector::create(utf8(data.release.program));
  row["version"] = Rcpp::CharacterVector::create(utf8(data.release.version));
  return row;
}

}  // namespace

extern "C" SEXP quorvane_run(SEXP responses, SEXP labels, SEXP file_name, SEXP group_size,
                             SEXP seed) {
  BEGIN_RCPP
  const Rcpp::IntegerMatrix answers(responses);
  const int k = Rcpp::as<int>(group_size);
  if (k < quorvane::kSmallestGroupSize || k > quorvane::kLargestGroupSize) {
    Rcpp::stop("no program runs groups of " + std::to_string(k));
  }
  const quorvane::EditionProfile edition = quorvane::edition_profile(k);
  quorvane::ResponseMatrix matrix(answers.nrow(), answers.ncol());
  for (int p = 0; p < answers.nrow(); ++p) {
    for (int c = 0; c < answers.ncol(); ++c) matrix.set_response(p + 1, c + 1, answers(p, c));
  }
  const auto run_seed = static_cast<std::uint32_t>(Rcpp::as<double>(seed));

  // An interrupt (Ctrl-C, Esc) stops the run between sets.
  const quorvane::RunResult result =
      quorvane::run_simulation(matrix, k, run_seed, {nullptr, [] { Rcpp::checkUserInterrupt(); }});

  std::vector<std::string> notes;
  if (!result.mv.found()) {
    notes.push_back(quorvane::no_best_set_note(quorvane::kMvMeasure, result.mv.outcome));
  }
  if (!result.dist.found()) {
    notes.push_back(quorvane::no_best_set_note(quorvane::kDistMeasure, result.dist.outcome));
  }
  quorvane::ReportSections sections = quorvane::render_reports(edition.words, result);
  Rcpp::CharacterVector reports(sections.size());
  Rcpp::CharacterVector report_names(sections.size());
  for (std::size_t i = 0; i < sections.size(); ++i) {
    reports[static_cast<R_xlen_t>(i)] = sections[i].text;
    report_names[static_cast<R_xlen_t>(i)] = sections[i].file_name;
  }
  reports.names() = report_names;

  ExportData data =
      quorvane::export_of_run(matrix, result, Rcpp::as<std::string>(file_name), run_seed);
  data.release.program = edition.program_name;
  data.release.version = package_version();
  if (!Rf_isNull(labels)) data.labels = Rcpp::as<std::vector<std::string>>(labels);
  const std::string left_out = quorvane::exact_values_left_out(data);
  if (!left_out.empty()) notes.push_back(left_out);

  return Rcpp::List::create(_["reports"] = reports, _["notes"] = Rcpp::wrap(notes),
                            _["distribution"] = distribution_table(data),
                            _["sets"] = sets_table(data), _["groups"] = groups_table(data),
                            _["summary"] = summary_table(data));
  END_RCPP
}

extern "C" SEXP quorvane_limits() {
  BEGIN_RCPP
  Rcpp::IntegerVector sizes;
  for (int k = quorvane::kSmallestGroupSize; k <= quorvane::kLargestGroupSize; ++k) {
    sizes.push_back(k);
  }
  return Rcpp::List::create(_["largest_count"] = quorvane::kLargestCount, _["group_sizes"] = sizes);
  END_RCPP
}
