// The figure of a run's export, for a paper: the distribution of number correct, overall and
// exact in one panel, in the two chosen sets in another.
#include "reports/distribution_picture.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

#include "reports/export_text.h"
#include "simulation/set_label.h"

namespace quorvane {
namespace {

using export_text::append_fixed;
using export_text::append_whole;
using export_text::significant;
using export_text::value_at;

// Sizes in points.
constexpr double kTextSize = 8.0;
constexpr double kAxisLine = 0.75;
constexpr double kDataLine = 1.0;
constexpr double kTickLength = 3.0;
constexpr double kMargin = 3.0;
constexpr double kMainPanelHeight = 105.0;
constexpr double kSetPanelHeight = 52.0;
constexpr double kPanelGap = 9.0;
constexpr double kLegendRow = 11.0;
constexpr double kSwatchWidth = 13.0;

constexpr Colour kInk{0x22, 0x22, 0x22};
constexpr Colour kBarColour{0xa6, 0xc8, 0xe0};
constexpr Colour kExactColour{0x00, 0x00, 0x00};
constexpr Colour kMvColour{0xd9, 0x5f, 0x02};
constexpr Colour kDistColour{0x1b, 0x78, 0x37};
constexpr double kDistDash = 2.5;

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

// The round step after this one: 1, 2, 5, 10, 20, 50, ...
int next_round_step(int step) {
  int power = 1;
  while (step / power >= 10) power *= 10;
  return step / power == 2 ? step / 2 * 5 : step * 2;
}

double finite_at(const std::vector<double>& values, int v) {
  const double* value = value_at(values, v);
  return value != nullptr && std::isfinite(*value) ? *value : 0.0;
}

double fit_at(const ExportedFit& fit, int v) {
  return fit.found ? finite_at(fit.percentages, v) : 0.0;
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

// A run of adjacent values of v drawn as one bar, and the sum of each series over it.
struct Bin {
  int first;
  int last;
  double overall;
  double exact;
  double mv;
  double dist;
};

// Which values of v are shown, and how they are added into bars.
struct Plan {
  int first = 0;
  int last = 0;
  int bin_width = 1;
  std::vector<Bin> bins;
  double exact_outside = 0.0;  // the exact distribution's percentage outside first..last
};

// The values shown are those the groups of the 10,000 sets scored, and those where the exact
// distribution would stand at least 1 % of the highest bar; the rest of the exact distribution
// is said in the caption.
Plan plan_of(const ExportData& data) {
  Plan plan;
  const int items = std::max(0, data.items);
  double highest = 0.0;
  for (int v = 0; v <= items; ++v)
    highest = std::max(highest, finite_at(data.overall_percentages, v));
  int first = -1, last = -1;
  for (int v = 0; v <= items; ++v) {
    if (finite_at(data.overall_percentages, v) > 0.0 || fit_at(data.mv, v) > 0.0 ||
        fit_at(data.dist, v) > 0.0 || finite_at(data.exact.percentages, v) >= highest / 100.0) {
      if (first < 0) first = v;
      last = v;
    }
  }
  if (first < 0) first = 0, last = items;
  plan.first = first;
  plan.last = last;
  for (int v = 0; v <= items; ++v) {
    if (v < first || v > last) plan.exact_outside += finite_at(data.exact.percentages, v);
  }
  const int count = last - first + 1;
  plan.bin_width = count > kFigureMostBars ? (count + kFigureMostBars - 1) / kFigureMostBars : 1;
  for (int start = first; start <= last; start += plan.bin_width) {
    Bin bin{start, std::min(start + plan.bin_width - 1, last), 0.0, 0.0, 0.0, 0.0};
    for (int v = bin.first; v <= bin.last; ++v) {
      bin.overall += finite_at(data.overall_percentages, v);
      bin.exact += finite_at(data.exact.percentages, v);
      bin.mv += fit_at(data.mv, v);
      bin.dist += fit_at(data.dist, v);
    }
    plan.bins.push_back(bin);
  }
  return plan;
}

// A vertical axis: its top value and its ticks' step.
struct Scale {
  double top;
  TickStep step;
};
// A percentage axis ends at 100 at most (every step divides 100).
Scale scale_of(double highest, int most_ticks) {
  if (highest <= 0.0) highest = 1.0;
  const TickStep step = nice_step(highest * 1.02, most_ticks);
  const double top = std::ceil(highest * 1.02 / step.step * (1.0 - 1e-12)) * step.step;
  return {highest <= 100.0 ? std::min(top, 100.0) : top, step};
}

std::string tick_label(double value, int decimals) {
  std::string label;
  append_fixed(label, value, decimals);
  return label;
}

class FigureLayout {
 public:
  explicit FigureLayout(const ExportData& data) : data_(data), plan_(plan_of(data)) {}

  Drawing draw() {
    drawing_.width = kFigureWidth;
    drawing_.title = "Number correct per nominal group of " + std::to_string(data_.group_size) +
                     ", " + with_thousands(data_.participants) + " participants, " +
                     with_thousands(data_.items) + " items";
    double highest = 0.0, highest_set = 0.0;
    for (const Bin& bin : plan_.bins) {
      highest = std::max({highest, bin.overall, has_exact() ? bin.exact : 0.0});
      highest_set = std::max({highest_set, bin.mv, bin.dist});
    }
    const Scale main = scale_of(highest, 4);
    const Scale sets = scale_of(highest_set, 3);
    const bool set_panel = data_.mv.found || data_.dist.found;

    // The plot's left edge leaves room for the axis title and the widest tick label.
    double widest = 0.0;
    for (const Scale& scale : {main, sets}) {
      widest = std::max(widest, text_width(tick_label(scale.top, scale.step.decimals), kTextSize));
    }
    left_ = kMargin + kTextSize * 1.2 + 3.0 + widest + 2.0 + kTickLength;
    right_ = kFigureWidth - kMargin - 4.0;

    double y = legend(kMargin);
    const double main_top = y + 6.0;
    const double main_bottom = main_top + kMainPanelHeight;
    panel(main_top, main_bottom, main, "All groups (%)", !set_panel, "y-label");
    bars(main_bottom, main);
    if (has_exact()) {
      step_line(main_bottom, main, "exact", kExactColour, 0.0,
                [](const Bin& b) { return b.exact; });
    }
    y = main_bottom;
    if (set_panel) {
      const double top = main_bottom + kPanelGap;
      y = top + kSetPanelHeight;
      panel(top, y, sets, "Best sets (%)", true, "set-y-label");
      if (data_.mv.found) {
        step_line(y, sets, "mv", kMvColour, 0.0, [](const Bin& b) { return b.mv; });
      }
      if (data_.dist.found) {
        step_line(y, sets, "dist", kDistColour, kDistDash, [](const Bin& b) { return b.dist; });
      }
    }
    y += kTickLength + 2.0 + kTextSize * 0.75;  // the x tick labels' baseline
    y += kTextSize * 1.35;                      // the x axis title's
    text("x-title", (left_ + right_) / 2.0, y, TextAnchor::kMiddle, "Number correct per group");
    drawing_.height = std::ceil(y + kTextSize * 0.25 + kMargin);
    return std::move(drawing_);
  }

  const Plan& plan() const { return plan_; }

 private:
  bool has_exact() const { return !data_.exact.percentages.empty(); }

  double x_of(double v) const {
    return left_ + (v - (plan_.first - 0.5)) / (plan_.last - plan_.first + 1) * (right_ - left_);
  }
  static double y_of(double value, double bottom, double height, const Scale& scale) {
    return bottom - value / scale.top * height;
  }

  void text(const char* role, double x, double y, TextAnchor anchor, std::string words,
            bool vertical = false) {
    Shape shape;
    shape.kind = Shape::Kind::kText;
    shape.role = role;
    shape.points = {{x, y}};
    shape.colour = kInk;
    shape.words = std::move(words);
    shape.font_size = kTextSize;
    shape.anchor = anchor;
    shape.vertical = vertical;
    drawing_.shapes.push_back(std::move(shape));
  }

  void line(const char* role, std::vector<Point> points, Colour colour, double width,
            double dash = 0.0) {
    Shape shape;
    shape.kind = Shape::Kind::kLine;
    shape.role = role;
    shape.points = std::move(points);
    shape.colour = colour;
    shape.line_width = width;
    shape.dash = dash;
    drawing_.shapes.push_back(std::move(shape));
  }

  void rectangle(const char* role, Point top_left, Point bottom_right, Colour colour) {
    Shape shape;
    shape.kind = Shape::Kind::kRectangle;
    shape.role = role;
    shape.points = {top_left, bottom_right};
    shape.colour = colour;
    drawing_.shapes.push_back(std::move(shape));
  }

  // A word or two per series, in rows as wide as the figure; returns the bottom of the last row.
  double legend(double top) {
    struct Entry {
      const char* role;
      const char* words;
    };
    std::vector<Entry> entries = {{"bar", "Random sets"}};
    if (has_exact()) entries.push_back({"exact", "Exact"});
    if (data_.mv.found) entries.push_back({"mv", "MV set"});
    if (data_.dist.found) entries.push_back({"dist", "DIST set"});
    double x = left_;
    double baseline = top + kTextSize * 0.8;
    for (const Entry& entry : entries) {
      const double width = kSwatchWidth + 3.0 + text_width(entry.words, kTextSize);
      if (x > left_ && x + width > kFigureWidth - kMargin) {
        x = left_;
        baseline += kLegendRow;
      }
      const double middle = baseline - kTextSize * 0.3;
      const std::string role = entry.role;
      if (role == "bar") {
        rectangle("legend-bar", {x, middle - 3.0}, {x + kSwatchWidth, middle + 3.0}, kBarColour);
      } else {
        const Colour colour = role == "exact" ? kExactColour
                              : role == "mv"  ? kMvColour
                                              : kDistColour;
        line("legend-line", {{x, middle}, {x + kSwatchWidth, middle}}, colour, kDataLine,
             role == "dist" ? kDistDash : 0.0);
      }
      text("legend", x + kSwatchWidth + 3.0, baseline, TextAnchor::kStart, entry.words);
      x += width + 9.0;
    }
    return baseline + kTextSize * 0.25;
  }

  // A panel's axes: the y axis with its ticks, labels and title, and the x axis with its ticks,
  // labelled when `labelled`.
  void panel(double top, double bottom, const Scale& scale, const char* title, bool labelled,
             const char* label_role) {
    const double height = bottom - top;
    const int ticks = static_cast<int>(std::lround(scale.top / scale.step.step));
    for (int i = 0; i <= ticks; ++i) {
      const double value = i * scale.step.step;
      const double y = y_of(value, bottom, height, scale);
      line("y-tick", {{left_ - kTickLength, y}, {left_, y}}, kInk, kAxisLine);
      text(label_role, left_ - kTickLength - 2.0, y + kTextSize * 0.35, TextAnchor::kEnd,
           tick_label(value, scale.step.decimals));
    }
    line("y-axis", {{left_, top}, {left_, bottom}}, kInk, kAxisLine);
    text("y-title", kMargin + kTextSize * 0.8, (top + bottom) / 2.0, TextAnchor::kMiddle, title,
         true);
    line("x-axis", {{left_, bottom}, {right_, bottom}}, kInk, kAxisLine);
    // A tick at the first value shown, then at each multiple of a round step that stands at
    // least half a step from it.
    const int span = plan_.last - plan_.first;
    const double room = text_width("0000", kTextSize);  // the widest label, with space around
    const double per_value = (right_ - left_) / (span + 1);
    const int most = std::max(1, static_cast<int>((right_ - left_) / room));
    int step = std::max(1, static_cast<int>(std::lround(nice_step(std::max(1, span), most).step)));
    while (step * per_value < room) step = next_round_step(step);
    std::vector<int> values = {plan_.first};
    for (int v = (plan_.first / step + 1) * step; v <= plan_.last; v += step) {
      if (2 * (v - plan_.first) >= step) values.push_back(v);
    }
    for (const int v : values) {
      const double x = x_of(static_cast<double>(v));
      line("x-tick", {{x, bottom}, {x, bottom + kTickLength}}, kInk, kAxisLine);
      if (!labelled) continue;
      const std::string label = std::to_string(v);
      const bool at_end = x + text_width(label, kTextSize) / 2.0 > kFigureWidth - kMargin;
      text("x-label", at_end ? kFigureWidth - kMargin : x,
           bottom + kTickLength + 2.0 + kTextSize * 0.75,
           at_end ? TextAnchor::kEnd : TextAnchor::kMiddle, label);
    }
  }

  void bars(double bottom, const Scale& scale) {
    const double slot = (right_ - left_) * plan_.bin_width / (plan_.last - plan_.first + 1);
    const double gap = slot >= 3.0 ? std::max(0.5, slot * 0.15) : 0.0;
    for (const Bin& bin : plan_.bins) {
      if (bin.overall <= 0.0) continue;
      const double top = y_of(bin.overall, bottom, kMainPanelHeight, scale);
      rectangle("bar", {x_of(bin.first - 0.5) + gap / 2.0, top},
                {x_of(bin.last + 0.5) - gap / 2.0, bottom}, kBarColour);
    }
  }

  // A series as the outline of its histogram: level across each bar's slot, down to the axis at
  // both ends.
  template <typename Value>
  void step_line(double bottom, const Scale& scale, const char* role, Colour colour, double dash,
                 Value value) {
    const double height = role == std::string("exact") ? kMainPanelHeight : kSetPanelHeight;
    std::vector<Point> points = {{x_of(plan_.bins.front().first - 0.5), bottom}};
    for (const Bin& bin : plan_.bins) {
      const double y = y_of(value(bin), bottom, height, scale);
      points.push_back({x_of(bin.first - 0.5), y});
      points.push_back({x_of(bin.last + 0.5), y});
    }
    points.push_back({x_of(plan_.bins.back().last + 0.5), bottom});
    line(role, std::move(points), colour, kDataLine, dash);
  }

  const ExportData& data_;
  Plan plan_;
  Drawing drawing_;
  double left_ = 0.0;
  double right_ = 0.0;
};

std::string fit_caption(const ExportedFit& fit, const char* line) {
  std::string text = line;
  text.append("; set ");
  append_whole(text, fit.row);
  text.push_back('-');
  append_whole(text, fit.column);
  text.append(", chi-square ").append(significant(fit.chi_square));
  return text;
}

std::string caption_of(const ExportData& data, const Plan& plan) {
  const int groups = data.full_groups();
  std::string text =
      "Figure. Number of items answered correctly per nominal group of " +
      std::to_string(data.group_size) + " (N = " + with_thousands(data.participants) +
      " participants, M = " + with_thousands(data.items) + " items, seed " +
      std::to_string(data.seed) + "). Upper panel: the percentage of all " +
      with_thousands(static_cast<long long>(kSetCount) * groups) + " groups of the " +
      with_thousands(kSetCount) + " random partitions (bars) scoring each number correct";
  if (!data.exact.percentages.empty()) {
    text.append(
        ", and of all " +
        with_thousands(static_cast<long long>(binomial(data.participants, data.group_size))) +
        " possible groups (line, the exact distribution)");
  }
  text.append(".");
  if (data.exact.percentages.empty()) {
    text.append(" The exact distribution was not computed for a study this large.");
  }
  if (data.mv.found || data.dist.found) {
    text.append(" Lower panel: the percentage of the " + with_thousands(groups) +
                " groups of the partition that best fits ");
    if (data.mv.found) text.append(fit_caption(data.mv, "by mean and variance (solid line") + ")");
    if (data.mv.found && data.dist.found) text.append(" and of the one that best fits ");
    if (data.dist.found) text.append(fit_caption(data.dist, "by distribution (dashed line") + ")");
    text.append(" scoring each number correct.");
  }
  if (plan.first > 0 || plan.last < data.items) {
    text.append(" Shown: " + with_thousands(plan.first) +
                (plan.last > plan.first ? " to " + with_thousands(plan.last) : std::string()) +
                " of 0 to " + with_thousands(data.items) + " correct");
    if (plan.exact_outside > 0.0) {
      text.append("; the exact distribution puts " + significant(plan.exact_outside) +
                  " % of the possible groups outside them");
    }
    text.append(".");
  }
  if (plan.bin_width > 1) {
    text.append(" Each bar and step adds up " + std::to_string(plan.bin_width) +
                " adjacent numbers correct.");
  }
  return text;
}

}  // namespace

DistributionFigure distribution_figure(const ExportData& data) {
  FigureLayout layout(data);
  DistributionFigure figure;
  figure.drawing = layout.draw();
  figure.caption = caption_of(data, layout.plan());
  return figure;
}

}  // namespace quorvane
