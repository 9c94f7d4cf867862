// The SVG picture of a run's export, for a paper: the distribution of number correct, overall,
// exact and in the two chosen sets.
#include "reports/distribution_picture.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "reports/export_text.h"
#include "reports/number_text.h"
#include "simulation/set_label.h"

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

// The text escaped for XML.
std::string xml_text(std::string_view text) {
  std::string out;
  for (const std::string_view character : xml_characters(text)) append_escaped(out, character);
  return out;
}

// A text longer than `most` characters keeps its start and its end (where a file's name is)
// around an ellipsis, so that a long path stays within the picture.
std::string shortened(std::string_view text, std::size_t most) {
  const std::vector<std::string_view> characters = xml_characters(text);
  std::string out;
  for (std::size_t i = 0; i < characters.size(); ++i) {
    if (characters.size() > most && i == most / 3) {
      out.append("\xE2\x80\xA6");  // ellipsis
      i = characters.size() - (most - most / 3 - 1);
    }
    out.append(characters[i]);
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// The picture.

constexpr double kMargin = 20.0;
// A blank that never breaks a line, between a symbol and its value.
constexpr const char* kFixedBlank = "\xC2\xA0";
constexpr double kPlotRight = kSvgWidth - kMargin;
constexpr double kPlotLeft = kPlotRight - kSvgPlotWidth;
constexpr double kPlotHeight = 300.0;

constexpr int kTitleSize = 24;
constexpr int kTextSize = kSvgSmallestText;
constexpr double kLineSpacing = 1.3;  // of the text's size, from one baseline to the next
// A text's width per character, in its size: enough for the common sans-serif fonts, of which
// DejaVu Sans (Linux's usual one) is the widest; Arial and Helvetica are narrower.
constexpr double kCharacterWidth = 0.58;
constexpr const char* kFontFamilies =
    "Arial, Helvetica, 'Liberation Sans', 'DejaVu Sans', sans-serif";

constexpr const char* kBarColour = "#bdd7e7";
constexpr const char* kExactColour = "#000000";
constexpr const char* kMvColour = "#d95f02";
constexpr const char* kDistColour = "#1b7837";
constexpr const char* kInkColour = "#222222";

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
  double exact;
  double mv;
  double dist;
};

double finite_at(const std::vector<double>& values, int v) {
  const double* value = value_at(values, v);
  return value != nullptr && std::isfinite(*value) ? *value : 0.0;
}

// A whole number with a comma between each three digits, as in "10,000".
std::string with_thousands(long long value) {
  std::string digits;
  append_whole(digits, value < 0 ? -value : value);
  std::string text = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

std::string four_decimals(double value) {
  char number[kNumberTextRoom];
  return std::string(number, write_four_decimals(number, value));
}

// A percentage with at most two decimals, as in "10" or "3.33".
std::string short_percentage(double value) { return coordinate(value); }

// The text cut at blanks into lines of at most `most` characters (a longer word stands alone).
std::vector<std::string> wrapped(std::string_view text, std::size_t most) {
  std::vector<std::string> lines;
  std::string line;
  std::size_t line_characters = 0;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(' ', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view word = text.substr(start, end - start);
    const std::size_t characters = xml_characters(word).size();
    if (!line.empty() && line_characters + 1 + characters > most) {
      lines.push_back(line);
      line.clear();
      line_characters = 0;
    }
    if (!line.empty()) {
      line.push_back(' ');
      ++line_characters;
    }
    line.append(word);
    line_characters += characters;
    start = end + 1;
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

std::size_t characters_in(double width, int size) {
  return static_cast<std::size_t>(width / (size * kCharacterWidth));
}

enum class Mark { kBars, kExact, kMv, kDist, kNone };

class DistributionPicture {
 public:
  explicit DistributionPicture(const ExportData& data) : data_(data) {}

  std::string render() {
    choose_range();
    make_bins();
    double y = 0.0;
    y = heading(y);
    plot_top_ = y + 16.0;
    plot_bottom_ = plot_top_ + kPlotHeight;
    y_axis();
    bars();
    exact_steps();
    marks(data_.mv, Mark::kMv);
    marks(data_.dist, Mark::kDist);
    y = x_axis();
    y = legend(y + 12.0);
    y = caption(y + 10.0);
    const int height = static_cast<int>(std::ceil(y + kMargin));

    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg.append("<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"");
    append_whole(svg, kSvgWidth);
    svg.append("\" height=\"");
    append_whole(svg, height);
    svg.append("\" viewBox=\"0 0 ");
    append_whole(svg, kSvgWidth);
    svg.push_back(' ');
    append_whole(svg, height);
    svg.append("\" font-family=\"").append(kFontFamilies).append("\">\n");
    svg.append("<title>").append(xml_text(title())).append("</title>\n");
    svg.append("<desc>").append(xml_text(caption_text(data_.data_file))).append("</desc>\n");
    svg.append("<rect x=\"0\" y=\"0\" width=\"");
    append_whole(svg, kSvgWidth);
    svg.append("\" height=\"");
    append_whole(svg, height);
    svg.append("\" fill=\"#ffffff\"/>\n");
    svg.append(out_);
    svg.append("</svg>\n");
    return svg;
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
      if (finite_at(data_.overall_percentages, v) > 0.0 ||
          finite_at(data_.exact.percentages, v) > 0.0 || series_value(data_.mv, v) > 0.0 ||
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

  bool has_exact_distribution() const { return !data_.exact.percentages.empty(); }

  void make_bins() {
    const int count = last_ - first_ + 1;
    bin_width_ = count > kSvgMostBars ? (count + kSvgMostBars - 1) / kSvgMostBars : 1;
    for (int first = first_; first <= last_; first += bin_width_) {
      Bin bin{first, std::min(first + bin_width_ - 1, last_), 0.0, 0.0, 0.0, 0.0};
      for (int v = bin.first; v <= bin.last; ++v) {
        bin.overall += finite_at(data_.overall_percentages, v);
        bin.exact += finite_at(data_.exact.percentages, v);
        bin.mv += series_value(data_.mv, v);
        bin.dist += series_value(data_.dist, v);
      }
      top_value_ = std::max({top_value_, bin.overall, bin.exact, bin.mv, bin.dist});
      bins_.push_back(bin);
    }
    if (top_value_ <= 0.0) top_value_ = 1.0;
    top_value_ *= 1.04;  // room above the highest mark
    y_step_ = nice_step(top_value_, 5);
    top_value_ = std::ceil(top_value_ / y_step_.step * (1.0 - 1e-12)) * y_step_.step;
  }

  // Horizontal place of the value v; each value owns one slot of the plot's width.
  double x_of(double v) const {
    return kPlotLeft + (v - (first_ - 0.5)) / (last_ - first_ + 1) * kSvgPlotWidth;
  }
  double y_of(double percentage) const {
    return plot_bottom_ - percentage / top_value_ * (plot_bottom_ - plot_top_);
  }

  // One line of text, escaped here.
  void text(double x, double y, const char* anchor, int size, std::string_view words,
            std::string_view extra = {}) {
    out_.append("<text x=\"").append(coordinate(x)).append("\" y=\"").append(coordinate(y));
    out_.append("\" text-anchor=\"").append(anchor).append("\" font-size=\"");
    append_whole(out_, size);
    out_.append("\" fill=\"").append(kInkColour).append("\"");
    if (!extra.empty()) out_.append(" ").append(extra);
    out_.append(">").append(xml_text(words)).append("</text>\n");
  }

  // The words wrapped into the width from x, the first baseline at y; returns the last baseline.
  double paragraph(double x, double y, double width, int size, std::string_view words,
                   std::string_view extra = {}) {
    const std::vector<std::string> lines = wrapped(words, characters_in(width, size));
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) y += size * kLineSpacing;
      text(x, y, "start", size, lines[i], extra);
    }
    return y;
  }

  void line(double x1, double y1, double x2, double y2, std::string_view style) {
    out_.append("<line x1=\"").append(coordinate(x1)).append("\" y1=\"").append(coordinate(y1));
    out_.append("\" x2=\"").append(coordinate(x2)).append("\" y2=\"").append(coordinate(y2));
    out_.append("\" ").append(style).append("/>\n");
  }

  // The title in two parts: what is shown, and the study's size.
  std::pair<std::string, std::string> title_parts() const {
    std::string size = with_thousands(data_.participants);
    size.append(data_.participants == 1 ? " participant, " : " participants, ");
    size.append(with_thousands(data_.items));
    size.append(data_.items == 1 ? " item" : " items");
    return {"Number correct of nominal " + data_.groups_word + ",", size};
  }
  std::string title() const {
    const auto [what, size] = title_parts();
    return what + " " + size;
  }

  // On one line where it fits, else a line for each part; returns the last baseline.
  double heading(double y) {
    const std::size_t most = characters_in(kSvgWidth - 2 * kMargin, kTitleSize);
    std::vector<std::string> lines = {title()};
    if (xml_characters(lines[0]).size() > most) {
      const auto [what, size] = title_parts();
      lines = wrapped(what, most);
      for (std::string& line : wrapped(size, most)) lines.push_back(std::move(line));
    }
    y += kMargin;
    for (std::size_t i = 0; i < lines.size(); ++i) {
      y += kTitleSize * (i == 0 ? 1.0 : kLineSpacing);
      text(kSvgWidth / 2.0, y, "middle", kTitleSize, lines[i], "font-weight=\"bold\"");
    }
    return y;
  }

  void y_axis() {
    const int ticks = static_cast<int>(std::lround(top_value_ / y_step_.step));
    for (int i = 0; i <= ticks; ++i) {
      const double value = i * y_step_.step;
      const double y = y_of(value);
      line(kPlotLeft, y, kPlotRight, y, "stroke=\"#e0e0e0\" stroke-width=\"1\"");
      line(kPlotLeft - 5, y, kPlotLeft, y, "stroke=\"#222222\" stroke-width=\"1\"");
      std::string label;
      append_fixed(label, value, y_step_.decimals);
      text(kPlotLeft - 8, y + kTextSize * 0.35, "end", kTextSize, label);
    }
    line(kPlotLeft, plot_top_, kPlotLeft, plot_bottom_, "stroke=\"#222222\" stroke-width=\"1\"");
    const double x = kMargin + kTextSize * 0.75;
    const double middle = (plot_top_ + plot_bottom_) / 2.0;
    text(x, middle, "middle", kTextSize, "Percentage of groups",
         "transform=\"rotate(-90 " + coordinate(x) + " " + coordinate(middle) + ")\"");
  }

  double slot() const {
    return kSvgPlotWidth * static_cast<double>(bin_width_) / (last_ - first_ + 1);
  }

  void bars() {
    const double gap = slot() >= 4.0 ? std::max(1.0, slot() * 0.15) : 0.0;
    out_.append("<g fill=\"").append(kBarColour).append("\">\n");
    for (const Bin& bin : bins_) {
      if (bin.overall <= 0.0) continue;
      const double left = x_of(bin.first - 0.5) + gap / 2.0;
      const double right = x_of(bin.last + 0.5) - gap / 2.0;
      const double top = y_of(bin.overall);
      out_.append("<rect class=\"bar\" x=\"").append(coordinate(left));
      out_.append("\" y=\"").append(coordinate(top));
      out_.append("\" width=\"").append(coordinate(right - left));
      out_.append("\" height=\"").append(coordinate(plot_bottom_ - top)).append("\"/>\n");
    }
    out_.append("</g>\n");
  }

  // The exact distribution as steps over the bars: level across each value's slot, so that it
  // reads alike at any number of values.
  void exact_steps() {
    if (!has_exact_distribution()) return;
    out_.append("<path class=\"exact\" fill=\"none\" stroke=\"").append(kExactColour);
    out_.append("\" stroke-width=\"2\" d=\"");
    for (std::size_t i = 0; i < bins_.size(); ++i) {
      const Bin& bin = bins_[i];
      out_.append(i == 0 ? "M" : " L").append(coordinate(x_of(bin.first - 0.5))).append(",");
      out_.append(coordinate(y_of(bin.exact)));
      out_.append(" L").append(coordinate(x_of(bin.last + 0.5))).append(",");
      out_.append(coordinate(y_of(bin.exact)));
    }
    out_.append("\"/>\n");
  }

  static std::string mark(double x, double y, Mark kind) {
    if (kind == Mark::kMv) {
      return "<circle class=\"mv-mark\" cx=\"" + coordinate(x) + "\" cy=\"" + coordinate(y) +
             "\" r=\"7\" fill=\"none\" stroke=\"" + kMvColour + "\" stroke-width=\"2.5\"/>\n";
    }
    return "<path class=\"dist-mark\" d=\"M" + coordinate(x) + "," + coordinate(y - 5.5) + " L" +
           coordinate(x + 5.5) + "," + coordinate(y) + " L" + coordinate(x) + "," +
           coordinate(y + 5.5) + " L" + coordinate(x - 5.5) + "," + coordinate(y) + " Z\" fill=\"" +
           kDistColour + "\"/>\n";
  }

  // A chosen set as a mark at each value its groups scored: a set has only G groups, so it has
  // few such values, and a mark for each stays readable at any number of items, where a line
  // through its zeros would zigzag across the bars. The MV set's open circle rings the DIST set's
  // diamond where both stand at one point.
  void marks(const ExportedFit& fit, Mark kind) {
    if (!fit.found) return;
    out_.append("<g>\n");
    for (const Bin& bin : bins_) {
      const double value = kind == Mark::kMv ? bin.mv : bin.dist;
      if (value <= 0.0) continue;
      out_.append(mark(x_of((bin.first + bin.last) / 2.0), y_of(value), kind));
    }
    out_.append("</g>\n");
  }

  // Returns the baseline of the axis' title.
  double x_axis() {
    line(kPlotLeft, plot_bottom_, kPlotRight, plot_bottom_,
         "stroke=\"#222222\" stroke-width=\"1\"");
    const TickStep step = nice_step(std::max(1, last_ - first_), 6);
    const auto whole_step = std::max(1LL, std::llround(step.step));
    for (long long v = (first_ + whole_step - 1) / whole_step * whole_step; v <= last_;
         v += whole_step) {
      const double x = x_of(static_cast<double>(v));
      line(x, plot_bottom_, x, plot_bottom_ + 5, "stroke=\"#222222\" stroke-width=\"1\"");
      std::string label;
      append_whole(label, v);
      // A label at the plot's end stays inside the picture.
      const double half = static_cast<double>(label.size()) * kTextSize * kCharacterWidth / 2.0;
      const bool at_end = x + half > kSvgWidth - 2.0;
      text(at_end ? kSvgWidth - 2.0 : x, plot_bottom_ + 5 + kTextSize, at_end ? "end" : "middle",
           kTextSize, label);
    }
    const double y = plot_bottom_ + 5 + kTextSize + kTextSize * kLineSpacing;
    text((kPlotLeft + kPlotRight) / 2.0, y, "middle", kTextSize, "Number correct per group");
    return y;
  }

  std::string all_groups() const {
    const std::optional<std::uint64_t> count = group_count(data_.participants, data_.group_size);
    if (!count) return "more than " + with_thousands(std::numeric_limits<long long>::max());
    return with_thousands(static_cast<long long>(*count));
  }

  std::string fit_words(const ExportedFit& fit, bool dist) const {
    const char* measure = dist ? "distribution" : "mean and variance";
    if (!fit.found) return std::string("no set could be chosen by ") + measure;
    return std::string("best-fitting set by ") + measure + " (chi-square " +
           four_decimals(fit.chi_square) + " against the overall " +
           (dist ? "distribution" : "mean and variance") + ")";
  }

  void swatch(double x, double y, Mark kind) {
    const double middle = y - kTextSize * 0.35;
    switch (kind) {
      case Mark::kBars:
        out_.append("<rect x=\"").append(coordinate(x + 4)).append("\" y=\"");
        out_.append(coordinate(middle - 8)).append("\" width=\"28\" height=\"16\" fill=\"");
        out_.append(kBarColour).append("\"/>\n");
        break;
      case Mark::kExact:
        line(x + 4, middle, x + 32, middle,
             std::string("stroke=\"") + kExactColour + "\" stroke-width=\"2\"");
        break;
      case Mark::kMv:
      case Mark::kDist:
        out_.append(mark(x + 18, middle, kind));
        break;
      case Mark::kNone:
        break;
    }
  }

  // Returns the baseline of its last line.
  double legend(double y) {
    const double words_left = kMargin + 44;
    const double width = kSvgWidth - kMargin - words_left;
    std::vector<std::pair<Mark, std::string>> entries = {
        {Mark::kBars, "all groups of the " + with_thousands(kSetCount) + " sets"}};
    if (has_exact_distribution()) {
      entries.emplace_back(Mark::kExact, "exact distribution over all " + all_groups() +
                                             " possible " + data_.groups_word);
    }
    entries.emplace_back(data_.mv.found ? Mark::kMv : Mark::kNone, fit_words(data_.mv, false));
    entries.emplace_back(data_.dist.found ? Mark::kDist : Mark::kNone, fit_words(data_.dist, true));
    for (const auto& [kind, words] : entries) {
      y += kTextSize * kLineSpacing + 4;
      swatch(kMargin, y, kind);
      y = paragraph(words_left, y, width, kTextSize, words);
    }
    return y;
  }

  std::string caption_text(std::string_view data_file) const {
    const int groups = data_.full_groups();
    const auto equals = [](const char* symbol, long long value) {
      return std::string(symbol) + kFixedBlank + "=" + kFixedBlank + with_thousands(value);
    };
    std::string text = equals("N", data_.participants) + " participants, " +
                       equals("M", data_.items) + " items, groups of " +
                       equals("k", data_.group_size) + ", seed ";
    append_whole(text, data_.seed);
    text.append(". Bars: all " + with_thousands(static_cast<long long>(kSetCount) * groups) +
                " groups of the " + with_thousands(kSetCount) + " random ");
    text.append("sets (mean " + four_decimals(data_.overall_mean) + ", variance " +
                four_decimals(data_.overall_variance) + "). ");
    if (data_.exact.mean) {
      text.append("Exact over all " + all_groups() + " possible " + data_.groups_word + ": mean " +
                  four_decimals(*data_.exact.mean));
      if (data_.exact.variance) {
        text.append(", expected set variance " + four_decimals(*data_.exact.variance) + ". ");
      } else {
        text.append("; the exact variance is left out, as it would take too long. ");
      }
    }
    if (!has_exact_distribution()) {
      text.append("The exact distribution is left out, as counting the " + all_groups() +
                  " possible " + data_.groups_word + " would take too long. ");
    }
    text.append("Each best-fitting set has only ");
    append_whole(text, groups);
    text.append(groups == 1 ? " group" : " groups");
    text.append(" (" + short_percentage(groups > 0 ? 100.0 / groups : 0.0) + kFixedBlank +
                "% each): its marks stand at the values they scored, and it has 0" +
                std::string(kFixedBlank) + "% elsewhere. ");
    if (bin_width_ > 1) {
      text.append("Each bar and mark adds up the percentages of ");
      append_whole(text, bin_width_);
      text.append(" adjacent values. ");
    }
    if (cropped_) {
      text.append("Shown: " + with_thousands(first_) + " to " + with_thousands(last_) +
                  " correct of 0 to " + with_thousands(data_.items) + "; every other value is 0" +
                  kFixedBlank + "% in every series. ");
    }
    text.append("Data file: ").append(data_file).append(".");
    return text;
  }

  // Returns the baseline of its last line.
  double caption(double y) {
    return paragraph(kMargin, y + kTextSize * kLineSpacing, kSvgWidth - 2 * kMargin, kTextSize,
                     caption_text(shortened(data_.data_file, 40)));
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
  double plot_top_ = 0.0;
  double plot_bottom_ = 0.0;
};

}  // namespace

std::string distribution_svg(const ExportData& data) { return DistributionPicture(data).render(); }

}  // namespace quorvane
