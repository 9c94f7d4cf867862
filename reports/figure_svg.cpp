// A drawing as SVG: the same shapes as its PDF, in points, on a page sized in millimetres.
#include <string>

#include "reports/export_text.h"
#include "reports/figure_drawing.h"
#include "reports/xml_text.h"

namespace quorvane {
namespace {

using export_text::coordinate;

constexpr double kMillimetresPerPoint = 25.4 / 72.0;

std::string hex(Colour colour) {
  constexpr const char* kDigits = "0123456789abcdef";
  std::string text = "#";
  for (const unsigned char part : {colour.red, colour.green, colour.blue}) {
    text.push_back(kDigits[part >> 4]);
    text.push_back(kDigits[part & 0xF]);
  }
  return text;
}

void rectangle(std::string& out, const Shape& shape) {
  const Point top_left = shape.points.at(0), bottom_right = shape.points.at(1);
  out.append("<rect class=\"").append(shape.role).append("\" x=\"");
  out.append(coordinate(top_left.x)).append("\" y=\"").append(coordinate(top_left.y));
  out.append("\" width=\"").append(coordinate(bottom_right.x - top_left.x));
  out.append("\" height=\"").append(coordinate(bottom_right.y - top_left.y));
  out.append("\" fill=\"").append(hex(shape.colour)).append("\"/>\n");
}

void line(std::string& out, const Shape& shape) {
  out.append("<polyline class=\"").append(shape.role).append("\" points=\"");
  for (std::size_t i = 0; i < shape.points.size(); ++i) {
    if (i > 0) out.push_back(' ');
    out.append(coordinate(shape.points[i].x)).append(",").append(coordinate(shape.points[i].y));
  }
  out.append("\" fill=\"none\" stroke=\"").append(hex(shape.colour));
  out.append("\" stroke-width=\"").append(coordinate(shape.line_width));
  if (shape.dash > 0.0) {
    out.append("\" stroke-dasharray=\"").append(coordinate(shape.dash)).append(" ");
    out.append(coordinate(shape.dash));
  }
  out.append("\"/>\n");
}

void text(std::string& out, const Shape& shape) {
  const Point at = shape.points.at(0);
  out.append("<text class=\"").append(shape.role).append("\" x=\"").append(coordinate(at.x));
  out.append("\" y=\"").append(coordinate(at.y)).append("\" font-size=\"");
  out.append(coordinate(shape.font_size)).append("\"");
  if (shape.anchor != TextAnchor::kStart) {
    out.append(" text-anchor=\"").append(shape.anchor == TextAnchor::kMiddle ? "middle" : "end");
    out.append("\"");
  }
  if (shape.vertical) {
    out.append(" transform=\"rotate(-90 ").append(coordinate(at.x)).append(" ");
    out.append(coordinate(at.y)).append(")\"");
  }
  out.append(" fill=\"").append(hex(shape.colour)).append("\">");
  out.append(xml_text(shape.words)).append("</text>\n");
}

}  // namespace

std::string drawing_svg(const Drawing& drawing) {
  std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
  svg.append(coordinate(drawing.width * kMillimetresPerPoint)).append("mm\" height=\"");
  svg.append(coordinate(drawing.height * kMillimetresPerPoint)).append("mm\" viewBox=\"0 0 ");
  svg.append(coordinate(drawing.width)).append(" ").append(coordinate(drawing.height));
  svg.append("\" font-family=\"").append(kSvgFonts).append("\">\n");
  svg.append("<title>").append(xml_text(drawing.title)).append("</title>\n");
  svg.append("<rect x=\"0\" y=\"0\" width=\"").append(coordinate(drawing.width));
  svg.append("\" height=\"").append(coordinate(drawing.height)).append("\" fill=\"#ffffff\"/>\n");
  for (const Shape& shape : drawing.shapes) {
    switch (shape.kind) {
      case Shape::Kind::kRectangle:
        rectangle(svg, shape);
        break;
      case Shape::Kind::kLine:
        line(svg, shape);
        break;
      case Shape::Kind::kText:
        text(svg, shape);
        break;
    }
  }
  svg.append("</svg>\n");
  return svg;
}

}  // namespace quorvane
