// Reference model of one whole Quorvane run. See reference_run.h.
//
// The code below follows the run's phases one after the other (load, seed,
// generation, scoring, statistics, best fit) over tables sized from the study:
// every index used from 0 up, so row 1 column 1 is at [1][1] and index 0 stays
// unused where counting starts from 1. They are allocated and zeroed on every
// call. Each report file's text is collected in its own string instead of
// being appended to a file.
//
// Partial last group: when N is not a multiple of k, the participants left
// over after the G = N / k full groups belong to no group. They are not
// scored, not counted and not listed, so every set has exactly G groups, at
// slots 0, k, ..., (G - 1)k.
//
// A search in which no set qualifies keeps its initial state: best label
// 0-0, best chi-square 1000000.0 and (MV) best mean and variance 0.0. Its
// running lines and its cumulative line are written with those values, and
// its listing holds only the banner and the two headings.

#include "reference_run.h"

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <vector>

#include "tests/support/edition_words.h"

namespace quorvane::reference {
namespace {

// The largest study the programs accept.
constexpr int kMostParticipants = 10000;
constexpr int kMostItems = 10000;
constexpr int kGridRows = 100;
constexpr int kGridColumns = 100;
constexpr double kInitialBestChiSquare = 1000000.0;
constexpr double kPercentageFactor = 100.0;
constexpr double kSetCountDivisor = 10000.0;

#if defined(__GNUC__)
#define QUORVANE_REFERENCE_PRINTF_LIKE __attribute__((format(printf, 2, 3)))
#else
#define QUORVANE_REFERENCE_PRINTF_LIKE
#endif

// Appends the snprintf rendering of `format` to `out`.
QUORVANE_REFERENCE_PRINTF_LIKE void append_format(std::string& out, const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  std::va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length > 0) {
    std::vector<char> buffer(static_cast<std::size_t>(length) + 1U, '\0');
    std::vsnprintf(buffer.data(), buffer.size(), format, args);
    // The reports write every NaN "-nan", as glibc writes the NaN of 0 / 0 on x86-64; another C
    // library (MinGW's) writes "nan".
    std::string text(buffer.data(), static_cast<std::size_t>(length));
    for (std::size_t at = text.find("nan"); at != std::string::npos;
         at = text.find("nan", at + 4)) {
      if (at == 0 || text[at - 1] != '-') text.insert(at++, "-");
    }
    out += text;
  }
  va_end(args);
}

// Two-axis table of extent_a by extent_b, zero-initialised.
template <typename T>
class Table2 {
 public:
  Table2(int extent_a, int extent_b)
      : extent_b_(static_cast<std::size_t>(extent_b)),
        cells_(static_cast<std::size_t>(extent_a) * extent_b_) {}
  T& at(int a, int b) { return cells_.at(index(a, b)); }
  const T& at(int a, int b) const { return cells_.at(index(a, b)); }

 private:
  std::size_t index(int a, int b) const {
    return static_cast<std::size_t>(a) * extent_b_ + static_cast<std::size_t>(b);
  }
  std::size_t extent_b_;
  std::vector<T> cells_;
};

// Three-axis table of extent_a by extent_b by extent_c, zero-initialised.
template <typename T>
class Table3 {
 public:
  Table3(int extent_a, int extent_b, int extent_c)
      : extent_b_(static_cast<std::size_t>(extent_b)),
        extent_c_(static_cast<std::size_t>(extent_c)),
        cells_(static_cast<std::size_t>(extent_a) * extent_b_ * extent_c_) {}
  T& at(int a, int b, int c) { return cells_.at(index(a, b, c)); }
  const T& at(int a, int b, int c) const { return cells_.at(index(a, b, c)); }

 private:
  std::size_t index(int a, int b, int c) const {
    return (static_cast<std::size_t>(a) * extent_b_ + static_cast<std::size_t>(b)) * extent_c_ +
           static_cast<std::size_t>(c);
  }
  std::size_t extent_b_;
  std::size_t extent_c_;
  std::vector<T> cells_;
};

// One listing line: the k members in slot order, then the number correct.
void append_listing_line(std::string& out, int k, const int* members, int num_correct) {
  switch (k) {
    case 2:
      append_format(out, "\n%d & %d:  \t\t%d", members[0], members[1], num_correct);
      break;
    case 3:
      append_format(out, "\n%d,%d,%d:  \t\t%d", members[0], members[1], members[2], num_correct);
      break;
    case 4:
      append_format(out, "\n%d,%d,%d,%d:  \t\t%d", members[0], members[1], members[2], members[3],
                    num_correct);
      break;
    default:
      // Quorvane-Groups: members joined by commas.
      append_format(out, "\n%d", members[0]);
      for (int i = 1; i < k; ++i) append_format(out, ",%d", members[i]);
      append_format(out, ":  \t\t%d", num_correct);
      break;
  }
}

// The draws, as the GNU C library's srand and rand make them, written out literally: the whole
// sequence r[0], r[1], ... is kept, r[0] = seed (1 for 0), r[i] = 16807 r[i - 1] mod 2^31 - 1
// for i < 31, r[i] = r[i - 31] for i < 34, then r[i] = r[i - 31] + r[i - 3] mod 2^32; rand()
// gives r[i] / 2 from r[344] on.
std::vector<std::uint32_t> sequence;

void literal_srand(unsigned seed) {
  sequence.clear();
  const unsigned first = seed == 0 ? 1 : seed;
  sequence.push_back(first);
  // The library keeps the seed in a signed 32-bit number.
  long long previous = static_cast<std::int32_t>(first);
  for (int i = 1; i < 31; ++i) {
    // The library's steps (Schrage's), which for a negative seed differ from the plain
    // remainder 16807 x seed mod 2^31 - 1.
    long long next = 16807 * (previous % 127773) - 2836 * (previous / 127773);
    if (next < 0) next += 2147483647;
    sequence.push_back(static_cast<std::uint32_t>(next));
    previous = next;
  }
  for (int i = 31; i < 34; ++i) sequence.push_back(sequence[static_cast<std::size_t>(i - 31)]);
  while (sequence.size() < 344) {
    const std::size_t i = sequence.size();
    sequence.push_back(sequence[i - 31] + sequence[i - 3]);
  }
}

int literal_rand() {
  const std::size_t i = sequence.size();
  sequence.push_back(sequence[i - 31] + sequence[i - 3]);
  return static_cast<int>(sequence.back() >> 1);
}

// rand() modulo n, in signed arithmetic.
int random_below(int n) { return literal_rand() % n; }

using Generator = int (*)(int);

// Fisher-Yates pass drawing 15 bits per call, widening the draw while the
// range is below the bound.
void shuffle_wide(std::vector<int>& order) {
  const int n = static_cast<int>(order.size());
  for (int p = 1; p <= n - 1; ++p) {
    const unsigned bound = static_cast<unsigned>(p) + 1U;
    unsigned r = static_cast<unsigned>(literal_rand()) & 0x7FFFU;
    unsigned range = 0x7FFFU;
    while (range < bound && range != 0xFFFFFFFFU) {
      r = (r << 15U) | (static_cast<unsigned>(literal_rand()) & 0x7FFFU);
      range = (range << 15U) | 0x7FFFU;
    }
    const unsigned j = r % bound;
    if (j != static_cast<unsigned>(p)) {
      const int held = order[static_cast<std::size_t>(p)];
      order[static_cast<std::size_t>(p)] = order[j];
      order[j] = held;
    }
  }
}

// Fisher-Yates pass taking its index from `gen`.
void shuffle_with_generator(std::vector<int>& order, Generator gen) {
  const int n = static_cast<int>(order.size());
  for (int p = 1; p <= n - 1; ++p) {
    const int j = gen(p + 1) % (p + 1);
    if (j != p) {
      const int held = order[static_cast<std::size_t>(p)];
      order[static_cast<std::size_t>(p)] = order[static_cast<std::size_t>(j)];
      order[static_cast<std::size_t>(j)] = held;
    }
  }
}

}  // namespace

ReferenceReports reference_run(const ReferenceStudy& study, unsigned seed) {
  const int k = study.group_size;
  const int n_participants = study.participants;
  const int m_items = study.items;
  if (k < 2) {
    throw std::invalid_argument("group_size must be 2 or more");
  }
  if (n_participants < 2 * k || n_participants > kMostParticipants) {
    throw std::invalid_argument("participants must lie from 2 * group_size to 10000");
  }
  if (m_items < 1 || m_items > kMostItems) {
    throw std::invalid_argument("items must lie from 1 to 10000");
  }

  const testing::EditionWords edition = testing::edition_words(k);
  ReferenceReports reports;
  reports.names = {
      "NG-1-Representative-MV-DIST.txt",
      edition.file2_name,
      "NG-3-Best-Fit-MV-ChiSqValues.txt",
      edition.file4_name,
      "NG-5-Best-Fit-DIST-ChiSqValues.txt",
      edition.file6_name,
      "NG-7-Cumulative-Best-Fit-MV-For-Multiple-Runs.txt",
      "NG-8-Cumulative-Best-Fit-DIST-For-Multiple-Runs.txt",
  };
  std::string& file1 = reports.texts[0];
  std::string& file2 = reports.texts[1];
  std::string& file3 = reports.texts[2];
  std::string& file4 = reports.texts[3];
  std::string& file5 = reports.texts[4];
  std::string& file6 = reports.texts[5];
  std::string& file7 = reports.texts[6];
  std::string& file8 = reports.texts[7];

  // Tables of the run, all zero: participants and items from 1, rows and columns from 1, slots
  // and numbers correct from 0.
  const int rows = kGridRows + 1;
  const int columns = kGridColumns + 1;
  Table2<int> responses(n_participants + 1, m_items + 1);
  Table2<int> missed(n_participants + 1, m_items + 1);
  Table3<int> order_slots(rows, columns, n_participants);    // [row][column][slot]
  Table3<int> group_results(rows, columns, n_participants);  // [row][column][slot]: W of the
                                                             // group starting at slot
  Table2<double> set_sum(rows, columns);
  Table2<double> set_sum_of_squares(rows, columns);
  Table2<double> set_mean(rows, columns);
  Table2<double> set_variance(rows, columns);
  Table3<double> set_distribution(rows, columns, m_items + 1);  // [row][column][NumCorrect]
  std::vector<double> overall_counts(static_cast<std::size_t>(m_items + 1));
  std::vector<double> overall_percentages(static_cast<std::size_t>(m_items + 1));
  Table2<double> set_dist_chi_square(rows, columns);
  int total_groups = 0;
  double mean_total = 0.0;
  double variance_total = 0.0;
  double overall_mean = 0.0;
  double overall_variance = 0.0;

  // Load: participant r from 1 to N, item c from 1 to M, row-major.
  {
    std::size_t next = 0;
    for (int r = 1; r <= n_participants; ++r) {
      for (int c = 1; c <= m_items; ++c) {
        if (next < study.responses.size()) {
          responses.at(r, c) = study.responses[next];
        }
        ++next;
        if (responses.at(r, c) == 0) {
          missed.at(r, c) = 1;
        }
        if (responses.at(r, c) == 1) {
          missed.at(r, c) = 0;
        }
      }
    }
  }

  // Seed.
  literal_srand(seed);

  // Generation: one participant order 1..N, shuffled twice per set, never reset.
  std::vector<int> order;
  for (int p = 1; p <= n_participants; ++p) {
    order.push_back(p);
  }
  const Generator gen = random_below;
  for (int row = 1; row <= kGridRows; ++row) {
    for (int col = 1; col <= kGridColumns; ++col) {
      shuffle_wide(order);
      shuffle_with_generator(order, gen);
      for (int i = 0; i <= n_participants - 1; ++i) {
        order_slots.at(row, col, i) = order[static_cast<std::size_t>(i)];
      }
    }
  }

  // Scoring: the G full groups of every set, in slot order.
  const int full_groups = n_participants / k;
  for (int row = 1; row <= kGridRows; ++row) {
    for (int col = 1; col <= kGridColumns; ++col) {
      for (int g = 0; g < full_groups; ++g) {
        const int s = g * k;
        std::vector<int> members(static_cast<std::size_t>(k), 0);
        for (int i = 0; i < k; ++i) {
          members[static_cast<std::size_t>(i)] = order_slots.at(row, col, s + i);
        }
        int w = 0;
        for (int c = 1; c <= m_items; ++c) {
          int product = missed.at(members[0], c);
          for (int i = 1; i < k; ++i) {
            product = product * missed.at(members[static_cast<std::size_t>(i)], c);
          }
          w += product;
        }
        group_results.at(row, col, s) += w;
        const int num_correct = m_items - w;
        overall_counts[static_cast<std::size_t>(num_correct)] += 1;
        set_distribution.at(row, col, num_correct) += 1;
        set_sum.at(row, col) += w;
        set_sum_of_squares.at(row, col) += w * w;
        total_groups += 1;
      }
    }
  }

  // Statistics: file 2, then file 1.
  const double g_double = static_cast<double>(full_groups);
  const double g_minus_one_double = static_cast<double>(full_groups - 1);
  const double m_double = static_cast<double>(m_items);
  file2 += edition.banner;
  file2 += edition.statistics_heading;
  for (int row = 1; row <= kGridRows; ++row) {
    for (int col = 1; col <= kGridColumns; ++col) {
      const double sum = set_sum.at(row, col);
      const double sum_of_squares = set_sum_of_squares.at(row, col);
      const double mean = m_double - sum / g_double;
      const double variance = (sum_of_squares - sum * sum / g_double) / g_minus_one_double;
      set_mean.at(row, col) = mean;
      set_variance.at(row, col) = variance;
      mean_total += mean;
      variance_total += variance;
      append_format(file2, "\nSet#: %d-%d\t Mean: %.4f\t Variance %.4f\t", row, col, mean,
                    variance);
    }
  }
  overall_mean = mean_total / kSetCountDivisor;
  overall_variance = variance_total / kSetCountDivisor;

  file1 += edition.banner;
  file1 += "\nThe following are the grand statistics for all 10,000 Sets\n\n";
  append_format(file1, "\nOverall Mean: %.4f\t Overall Variance %.4f\n", overall_mean,
                overall_variance);
  file1 +=
      "\n\nOverall Distribution of Number Correct Responses for 10,000 Simulations (Percentages)";
  file1 += "\nNCor\tPercentage\n";
  const double total_groups_double = static_cast<double>(total_groups);
  for (int v = 0; v <= m_items; ++v) {
    const double percentage =
        overall_counts[static_cast<std::size_t>(v)] / total_groups_double * kPercentageFactor;
    overall_percentages[static_cast<std::size_t>(v)] = percentage;
    append_format(file1, "\n%d: %.4f", v, percentage);
  }

  // MV search: file 3.
  double mv_best_chi_square = kInitialBestChiSquare;
  int mv_best_row = 0;
  int mv_best_col = 0;
  double mv_best_mean = 0.0;
  double mv_best_variance = 0.0;
  file3 += edition.banner;
  file3 += "\nBest-Fit For Mean & Variance.  Chi Square Values, Means, and Variances.\n\n";
  for (int row = 1; row <= kGridRows; ++row) {
    for (int col = 1; col <= kGridColumns; ++col) {
      const double mean_gap = set_mean.at(row, col) - overall_mean;
      const double variance_gap = set_variance.at(row, col) - overall_variance;
      const double chi =
          mean_gap * mean_gap / overall_mean + variance_gap * variance_gap / overall_variance;
      if (chi < mv_best_chi_square) {
        mv_best_chi_square = chi;
        mv_best_row = row;
        mv_best_col = col;
        mv_best_mean = set_mean.at(row, col);
        mv_best_variance = set_variance.at(row, col);
      }
      append_format(
          file3,
          "\nSet#: %d-%d\t SetChiSq: %.4f\t BestFitMean: %.4f\t BestFitVar: %.4f\t BestChiSq "
          "%.4f\tBestSet %d-%d\t",
          row, col, chi, mv_best_mean, mv_best_variance, mv_best_chi_square, mv_best_row,
          mv_best_col);
    }
  }

  // DIST search: file 5.
  double dist_best_chi_square = kInitialBestChiSquare;
  int dist_best_row = 0;
  int dist_best_col = 0;
  file5 += edition.banner;
  file5 += "\nBest-Fitting Distribution.  Chi Square Values.\n\n";
  for (int row = 1; row <= kGridRows; ++row) {
    for (int col = 1; col <= kGridColumns; ++col) {
      for (int v = 0; v <= m_items; ++v) {
        const double q = set_distribution.at(row, col, v) / g_double * kPercentageFactor;
        const double p = overall_percentages[static_cast<std::size_t>(v)];
        if (p > 0) {
          const double gap = q - p;
          set_dist_chi_square.at(row, col) += gap * gap / p;
        }
      }
      if (set_dist_chi_square.at(row, col) < dist_best_chi_square) {
        dist_best_chi_square = set_dist_chi_square.at(row, col);
        dist_best_row = row;
        dist_best_col = col;
      }
      append_format(file5, "Set#: %d-%d:\t SetChiSq: %.4f\t BestChiSq: %.4f\tBestSet: %d-%d\n", row,
                    col, set_dist_chi_square.at(row, col), dist_best_chi_square, dist_best_row,
                    dist_best_col);
    }
  }

  // Summaries: files 7 and 8.
  append_format(file7,
                "\nBF-MV-Mean: %.4f\t BF-MV-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: %.4f\t "
                "Best-MV-ChiSq: "
                "%.4f",
                mv_best_mean, mv_best_variance, overall_mean, overall_variance, mv_best_chi_square);
  append_format(
      file8,
      "\nBF-DIST-Mean: %.4f\t BF-DIST-Var: %.4f\t Overall-Mean: %.4f\t Overall-Var: %.4f\t "
      "Best-DIST-ChiSq: %.4f",
      set_mean.at(dist_best_row, dist_best_col), set_variance.at(dist_best_row, dist_best_col),
      overall_mean, overall_variance, dist_best_chi_square);

  // Listings: files 4 and 6, group by group.
  file4 += edition.banner;
  file4 += edition.mv_listing_heading;
  file4 += edition.column_heading;
  file6 += edition.banner;
  file6 += edition.dist_listing_heading;
  file6 += edition.column_heading;
  const bool mv_found = mv_best_row != 0;
  const bool dist_found = dist_best_row != 0;
  for (int g = 0; g < full_groups; ++g) {
    const int s = g * k;
    std::vector<int> members(static_cast<std::size_t>(k), 0);
    if (mv_found) {
      for (int i = 0; i < k; ++i) {
        members[static_cast<std::size_t>(i)] = order_slots.at(mv_best_row, mv_best_col, s + i);
      }
      append_listing_line(file4, k, members.data(),
                          m_items - group_results.at(mv_best_row, mv_best_col, s));
    }
    if (dist_found) {
      for (int i = 0; i < k; ++i) {
        members[static_cast<std::size_t>(i)] = order_slots.at(dist_best_row, dist_best_col, s + i);
      }
      append_listing_line(file6, k, members.data(),
                          m_items - group_results.at(dist_best_row, dist_best_col, s));
    }
  }

  return reports;
}

}  // namespace quorvane::reference
