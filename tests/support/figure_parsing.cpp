#include "tests/support/figure_parsing.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace quorvane::testing {
namespace {

std::string decoded(const std::string& text) {
  static const std::pair<const char*, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    bool entity = false;
    for (const auto& [name, character] : kEntities) {
      if (text.compare(i, std::char_traits<char>::length(name), name) == 0) {
        out.push_back(character);
        i += std::char_traits<char>::length(name);
        entity = true;
        break;
      }
    }
    if (entity) continue;
    EXPECT_NE(text[i], '&') << "a bare & in " << text;
    out.push_back(text[i++]);
  }
  return out;
}

double number(const std::string& word) {
  char* end = nullptr;
  const double value = std::strtod(word.c_str(), &end);
  EXPECT_TRUE(!word.empty() && *end == '\0') << "'" << word << "' is not a number";
  return value;
}

}  // namespace

std::vector<SvgElement> svg_elements(const std::string& svg) {
  std::vector<SvgElement> elements;
  std::vector<std::size_t> open;  // the elements not yet closed
  std::size_t i = svg.find("<svg");
  EXPECT_NE(i, std::string::npos) << "no <svg> element";
  while (i != std::string::npos && i < svg.size()) {
    const std::size_t end = svg.find('>', i);
    if (end == std::string::npos) {
      ADD_FAILURE() << "a tag without its end";
      break;
    }
    const std::string tag = svg.substr(i + 1, end - i - 1);
    if (tag[0] == '/') {
      EXPECT_FALSE(open.empty()) << "</" << tag << "> closes nothing";
      if (!open.empty()) {
        EXPECT_EQ(elements[open.back()].name, tag.substr(1));
        open.pop_back();
      }
    } else {
      SvgElement element;
      std::size_t at = tag.find_first_of(" /");
      element.name = tag.substr(0, at);
      while (at != std::string::npos && at < tag.size()) {
        const std::size_t equals = tag.find("=\"", at);
        if (equals == std::string::npos) break;
        const std::size_t close = tag.find('"', equals + 2);
        const std::size_t name_start = tag.find_first_not_of(' ', at);
        element.attributes[tag.substr(name_start, equals - name_start)] =
            decoded(tag.substr(equals + 2, close - equals - 2));
        at = close + 1;
      }
      if (!open.empty()) {
        const std::size_t parent_end = svg.find('<', end);
        element.text = decoded(svg.substr(end + 1, parent_end - end - 1));
      }
      elements.push_back(element);
      if (tag.back() != '/') open.push_back(elements.size() - 1);
    }
    i = svg.find('<', end);
  }
  EXPECT_TRUE(open.empty()) << "elements left open";
  return elements;
}

double in_points(const std::string& length) {
  const std::size_t unit = length.find_first_not_of("0123456789.-");
  const double value = number(length.substr(0, unit));
  const std::string name = unit == std::string::npos ? "" : length.substr(unit);
  EXPECT_TRUE(name == "mm" || name == "pt") << "a unit other than mm or pt: " << name;
  return name == "mm" ? value / 25.4 * 72.0 : value;
}

PdfPage read_pdf(const std::string& pdf) {
  PdfPage page;
  EXPECT_EQ(pdf.rfind("%PDF-1.", 0), 0u);
  // The cross-reference table: each object where it says.
  const std::size_t startxref = pdf.rfind("startxref\n");
  EXPECT_NE(startxref, std::string::npos);
  if (startxref == std::string::npos) return page;
  const auto table = static_cast<std::size_t>(std::atoll(pdf.c_str() + startxref + 10));
  EXPECT_EQ(pdf.compare(table, 5, "xref\n"), 0);
  std::istringstream header(pdf.substr(table + 5, 20));
  std::size_t first = 0, count = 0;
  header >> first >> count;
  const std::size_t entries = pdf.find('\n', table + 5) + 1;
  for (std::size_t object = 1; object < count; ++object) {
    const std::string entry = pdf.substr(entries + object * 20, 20);
    EXPECT_EQ(entry.substr(10, 8), " 00000 n") << entry;
    EXPECT_TRUE(entry.substr(18) == "\r\n" || entry.substr(18) == " \n") << "a 20-byte entry";
    const auto offset = static_cast<std::size_t>(std::atoll(entry.c_str()));
    const std::string expected = std::to_string(object) + " 0 obj";
    EXPECT_EQ(pdf.compare(offset, expected.size(), expected), 0) << "object " << object;
  }
  // The page's size.
  std::istringstream media(pdf.substr(pdf.find("/MediaBox [") + 11));
  double x0 = 1, y0 = 1;
  media >> x0 >> y0 >> page.width >> page.height;
  EXPECT_EQ(x0, 0.0);
  EXPECT_EQ(y0, 0.0);
  // The content stream, its length as said.
  const std::size_t length_at = pdf.find("/Length ");
  const auto length = static_cast<std::size_t>(std::atoll(pdf.c_str() + length_at + 8));
  const std::size_t start = pdf.find("stream\n", length_at) + 7;
  EXPECT_EQ(pdf.compare(start + length, 9, "endstream"), 0) << "the stream's /Length is wrong";
  const std::string content = pdf.substr(start, length);
  // Its operators, each after its operands.
  std::vector<std::string> operands;
  for (std::size_t i = 0; i < content.size();) {
    const char c = content[i];
    if (c == ' ' || c == '\n' || c == '\r') {
      ++i;
    } else if (c == '(') {
      std::string text;
      for (++i; i < content.size() && content[i] != ')'; ++i) {
        if (content[i] == '\\') ++i;
        text.push_back(content[i]);
      }
      operands.push_back(text);
      ++i;
    } else {
      const std::size_t end = content.find_first_of(" \n\r", i);
      const std::string word = content.substr(i, end - i);
      i = end == std::string::npos ? content.size() : end;
      if (word == "Tf") page.font_sizes.push_back(number(operands.back()));
      if (word == "w") page.line_widths.push_back(number(operands.back()));
      if (word == "Tj") page.texts.push_back(operands.back());
      const bool operand = word[0] == '/' || word[0] == '[' || word.back() == ']' ||
                           word.find_first_not_of("0123456789.-") == std::string::npos;
      if (operand) {
        operands.push_back(word);
      } else {
        operands.clear();
      }
    }
  }
  return page;
}

}  // namespace quorvane::testing
