// The three CSV tables of a run's export.
#include <string>
#include <string_view>
#include <vector>

#include "reports/export_files.h"
#include "reports/export_text.h"

namespace quorvane {
namespace {

using export_text::append_shortest;
using export_text::append_whole;
using export_text::value_at;

// Rows of comma-separated fields, each row ended by CR LF as RFC 4180 has it: spreadsheets on
// every system take that end for a row's end, and R and other readers take either end.
class CsvTable {
 public:
  void text(std::string_view field) {
    separate();
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
    separate();
    append_shortest(out_, value);
  }
  void whole(long long value) {
    separate();
    append_whole(out_, value);
  }
  void empty() { separate(); }
  void end_row() {
    out_.append("\r\n");
    row_started_ = false;
  }
  std::string take() { return std::move(out_); }

 private:
  void separate() {
    if (row_started_) out_.push_back(',');
    row_started_ = true;
  }

  std::string out_;
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

}  // namespace

std::array<std::string, kExportFileCount> export_file_names(std::string_view name) {
  const std::string prefix(name);
  return {prefix + "-distribution.csv", prefix + "-sets.csv", prefix + "-groups.csv",
          prefix + ".svg"};
}

std::array<ExportFile, kExportFileCount> render_export_files(const ExportData& data,
                                                             std::string_view name) {
  std::array<std::string, kExportFileCount> names = export_file_names(name);
  return {ExportFile{std::move(names[0]), distribution_csv(data)},
          ExportFile{std::move(names[1]), sets_csv(data)},
          ExportFile{std::move(names[2]), groups_csv(data)},
          ExportFile{std::move(names[3]), distribution_svg(data)}};
}

std::string distribution_csv(const ExportData& data) {
  CsvTable table;
  for (const char* heading :
       {"number_correct", "overall_percent", "mv_best_percent", "dist_best_percent"}) {
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
    table.end_row();
  }
  return table.take();
}

std::string sets_csv(const ExportData& data) {
  CsvTable table;
  for (const char* heading :
       {"row", "column", "mean", "variance", "mv_chi_square", "dist_chi_square"}) {
    table.text(heading);
  }
  table.end_row();
  for (const ExportedSet& set : data.sets) {
    table.whole(set.row);
    table.whole(set.column);
    table.number(set.mean);
    table.number(set.variance);
    table.number(set.mv_chi_square);
    table.number(set.dist_chi_square);
    table.end_row();
  }
  return table.take();
}

std::string groups_csv(const ExportData& data) {
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
  return table.take();
}

}  // namespace quorvane
