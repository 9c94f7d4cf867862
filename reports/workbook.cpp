#include "reports/workbook.h"

#include <string_view>

#include "reports/export_text.h"
#include "reports/stored_zip.h"
#include "reports/xml_text.h"

namespace quorvane {
namespace {

using export_text::append_whole;

constexpr std::string_view kXmlDeclaration =
    "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
constexpr std::string_view kMain = "http://schemas.openxmlformats.org/spreadsheetml/2006/main";
constexpr std::string_view kPackageRelationships =
    "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr std::string_view kRelationship =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";

// The column's letters: A to Z, then AA, AB, ...
std::string column_letters(std::size_t column) {
  std::string letters;
  for (std::size_t n = column + 1; n > 0; n = (n - 1) / 26) {
    letters.insert(letters.begin(), static_cast<char>('A' + (n - 1) % 26));
  }
  return letters;
}

std::string content_types(std::size_t sheets) {
  std::string xml(kXmlDeclaration);
  xml.append(
      "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
      "<Default Extension=\"rels\" "
      "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
      "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
      "<Override PartName=\"/xl/workbook.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml\"/>"
      "<Override PartName=\"/xl/styles.xml\" ContentType=\"application/"
      "vnd.openxmlformats-officedocument.spreadsheetml.styles+xml\"/>");
  for (std::size_t i = 1; i <= sheets; ++i) {
    xml.append("<Override PartName=\"/xl/worksheets/sheet");
    append_whole(xml, static_cast<long long>(i));
    xml.append(
        ".xml\" ContentType=\"application/"
        "vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml\"/>");
  }
  xml.append("</Types>");
  return xml;
}

std::string package_relationships() {
  std::string xml(kXmlDeclaration);
  xml.append("<Relationships xmlns=\"").append(kPackageRelationships).append("\">");
  xml.append("<Relationship Id=\"rId1\" Type=\"").append(kRelationship);
  xml.append("/officeDocument\" Target=\"xl/workbook.xml\"/></Relationships>");
  return xml;
}

std::string workbook(const std::vector<NamedTable>& tables) {
  std::string xml(kXmlDeclaration);
  xml.append("<workbook xmlns=\"").append(kMain).append("\" xmlns:r=\"").append(kRelationship);
  xml.append("\"><sheets>");
  for (std::size_t i = 1; i <= tables.size(); ++i) {
    xml.append("<sheet name=\"").append(xml_text(tables[i - 1].name)).append("\" sheetId=\"");
    append_whole(xml, static_cast<long long>(i));
    xml.append("\" r:id=\"rId");
    append_whole(xml, static_cast<long long>(i));
    xml.append("\"/>");
  }
  xml.append("</sheets></workbook>");
  return xml;
}

std::string workbook_relationships(std::size_t sheets) {
  std::string xml(kXmlDeclaration);
  xml.append("<Relationships xmlns=\"").append(kPackageRelationships).append("\">");
  for (std::size_t i = 1; i <= sheets + 1; ++i) {
    xml.append("<Relationship Id=\"rId");
    append_whole(xml, static_cast<long long>(i));
    xml.append("\" Type=\"").append(kRelationship);
    if (i <= sheets) {
      xml.append("/worksheet\" Target=\"worksheets/sheet");
      append_whole(xml, static_cast<long long>(i));
      xml.append(".xml\"/>");
    } else {
      xml.append("/styles\" Target=\"styles.xml\"/>");
    }
  }
  xml.append("</Relationships>");
  return xml;
}

// Two cell formats: the default, and bold for the header row.
std::string styles() {
  std::string xml(kXmlDeclaration);
  xml.append("<styleSheet xmlns=\"").append(kMain).append("\">");
  xml.append(
      "<fonts count=\"2\"><font><sz val=\"11\"/><name val=\"Calibri\"/></font>"
      "<font><b/><sz val=\"11\"/><name val=\"Calibri\"/></font></fonts>"
      "<fills count=\"2\"><fill><patternFill patternType=\"none\"/></fill>"
      "<fill><patternFill patternType=\"gray125\"/></fill></fills>"
      "<borders count=\"1\"><border><left/><right/><top/><bottom/><diagonal/></border></borders>"
      "<cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
      "</cellStyleXfs><cellXfs count=\"2\">"
      "<xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\" xfId=\"0\"/>"
      "<xf numFmtId=\"0\" fontId=\"1\" fillId=\"0\" borderId=\"0\" xfId=\"0\" applyFont=\"1\"/>"
      "</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/>"
      "</cellStyles></styleSheet>");
  return xml;
}

std::string worksheet(const TableRows& rows) {
  std::string xml(kXmlDeclaration);
  xml.append("<worksheet xmlns=\"").append(kMain).append("\">");
  xml.append(
      "<sheetViews><sheetView workbookViewId=\"0\"><pane ySplit=\"1\" topLeftCell=\"A2\" "
      "activePane=\"bottomLeft\" state=\"frozen\"/></sheetView></sheetViews><sheetData>");
  for (std::size_t r = 0; r < rows.size(); ++r) {
    std::string row_number;
    append_whole(row_number, static_cast<long long>(r) + 1);
    xml.append("<row r=\"").append(row_number).append("\">");
    for (std::size_t c = 0; c < rows[r].size(); ++c) {
      const TableCell& cell = rows[r][c];
      if (cell.kind == TableCell::Kind::kEmpty) continue;
      xml.append("<c r=\"").append(column_letters(c)).append(row_number).append("\"");
      if (r == 0) xml.append(" s=\"1\"");
      if (cell.kind == TableCell::Kind::kNumber) {
        xml.append("><v>").append(cell.text).append("</v></c>");
      } else {
        xml.append(" t=\"inlineStr\"><is><t xml:space=\"preserve\">");
        xml.append(xml_text(cell.text)).append("</t></is></c>");
      }
    }
    xml.append("</row>");
  }
  xml.append("</sheetData></worksheet>");
  return xml;
}

}  // namespace

std::string xlsx_workbook(const std::vector<NamedTable>& tables) {
  std::vector<ZipEntry> parts = {
      {"[Content_Types].xml", content_types(tables.size())},
      {"_rels/.rels", package_relationships()},
      {"xl/workbook.xml", workbook(tables)},
      {"xl/_rels/workbook.xml.rels", workbook_relationships(tables.size())},
      {"xl/styles.xml", styles()}};
  for (std::size_t i = 1; i <= tables.size(); ++i) {
    std::string name = "xl/worksheets/sheet";
    append_whole(name, static_cast<long long>(i));
    parts.push_back({name + ".xml", worksheet(tables[i - 1].rows)});
  }
  return stored_zip(parts);
}

}  // namespace quorvane
