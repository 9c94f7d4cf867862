// A drawing as a one-page PDF, written here: a catalogue, a page tree, one page, the standard font
// Helvetica (which every PDF reader has, so none is embedded), the page's drawing operators and
// the cross-reference table. Nothing varies but the drawing: no date, no identifier.
#include <array>
#include <string>
#include <vector>

#include "reports/export_text.h"
#include "reports/figure_drawing.h"

namespace quorvane {
namespace {

using export_text::append_fixed;
using export_text::append_whole;
using export_text::coordinate;

// Helvetica's advance widths, in thousandths of the size, of the characters 32 to 126.
constexpr std::array<short, 95> kHelveticaWidths = {
    278, 278, 355, 556, 556, 889, 667, 191, 333, 333, 389, 584, 278, 333,  278, 278, 556, 556, 556,
    556, 556, 556, 556, 556, 556, 556, 278, 278, 584, 584, 584, 556, 1015, 667, 667, 722, 722, 667,
    611, 778, 722, 278, 500, 667, 556, 833, 722, 778, 667, 778, 722, 667,  611, 722, 667, 944, 667,
    667, 611, 278, 278, 278, 469, 556, 333, 556, 556, 500, 556, 556, 278,  556, 556, 222, 222, 500,
    222, 833, 556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500,  500, 334, 260, 334, 584};

std::string colour_part(unsigned char part) {
  std::string text;
  append_fixed(text, part / 255.0, 3);
  while (text.size() > 1 && text.back() == '0') text.pop_back();
  if (text.back() == '.') text.pop_back();
  return text;
}

std::string colour_of(Colour colour) {
  return colour_part(colour.red) + " " + colour_part(colour.green) + " " + colour_part(colour.blue);
}

// A PDF string: only printable ASCII reaches it; the parentheses and backslash are escaped.
std::string pdf_string(const std::string& words) {
  std::string text = "(";
  for (const char c : words) {
    if (c == '(' || c == ')' || c == '\\') text.push_back('\\');
    text.push_back(c >= 32 && c <= 126 ? c : '?');
  }
  return text + ")";
}

class PageContent {
 public:
  explicit PageContent(double height) : height_(height) {}

  void add(const Shape& shape) {
    switch (shape.kind) {
      case Shape::Kind::kRectangle:
        rectangle(shape);
        break;
      case Shape::Kind::kLine:
        line(shape);
        break;
      case Shape::Kind::kText:
        text(shape);
        break;
    }
  }
  const std::string& operators() const { return out_; }

 private:
  std::string y(double from_top) const { return coordinate(height_ - from_top); }

  void rectangle(const Shape& shape) {
    const Point top_left = shape.points.at(0), bottom_right = shape.points.at(1);
    out_.append(colour_of(shape.colour)).append(" rg ").append(coordinate(top_left.x));
    out_.append(" ").append(y(bottom_right.y)).append(" ");
    out_.append(coordinate(bottom_right.x - top_left.x)).append(" ");
    out_.append(coordinate(bottom_right.y - top_left.y)).append(" re f\n");
  }

  void line(const Shape& shape) {
    out_.append(colour_of(shape.colour)).append(" RG ").append(coordinate(shape.line_width));
    out_.append(" w ");
    if (shape.dash > 0.0) {
      out_.append("[").append(coordinate(shape.dash)).append(" ").append(coordinate(shape.dash));
      out_.append("] 0 d ");
    } else {
      out_.append("[] 0 d ");
    }
    for (std::size_t i = 0; i < shape.points.size(); ++i) {
      out_.append(coordinate(shape.points[i].x)).append(" ").append(y(shape.points[i].y));
      out_.append(i == 0 ? " m " : " l ");
    }
    out_.append("S\n");
  }

  void text(const Shape& shape) {
    const double width = text_width(shape.words, shape.font_size);
    const double shift = shape.anchor == TextAnchor::kStart    ? 0.0
                         : shape.anchor == TextAnchor::kMiddle ? width / 2.0
                                                               : width;
    const Point at = shape.points.at(0);
    out_.append("BT /F1 ").append(coordinate(shape.font_size)).append(" Tf ");
    out_.append(colour_of(shape.colour)).append(" rg ");
    if (shape.vertical) {
      out_.append("0 1 -1 0 ").append(coordinate(at.x)).append(" ").append(y(at.y + shift));
    } else {
      out_.append("1 0 0 1 ").append(coordinate(at.x - shift)).append(" ").append(y(at.y));
    }
    out_.append(" Tm ").append(pdf_string(shape.words)).append(" Tj ET\n");
  }

  double height_;
  std::string out_;
};

}  // namespace

double text_width(const std::string& words, double font_size) {
  long units = 0;
  for (const char c : words) {
    const int code = static_cast<unsigned char>(c);
    units +=
        code >= 32 && code <= 126 ? kHelveticaWidths[static_cast<std::size_t>(code - 32)] : 556;
  }
  return static_cast<double>(units) * font_size / 1000.0;
}

std::string drawing_pdf(const Drawing& drawing, const std::string& producer) {
  PageContent content(drawing.height);
  for (const Shape& shape : drawing.shapes) content.add(shape);

  std::string contents_object = "<< /Length ";
  append_whole(contents_object, static_cast<long long>(content.operators().size()));
  contents_object.append(" >>\nstream\n").append(content.operators()).append("endstream");

  const std::vector<std::string> objects = {
      "<< /Type /Catalog /Pages 2 0 R >>",
      "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
      "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 " + coordinate(drawing.width) + " " +
          coordinate(drawing.height) +
          "] /Resources << /Font << /F1 4 0 R >> >> /Contents 5 0 R >>",
      std::string("<< /Type /Font /Subtype /Type1 /BaseFont /") + kPdfFont +
          " /Encoding /WinAnsiEncoding >>",
      contents_object,
      "<< /Title " + pdf_string(drawing.title) + " /Producer " + pdf_string(producer) + " >>"};

  std::string pdf = "%PDF-1.4\n";
  std::vector<std::size_t> offsets;
  for (std::size_t i = 0; i < objects.size(); ++i) {
    offsets.push_back(pdf.size());
    append_whole(pdf, static_cast<long long>(i) + 1);
    pdf.append(" 0 obj\n").append(objects[i]).append("\nendobj\n");
  }
  const std::size_t table = pdf.size();
  pdf.append("xref\n0 ");
  append_whole(pdf, static_cast<long long>(objects.size()) + 1);
  pdf.append("\n0000000000 65535 f\r\n");
  for (const std::size_t offset : offsets) {
    std::string digits;
    append_whole(digits, static_cast<long long>(offset));
    pdf.append(10 - digits.size(), '0').append(digits).append(" 00000 n\r\n");
  }
  pdf.append("trailer\n<< /Size ");
  append_whole(pdf, static_cast<long long>(objects.size()) + 1);
  pdf.append(" /Root 1 0 R /Info 6 0 R >>\nstartxref\n");
  append_whole(pdf, static_cast<long long>(table));
  pdf.append("\n%%EOF\n");
  return pdf;
}

}  // namespace quorvane
