// The CSV tables of a run's export.
#include "reports/export_tables.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "reports/export_text.h"
#include "simulation/set_label.h"

namespace quorvane {
namespace {

using export_text::append_shortest;
using export_text::append_whole;
using export_text::value_at;

// Rows of comma-separated fields, each row ended by CR LF as RFC 4180 has it: spreadsheets on
// every system take that end for a row's end, and R and other readers take either end. Each field
// is kept as a cell too, for the workbook.
class CsvTable {
 public:
  void text(std::string_view field) {
    separate(TableCell::Kind::kText, field);
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
      out_.append(field);
      return;
    }
    out_.push_back('"');
    for (const char c : field) {
      if (c == '"') out_.push_back('"');
      out_.push_back(c);
    }
    out_.push_back('"');
  }
  void number(double value) {
    std::string written;
    append_shortest(written, value);
    separate(written.empty() ? TableCell::Kind::kEmpty : TableCell::Kind::kNumber, written);
    out_.append(written);
  }
  void whole(long long value) {
    std::string written;
    append_whole(written, value);
    separate(TableCell::Kind::kNumber, written);
    out_.append(written);
  }
  // The value at `at` of the list, or an empty field when there is none.
  void number_at(const std::vector<double>* values, std::size_t at) {
    if (values != nullptr && at < values->size()) {
      number((*values)[at]);
    } else {
      empty();
    }
  }
  void optional_number(const std::optional<double>& value) {
    if (value) {
      number(*value);
    } else {
      empty();
    }
  }
  void empty() { separate(TableCell::Kind::kEmpty, {}); }
  void end_row() {
    out_.append("\r\n");
    row_started_ = false;
  }
  std::string take() { return std::move(out_); }
  TableRows take_rows() { return std::move(rows_); }

 private:
  void separate(TableCell::Kind kind, std::string_view field) {
    if (row_started_) out_.push_back(',');
    if (!row_started_) rows_.emplace_back();
    rows_.back().push_back({kind, std::string(field)});
    row_started_ = true;
  }

  std::string out_;
  TableRows rows_;
  bool row_started_ = false;
};

void fit_percentage(CsvTable& table, const ExportedFit& fit, int v) {
  const double* value = fit.found ? value_at(fit.percentages, v) : nullptr;
  if (value != nullptr) {
    table.number(*value);
  } else {
    table.empty();
  }
}

void append_fit_groups(CsvTable& table, const ExportedFit& fit, std::string_view word,
                       int group_size, const std::vector<std::string>& labels) {
  if (!fit.found) return;
  for (std::size_t g = 0; g < fit.groups.size(); ++g) {
    table.text(word);
    table.whole(static_cast<long long>(g) + 1);
    const std::vector<int>& members = fit.groups[g];
    for (std::size_t i = 0; i < static_cast<std::size_t>(group_size); ++i) {
      if (i < members.size()) {
        table.whole(members[i]);
      } else {
        table.empty();
      }
    }
    for (std::size_t i = 0; !labels.empty() && i < static_cast<std::size_t>(group_size); ++i) {
      const std::size_t member = i < members.size() ? static_cast<std::size_t>(members[i]) : 0;
      if (member >= 1 && member <= labels.size()) {
        table.text(labels[member - 1]);
      } else {
        table.empty();
      }
    }
    if (g < fit.num_correct.size()) {
      table.whole(fit.num_correct[g]);
    } else {
      table.empty();
    }
    table.end_row();
  }
}

CsvTable distribution_table(const ExportData& data) {
  CsvTable table;
  for (const char* heading : {"number_correct", "overall_percent", "mv_best_percent",
                              "dist_best_percent", "exact_percent"}) {
    table.text(heading);
  }
  table.end_row();
  for (int v = 0; v <= data.items; ++v) {
    table.whole(v);
    const double* overall = value_at(data.overall_percentages, v);
    if (overall != nullptr) {
      table.number(*overall);
    } else {
      table.empty();
    }
    fit_percentage(table, data.mv, v);
    fit_percentage(table, data.dist, v);
    const double* exact = value_at(data.exact.percentages, v);
    table.optional_number(exact != nullptr ? std::optional<double>(*exact) : std::nullopt);
    table.end_row();
  }
  return table;
}

CsvTable sets_table(const ExportData& data) {
  CsvTable table;
  for (const char* heading :
       {"row", "column", "mean", "variance", "mv_chi_square", "dist_chi_square"}) {
    table.text(heading);
  }
  table.end_row();
  for (std::size_t set = 0; set < data.sets.count(); ++set) {
    const SetLabel label = label_of(static_cast<int>(set));
    table.whole(label.row);
    table.whole(label.column);
    table.number_at(data.sets.mean, set);
    table.number_at(data.sets.variance, set);
    table.number_at(data.sets.mv_chi_square, set);
    table.number_at(data.sets.dist_chi_square, set);
    table.end_row();
  }
  return table;
}

CsvTable groups_table(const ExportData& data) {
  CsvTable table;
  table.text("fit");
  table.text("group");
  for (int i = 1; i <= data.group_size; ++i) {
    std::string heading = "member_";
    append_whole(heading, i);
    table.text(heading);
  }
  for (int i = 1; !data.labels.empty() && i <= data.group_size; ++i) {
    std::string heading = "label_";
    append_whole(heading, i);
    table.text(heading);
  }
  table.text("number_correct");
  table.end_row();
  append_fit_groups(table, data.mv, "MV", data.group_size, data.labels);
  append_fit_groups(table, data.dist, "DIST", data.group_size, data.labels);
  return table;
}

CsvTable summary_table(const ExportData& data) {
  CsvTable table;
  for (const char* heading :
       {"data_file", "group_size",    "participants",     "items",         "seed",
        "sets",      "overall_mean",  "overall_variance", "exact_mean",    "exact_variance",
        "mv_set",    "mv_mean",       "mv_variance",      "mv_chi_square", "dist_set",
        "dist_mean", "dist_variance", "dist_chi_square",  "program",       "version"}) {
    table.text(heading);
  }
  table.end_row();
  table.text(data.data_file);
  table.whole(data.group_size);
  table.whole(data.participants);
  table.whole(data.items);
  table.whole(data.seed);
  table.whole(static_cast<long long>(data.sets.count()));
  table.number(data.overall_mean);
  table.number(data.overall_variance);
  table.optional_number(data.exact.mean);
  table.optional_number(data.exact.variance);
  for (const ExportedFit* fit : {&data.mv, &data.dist}) {
    if (!fit->found) {
      for (int field = 0; field < 4; ++field) table.empty();
      continue;
    }
    std::string label;
    append_whole(label, fit->row);
    label.push_back('-');
    append_whole(label, fit->column);
    table.text(label);
    table.number(fit->mean);
    table.number(fit->variance);
    table.number(fit->chi_square);
  }
  table.text(data.release.program);
  table.text(data.release.version);
  table.end_row();
  return table;
}

}  // namespace

std::string distribution_csv(const ExportData& data) { return distribution_table(data).take(); }
std::string sets_csv(const ExportData& data) { return sets_table(data).take(); }
std::string groups_csv(const ExportData& data) { return groups_table(data).take(); }
std::string summary_csv(const ExportData& data) { return summary_table(data).take(); }

std::vector<NamedTable> export_tables(const ExportData& data) {
  return {{"summary", summary_table(data).take_rows()},
          {"distribution", distribution_table(data).take_rows()},
          {"sets", sets_table(data).take_rows()},
          {"groups", groups_table(data).take_rows()}};
}

}  // namespace quorvane
