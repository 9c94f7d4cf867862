#include "reports/export_files.h"

#include <utility>

#include "reports/distribution_picture.h"
#include "reports/export_tables.h"

namespace quorvane {

std::array<std::string, kExportFileCount> export_file_names(std::string_view name) {
  const std::string prefix(name);
  return {prefix + "-distribution.csv", prefix + "-sets.csv", prefix + "-groups.csv",
          prefix + "-summary.csv", prefix + ".svg"};
}

std::array<NamedText, kExportFileCount> render_export_files(const ExportData& data,
                                                            std::string_view name) {
  std::array<std::string, kExportFileCount> names = export_file_names(name);
  return {NamedText{std::move(names[0]), distribution_csv(data)},
          NamedText{std::move(names[1]), sets_csv(data)},
          NamedText{std::move(names[2]), groups_csv(data)},
          NamedText{std::move(names[3]), summary_csv(data)},
          NamedText{std::move(names[4]), distribution_svg(data)}};
}

}  // namespace quorvane
