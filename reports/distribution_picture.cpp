// The SVG picture of a run's export: the distribution of number correct, overall and in the two
// chosen sets.
#include "reports/distribution_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <system_error>
#include <vector>

#include "reports/export_text.h"
#include "reports/number_text.h"

namespace quorvane {
namespace {

using export_text::append_fixed;
using export_text::append_whole;
using export_text::coordinate;
using export_text::value_at;

// Text in XML.

constexpr std::string_view kReplacementCharacter = "\xEF\xBF\xBD";

// The characters of a UTF-8 text, each as its bytes. A byte that does not start a well-formed
// sequence, and a character XML does not allow (controls, U+FFFE, U+FFFF), become U+FFFD, so a
// file name of any bytes still gives a well-formed document.
std::vector<std::string_view> xml_characters(std::string_view text) {
  std::vector<std::string_view> characters;
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = 0;
    unsigned low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) low = 0xA0;   // no overlong forms
      if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) low = 0x90;
      if (lead == 0xF4) high = 0x8F;  // nothing above U+10FFFF
    }
    bool valid = length > 0 && i + length <= text.size();
    for (std::size_t j = 1; valid && j < length; ++j) {
      const auto byte = static_cast<unsigned char>(text[i + j]);
      valid = j == 1 ? byte >= low && byte <= high : byte >= 0x80 && byte <= 0xBF;
    }
    const std::string_view character = valid ? text.substr(i, length) : std::string_view{};
    const bool allowed = valid && (length > 1 || lead >= 0x20 || lead == '\t') &&
                         character != "\xEF\xBF\xBE" && character != "\xEF\xBF\xBF";
    characters.push_back(allowed ? character : kReplacementCharacter);
    i += valid ? length : 1;
  }
  return characters;
}

void append_escaped(std::string& out, std::string_view text) {
  for (const char c : text) {
    switch (c) {
      case '&':
        out.append("&amp;");
        break;
      case '<':
        out.append("&lt;");
        break;
      case '>':
        out.append("&gt;");
        break;
      case '"':
        out.append("&quot;");
        break;
      case '\'':
        out.append("&apos;");
        break;
      default:
        out.push_back(c);
    }
  }
}

// The text escaped for XML; a text longer than `most` characters keeps its start and its end
// (where a file's name is) around an ellipsis, so that a long path stays within the picture.
std::string xml_text(std::string_view text, std::size_t most) {
  const std::vector<std::string_view> characters = xml_characters(text);
  std::string out;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    if (characters.size() > most && i == most / 3) {
      out.append("\xE2\x80\xA6");  // ellipsis
      i = characters.size() - (most - most / 3 - 1);
    }
    append_escaped(out, characters[i]);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// The picture.

constexpr int kSvgHeight = 540;
constexpr double kPlotLeft = 80.0;
constexpr double kPlotRight = kPlotLeft + kSvgPlotWidth;
constexpr double kPlotTop = 76.0;
constexpr double kPlotBottom = 372.0;

constexpr std::size_t kMostMarkers = 60;

constexpr const char* kBarColour = "#9ecae1";
constexpr const char* kMvColour = "#d95f02";
constexpr const char* kDistColour = "#1b7837";
constexpr const char* kInkColour = "#333333";

// A step of 1, 2 or 5 times a power of ten that cuts `span` into at most `most` pieces, and the
// decimals its multiples need.
struct TickStep {
  double step;
  int decimals;
};
TickStep nice_step(double span, int most) {
  const double rough = span / most;
  const int exponent = static_cast<int>(std::floor(std::log10(rough)));
  const double power = std::pow(10.0, exponent);
  for (const double mantissa : {1.0, 2.0, 5.0}) {
    if (mantissa * power >= rough * (1.0 - 1e-9)) {
      return {mantissa * power, std::max(0, -exponent)};
    }
  }
  return {10.0 * power, std::max(0, -exponent - 1)};
}

// A run of adjacent values of v drawn as one bar, and the sum of each series over it.
struct Bin {
  int first;
  int last;
  double overall;
  double mv;
  double dist;
};

double finite_at(const std::vector<double>& values, int v) {
  const double* value = value_at(values, v);
  return value != nullptr && std::isfinite(*value) ? *value : 0.0;
}

class DistributionPicture {
 public:
  explicit DistributionPicture(const ExportData& data) : data_(data) {}

  std::string render() {
    choose_range();
    make_bins();
    out_.append("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    out_.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    append_whole(out_, kSvgWidth);
    out_.append("\" height=\"");
    append_whole(out_, kSvgHeight);
    out_.append("\" viewBox=\"0 0 ");
    append_whole(out_, kSvgWidth);
    out_.push_back(' ');
    append_whole(out_, kSvgHeight);
    out_.append("\" font-family=\"sans-serif\">\n");
    titles();
    out_.append("<rect x=\"0\" y=\"0\" width=\"");
    append_whole(out_, kSvgWidth);
    out_.append("\" height=\"");
    append_whole(out_, kSvgHeight);
    out_.append("\" fill=\"#ffffff\"/>\n");
    heading();
    y_axis();
    bars();
    x_axis();
    fit_line(data_.mv, kMvColour, false);
    fit_line(data_.dist, kDistColour, true);
    legend();
    out_.append("</svg>\n");
    return std::move(out_);
  }

 private:
  // The values of v shown: all of 0..M, or, when every series is 0 outside a run of values that
  // fills less than half of them, that run with a margin, so that a narrow peak is not a sliver.
  void choose_range() {
    const int items = std::max(0, data_.items);
    first_ = 0;
    last_ = items;
    int occupied_first = -1, occupied_last = -1;
    for (int v = 0; v <= items; ++v) {
      if (finite_at(data_.overall_percentages, v) > 0.0 || series_value(data_.mv, v) > 0.0 ||
          series_value(data_.dist, v) > 0.0) {
        if (occupied_first < 0) occupied_first = v;
        occupied_last = v;
      }
    }
    if (occupied_first < 0) return;
    const int margin = std::max(1, (occupied_last - occupied_first + 1) / 20);
    const int first = std::max(0, occupied_first - margin);
    const int last = std::min(items, occupied_last + margin);
    if (2 * (last - first + 1) < items + 1) {
      first_ = first;
      last_ = last;
      cropped_ = true;
    }
  }

  static double series_value(const ExportedFit& fit, int v) {
    return fit.found ? finite_at(fit.percentages, v) : 0.0;
  }

  void make_bins() {
    const int count = last_ - first_ + 1;
    bin_width_ = count > kSvgMostBars ? (count + kSvgMostBars - 1) / kSvgMostBars : 1;
    for (int first = first_; first <= last_; first += bin_width_) {
      Bin bin{first, std::min(first + bin_width_ - 1, last_), 0.0, 0.0, 0.0};
      for (int v = bin.first; v <= bin.last; ++v) {
        bin.overall += finite_at(data_.overall_percentages, v);
        bin.mv += series_value(data_.mv, v);
        bin.dist += series_value(data_.dist, v);
      }
      top_value_ = std::max({top_value_, bin.overall, bin.mv, bin.dist});
      bins_.push_back(bin);
    }
    if (top_value_ <= 0.0) top_value_ = 1.0;
    y_step_ = nice_step(top_value_, 6);
    top_value_ = std::ceil(top_value_ / y_step_.step * (1.0 - 1e-12)) * y_step_.step;
  }

  // Horizontal place of the value v; each value owns one slot of the plot's width.
  double x_of(double v) const {
    return kPlotLeft + (v - (first_ - 0.5)) / (last_ - first_ + 1) * kSvgPlotWidth;
  }
  double y_of(double percentage) const {
    return kPlotBottom - percentage / top_value_ * (kPlotBottom - kPlotTop);
  }

  void text(double x, double y, const char* anchor, int size, std::string_view escaped,
            std::string_view extra = {}) {
    out_.append("<text x=\"").append(coordinate(x)).append("\" y=\"").append(coordinate(y));
    out_.append("\" text-anchor=\"").append(anchor).append("\" font-size=\"");
    append_whole(out_, size);
    out_.append("\" fill=\"").append(kInkColour).append("\"");
    if (!extra.empty()) out_.append(" ").append(extra);
    out_.append(">").append(escaped).append("</text>\n");
  }

  void line(double x1, double y1, double x2, double y2, std::string_view style) {
    out_.append("<line x1=\"").append(coordinate(x1)).append("\" y1=\"").append(coordinate(y1));
    out_.append("\" x2=\"").append(coordinate(x2)).append("\" y2=\"").append(coordinate(y2));
    out_.append("\" ").append(style).append("/>\n");
  }

  std::string subtitle() const {
    std::string text = "data file ";
    text.append(xml_text(data_.data_file, 56));
    text.append(", N = ");
    append_whole(text, data_.participants);
    text.append(data_.participants == 1 ? " participant, M = " : " participants, M = ");
    append_whole(text, data_.items);
    text.append(data_.items == 1 ? " item, seed " : " items, seed ");
    append_whole(text, data_.seed);
    return text;
  }

  std::string program_title() const {
    return xml_text(data_.program_name, 40) + ": distribution of number correct per group";
  }

  void titles() {
    out_.append("<title>").append(program_title()).append("</title>\n");
    out_.append("<desc>").append(subtitle()).append("</desc>\n");
  }

  void heading() {
    text(kSvgWidth / 2.0, 30, "middle", 18, program_title(), "font-weight=\"bold\"");
    text(kSvgWidth / 2.0, 54, "middle", 14, subtitle());
  }

  void y_axis() {
    const int ticks = static_cast<int>(std::lround(top_value_ / y_step_.step));
    for (int i = 0; i <= ticks; ++i) {
      const double value = i * y_step_.step;
      const double y = y_of(value);
      line(kPlotLeft, y, kPlotRight, y, "stroke=\"#e0e0e0\" stroke-width=\"1\"");
      line(kPlotLeft - 5, y, kPlotLeft, y, "stroke=\"#333333\" stroke-width=\"1\"");
      std::string label;
      append_fixed(label, value, y_step_.decimals);
      text(kPlotLeft - 8, y + 4, "end", 12, label);
    }
    line(kPlotLeft, kPlotTop, kPlotLeft, kPlotBottom, "stroke=\"#333333\" stroke-width=\"1\"");
    const std::string middle = coordinate((kPlotTop + kPlotBottom) / 2.0);
    text(24, (kPlotTop + kPlotBottom) / 2.0, "middle", 13, "Percentage of groups",
         "transform=\"rotate(-90 24 " + middle + ")\"");
  }

  void bars() {
    const double slot = kSvgPlotWidth * static_cast<double>(bin_width_) / (last_ - first_ + 1);
    const double gap = slot >= 4.0 ? std::max(1.0, slot * 0.15) : 0.0;
    out_.append("<g fill=\"").append(kBarColour).append("\">\n");
    for (const Bin& bin : bins_) {
      if (bin.overall <= 0.0) continue;
      const double left = x_of(bin.first - 0.5) + gap / 2.0;
      const double right = x_of(bin.last + 0.5) - gap / 2.0;
      const double top = y_of(bin.overall);
      out_.append("<rect class=\"bar\" x=\"").append(coordinate(left));
      out_.append("\" y=\"").append(coordinate(top));
      out_.append("\" width=\"").append(coordinate(right - left));
      out_.append("\" height=\"").append(coordinate(kPlotBottom - top)).append("\"/>\n");
    }
    out_.append("</g>\n");
  }

  void x_axis() {
    line(kPlotLeft, kPlotBottom, kPlotRight, kPlotBottom, "stroke=\"#333333\" stroke-width=\"1\"");
    const TickStep step = nice_step(std::max(1, last_ - first_), 10);
    const auto whole_step = std::max(1LL, std::llround(step.step));
    for (long long v = (first_ + whole_step - 1) / whole_step * whole_step; v <= last_;
         v += whole_step) {
      const double x = x_of(static_cast<double>(v));
      line(x, kPlotBottom, x, kPlotBottom + 5, "stroke=\"#333333\" stroke-width=\"1\"");
      std::string label;
      append_whole(label, v);
      text(x, kPlotBottom + 19, "middle", 12, label);
    }
    text((kPlotLeft + kPlotRight) / 2.0, kPlotBottom + 40, "middle", 13,
         "Number correct per group (v)");
  }

  static std::string marker(double x, double y, bool square, const char* colour) {
    if (square) {
      return "<rect x=\"" + coordinate(x - 3.5) + "\" y=\"" + coordinate(y - 3.5) +
             "\" width=\"7\" height=\"7\" fill=\"" + colour + "\"/>\n";
    }
    return "<circle cx=\"" + coordinate(x) + "\" cy=\"" + coordinate(y) + "\" r=\"3.5\" fill=\"" +
           colour + "\"/>\n";
  }

  // The chosen set's percentages as a line over the bars, with a marker at each point, or when
  // there are too many for that, at each point above zero (at every few of them if need be).
  void fit_line(const ExportedFit& fit, const char* colour, bool dist) {
    if (!fit.found) return;
    out_.append("<polyline fill=\"none\" stroke=\"").append(colour);
    out_.append("\" stroke-width=\"2\" stroke-linejoin=\"round\"");
    if (dist) out_.append(" stroke-dasharray=\"7 4\"");
    out_.append(" points=\"");
    std::vector<std::pair<double, double>> points;
    for (const Bin& bin : bins_) {
      points.emplace_back(x_of((bin.first + bin.last) / 2.0), y_of(dist ? bin.dist : bin.mv));
      if (points.size() > 1) out_.push_back(' ');
      out_.append(coordinate(points.back().first)).append(",");
      out_.append(coordinate(points.back().second));
    }
    out_.append("\"/>\n");
    // A set of few groups has few values of v above 0: those points carry the markers, and the
    // zeros between them stay a plain line.
    std::size_t above_zero = 0;
    for (const Bin& bin : bins_) above_zero += (dist ? bin.dist : bin.mv) > 0.0 ? 1 : 0;
    const bool every_point = points.size() <= kMostMarkers;
    const std::size_t stride = above_zero <= kMostMarkers ? 1 : above_zero / kMostMarkers + 1;
    out_.append("<g>\n");
    for (std::size_t i = 0, marked = 0; i < points.size(); ++i) {
      if (!every_point && ((dist ? bins_[i].dist : bins_[i].mv) <= 0.0 || marked++ % stride != 0)) {
        continue;
      }
      out_.append(marker(points[i].first, points[i].second, dist, colour));
    }
    out_.append("</g>\n");
  }

  std::string fit_label(const ExportedFit& fit, const char* search) const {
    std::string label = search;
    if (!fit.found) return label + " search chose no set";
    label.append(" best set ");
    append_whole(label, fit.row);
    label.push_back('-');
    append_whole(label, fit.column);
    label.append(", chi-square ");
    char number[kNumberTextRoom];
    label.append(number, write_four_decimals(number, fit.chi_square));
    return label;
  }

  void legend() {
    const double swatch = kPlotLeft;
    const double words = kPlotLeft + 34;
    double y = 436;
    out_.append("<rect x=\"").append(coordinate(swatch + 4)).append("\" y=\"");
    out_.append(coordinate(y - 10)).append("\" width=\"18\" height=\"12\" fill=\"");
    out_.append(kBarColour).append("\"/>\n");
    text(words, y, "start", 13, "All groups of the 10,000 sets");
    const std::pair<const ExportedFit*, const char*> fits[] = {{&data_.mv, "MV"},
                                                               {&data_.dist, "DIST"}};
    for (const auto& [fit, search] : fits) {
      y += 22;
      const bool dist = fit == &data_.dist;
      const char* colour = dist ? kDistColour : kMvColour;
      if (fit->found) {
        line(swatch, y - 4, swatch + 26, y - 4,
             std::string("stroke=\"") + colour + "\" stroke-width=\"2\"" +
                 (dist ? " stroke-dasharray=\"7 4\"" : ""));
        out_.append(marker(swatch + 13, y - 4, dist, colour));
      }
      text(words, y, "start", 13, fit_label(*fit, search));
    }
    y += 26;
    std::string note;
    if (bin_width_ > 1) {
      note.append("Each bar and point adds up the percentages of ");
      append_whole(note, bin_width_);
      note.append(" adjacent values of v. ");
    }
    if (cropped_) {
      note.append("Shown: v = ");
      append_whole(note, first_);
      note.append(" to ");
      append_whole(note, last_);
      note.append(" of 0 to ");
      append_whole(note, data_.items);
      note.append("; every other value is 0 % in every series.");
    }
    if (!note.empty()) text(kPlotLeft, y, "start", 12, note, "font-style=\"italic\"");
  }

  const ExportData& data_;
  std::string out_;
  int first_ = 0;
  int last_ = 0;
  bool cropped_ = false;
  int bin_width_ = 1;
  std::vector<Bin> bins_;
  double top_value_ = 0.0;
  TickStep y_step_{1.0, 0};
};

}  // namespace

std::string distribution_svg(const ExportData& data) { return DistributionPicture(data).render(); }

}  // namespace quorvane
