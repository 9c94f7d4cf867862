#include <string>
#include <string_view>

#include "studies/study.h"

namespace quorvane {
namespace {

// A format no study is written in, told by its first bytes.
struct Format {
  std::string_view start;   // the bytes every file of the format starts with
  std::string_view within;  // bytes the first kFormatBytes hold too, or empty
  const char* name;
  const char* fix;
};

constexpr const char* kExcel =
    "in Excel, File > Save As > CSV UTF-8 (Comma delimited); in LibreOffice Calc, File > Save "
    "As > Text CSV";

constexpr Format kFormats[] = {
    {"PK\x03\x04", "xl/", "an Excel workbook (.xlsx)", kExcel},
    {"PK\x03\x04", "application/vnd.oasis.opendocument.spreadsheet",
     "an OpenDocument spreadsheet (.ods)",
     "in LibreOffice Calc, File > Save As > Text CSV; in Excel, File > Save As > CSV UTF-8 "
     "(Comma delimited)"},
    {"PK\x03\x04", "", "a zip archive (or a document zipped, as .xlsx and .docx are)",
     "unpack it, or open it in the program that wrote it, and save the study as CSV"},
    {"\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", "", "an Excel 97-2003 workbook (.xls)", kExcel},
    {"$FL2", "", "an SPSS data file (.sav)",
     "in SPSS, File > Export > CSV Data; in PSPP, SAVE TRANSLATE /OUTFILE='study.csv' "
     "/TYPE=CSV /FIELDNAMES (values, not value labels)"},
    {"$FL3", "", "an SPSS data file (.sav, compressed)",
     "in SPSS, File > Export > CSV Data; in PSPP, SAVE TRANSLATE /OUTFILE='study.csv' "
     "/TYPE=CSV /FIELDNAMES (values, not value labels)"},
    {"<stata_dta>", "", "a Stata data file (.dta)",
     "in Stata, export delimited using study.csv, nolabel"},
    {"\x1F\x8B", "", "a compressed file (gzip), as R's .rds and .RData files are",
     "in R, write.csv(d, \"study.csv\", row.names = FALSE) with d the study's data frame"},
    {"RDX2\n", "", "an R data file (.RData)",
     "in R, write.csv(d, \"study.csv\", row.names = FALSE) with d the study's data frame"},
    {"RDX3\n", "", "an R data file (.RData)",
     "in R, write.csv(d, \"study.csv\", row.names = FALSE) with d the study's data frame"},
    {"BZh", "", "a compressed file (bzip2)", "uncompress it, or save the study as CSV"},
    {"\xFD\x37zXZ", "", "a compressed file (xz)", "uncompress it, or save the study as CSV"},
    {"%PDF-", "", "a PDF document", "save the study from the program that holds it as CSV"},
};

// Stata's older files (formats 113 to 119) start with their format's number and the byte order.
bool is_old_stata(std::string_view bytes) {
  if (bytes.size() < 4) return false;
  const auto version = static_cast<unsigned char>(bytes[0]);
  return version >= 113 && version <= 119 && (bytes[1] == 1 || bytes[1] == 2) && bytes[2] == 1 &&
         bytes[3] == 0;
}

}  // namespace

std::optional<Refusal> refusal_of_format(std::string_view first_bytes) {
  const std::string_view head = first_bytes.substr(0, kFormatBytes);
  const auto refuse = [](const char* name, const char* fix) {
    Refusal refusal;
    refusal.fix = std::string("save it as text: ") + fix;
    refusal.message = std::string("the file is ") + name + ", not text; " + refusal.fix;
    return refusal;
  };
  for (const Format& format : kFormats) {
    if (head.substr(0, format.start.size()) != format.start) continue;
    if (!format.within.empty() && head.find(format.within) == std::string_view::npos) continue;
    return refuse(format.name, format.fix);
  }
  if (is_old_stata(head)) {
    return refuse("a Stata data file (.dta)",
                  "in Stata, export delimited using study.csv, nolabel");
  }
  return std::nullopt;
}

}  // namespace quorvane
