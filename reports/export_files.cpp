#include "reports/export_files.h"

#include <utility>

#include "reports/distribution_picture.h"
#include "reports/export_tables.h"
#include "reports/figure_drawing.h"
#include "reports/methods_text.h"
#include "reports/workbook.h"

namespace quorvane {

std::array<std::string, kExportFileCount> export_file_names(std::string_view name) {
  const std::string prefix(name);
  return {prefix + "-distribution.csv", prefix + "-sets.csv", prefix + "-groups.csv",
          prefix + "-summary.csv",      prefix + ".svg",      prefix + ".pdf",
          prefix + "-methods.txt",      prefix + ".xlsx"};
}

std::array<NamedText, kExportFileCount> render_export_files(const ExportData& data,
                                                            std::string_view name) {
  std::array<std::string, kExportFileCount> names = export_file_names(name);
  const DistributionFigure figure = distribution_figure(data);
  const std::string producer = data.release.program + " " + data.release.version;
  return {NamedText{std::move(names[0]), distribution_csv(data)},
          NamedText{std::move(names[1]), sets_csv(data)},
          NamedText{std::move(names[2]), groups_csv(data)},
          NamedText{std::move(names[3]), summary_csv(data)},
          NamedText{std::move(names[4]), drawing_svg(figure.drawing)},
          NamedText{std::move(names[5]), drawing_pdf(figure.drawing, producer)},
          NamedText{std::move(names[6]), methods_text(data, figure.caption)},
          NamedText{std::move(names[7]), xlsx_workbook(export_tables(data))}};
}

}  // namespace quorvane
