#include "reports/methods_text.h"

#include <string>

#include "reports/export_text.h"
#include "reports/number_text.h"
#include "simulation/exact_reference.h"
#include "simulation/set_label.h"

namespace quorvane {
namespace {

using export_text::significant;

std::string four_decimals(double value) {
  char number[kNumberTextRoom];
  return std::string(number, write_four_decimals(number, value));
}

std::string whole(long long value) {
  std::string digits = std::to_string(value < 0 ? -value : value);
  std::string text = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
    text.push_back(digits[i]);
  }
  return text;
}

// "the partition whose groups' WHAT came closest to the overall one (...) was set R-C (...)".
std::string chosen(const ExportedFit& fit, const char* what, const char* overall) {
  if (!fit.found) {
    return std::string("no partition could be chosen by its groups' ") + what +
           ", every chi-square against the overall " + overall + " being undefined";
  }
  return std::string("the partition whose groups' ") + what + " came closest to the overall " +
         overall + " (the smallest chi-square) was set " + std::to_string(fit.row) + "-" +
         std::to_string(fit.column) + " (chi-square " + significant(fit.chi_square) + "; mean " +
         four_decimals(fit.mean) + ", variance " + four_decimals(fit.variance) + ")";
}

}  // namespace

std::string methods_text(const ExportData& data, const std::string& figure_caption) {
  const ProgramRelease& release = data.release;
  const int groups = data.full_groups();
  const int left_over = data.group_size > 0 ? data.participants - groups * data.group_size : 0;
  std::string text = "The responses of N = " + whole(data.participants) +
                     " participants to M = " + whole(data.items) + " items were analysed with " +
                     release.program + " (Quorvane, version " + release.version +
                     "), which forms nominal groups of k = " + std::to_string(data.group_size) +
                     " participants, a group being credited with an item when at least one of its "
                     "members answered it correctly. The program drew " +
                     whole(kSetCount) + " random partitions of the participants into " +
                     whole(groups) + " groups each";
  if (left_over > 0) {
    text.append(" (the " + std::to_string(left_over) + " participant" +
                (left_over == 1 ? "" : "s") + " left over in each partition belonging to none)");
  }
  text.append(", from seed " + std::to_string(data.seed) + ", and scored every group. Over the " +
              whole(kSetCount) + " partitions, the groups' mean number correct was " +
              four_decimals(data.overall_mean) + " and their variance " +
              four_decimals(data.overall_variance) + " (averages of the partitions' means and " +
              "variances)");
  if (data.exact.mean) {
    text.append("; the exact values these estimate, over all " +
                whole(static_cast<long long>(binomial(data.participants, data.group_size))) +
                " possible groups, are a mean of " + four_decimals(*data.exact.mean));
    text.append(data.exact.variance
                    ? " and an expected variance of " + four_decimals(*data.exact.variance)
                    : std::string(" (the exact variance was not computed for a study this large)"));
  }
  text.append(". Of the " + whole(kSetCount) + " partitions, " +
              chosen(data.mv, "mean and variance", "ones") + "; " +
              chosen(data.dist, "distribution of number correct", "distribution") + ".\n");
  text.append("\nReference: " + release.citation + "\n");
  text.append("\n" + figure_caption + "\n");
  return text;
}

}  // namespace quorvane
