#pragma once

#include <map>
#include <string>
#include <vector>

namespace quorvane::testing {

// The figure files read as a reader that did not write them reads them.

// An element of an SVG document: its name, its attributes (entities decoded) and the text
// directly inside it. A tag that is not well-formed fails the test that reads it.
struct SvgElement {
  std::string name;
  std::map<std::string, std::string> attributes;
  std::string text;
};
std::vector<SvgElement> svg_elements(const std::string& svg);

// A length written in mm or pt, in points.
double in_points(const std::string& length);

// What a one-page PDF draws: its page size, every font size (Tf) and line width (w) its content
// sets, and every string it shows (Tj), in order. A cross-reference table whose offsets miss
// their objects, or a stream of another length than it says, fails the test that reads it.
struct PdfPage {
  double width = 0.0;
  double height = 0.0;
  std::vector<double> font_sizes;
  std::vector<double> line_widths;
  std::vector<std::string> texts;
};
PdfPage read_pdf(const std::string& pdf);

}  // namespace quorvane::testing
