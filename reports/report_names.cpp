#include "reports/report_names.h"

namespace quorvane {

std::array<std::string, kReportFileCount> report_file_names(const ReportWords& words) {
  const std::string& word = words.file_groups;
  return {"NG-1-Representative-MV-DIST.txt",
          "NG-2-10000-Sets-Of-NG-" + word + ".txt",
          "NG-3-Best-Fit-MV-ChiSqValues.txt",
          "NG-4-Best-Fit-MV-" + word + "-NumCorrect.txt",
          "NG-5-Best-Fit-DIST-ChiSqValues.txt",
          "NG-6-Best-Fit-DIST-" + word + "-NumCorrect.txt",
          "NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt",
          "NG-8-Cumulative-Best-Fit-DIST-For-Multiple-Runs.txt"};
}

}  // namespace quorvane
