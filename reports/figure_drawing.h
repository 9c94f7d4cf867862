#pragma once

#include <string>
#include <vector>

namespace quorvane {

// A vector drawing for a printed page, measured in points (1/72 inch) from its top left corner,
// y downwards: what the SVG and the PDF of a figure both draw, shape for shape.

struct Colour {
  unsigned char red;
  unsigned char green;
  unsigned char blue;
};

struct Point {
  double x;
  double y;
};

enum class TextAnchor { kStart, kMiddle, kEnd };

struct Shape {
  enum class Kind { kRectangle, kLine, kText };
  Kind kind = Kind::kLine;
  // What the shape shows ("bar", "exact", "x-tick", ...): the SVG's class, for readers.
  std::string role;
  // A rectangle: its corners, top left then bottom right, filled. A line: the points it joins.
  std::vector<Point> points;
  Colour colour{0, 0, 0};  // the fill of a rectangle or text, the stroke of a line
  double line_width = 0.0;
  double dash = 0.0;  // the length of each dash and gap; 0 for a solid line
  // A text: printable ASCII in the font below, with its baseline's anchor point at points[0],
  // running upwards when vertical.
  std::string words;
  double font_size = 0.0;
  TextAnchor anchor = TextAnchor::kStart;
  bool vertical = false;
};

struct Drawing {
  double width = 0.0;
  double height = 0.0;
  std::string title;  // what it shows, in the SVG's title and the PDF's information
  std::vector<Shape> shapes;
};

// Helvetica: its PDF name, and the fonts the SVG asks for, which have its metrics or close ones.
inline constexpr const char* kPdfFont = "Helvetica";
inline constexpr const char* kSvgFonts =
    "Helvetica, Arial, 'Liberation Sans', 'Nimbus Sans', sans-serif";

// The width of the words in Helvetica at the size, from its metrics (printable ASCII).
double text_width(const std::string& words, double font_size);

// The drawing as a standalone SVG 1.1 document, sized in millimetres, its user unit the point.
std::string drawing_svg(const Drawing& drawing);

// The drawing as a one-page PDF 1.4 document, its page the drawing's size, text in the standard
// font Helvetica: vector only and byte for byte the same for the same drawing.
std::string drawing_pdf(const Drawing& drawing, const std::string& producer);

}  // namespace quorvane
