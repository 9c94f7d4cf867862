// Reference model of one whole Quorvane run, written as plainly as possible
// so that the test suite can compare the real program's report text with it.
//
// Everything here is deliberately literal: tables sized from the study with
// every index from 0 up, the C library generator, the exact output formats and the exact order
// of every floating-point operation. Speed is not a goal.
#ifndef QUORVANE_TESTS_REFERENCE_REFERENCE_RUN_H
#define QUORVANE_TESTS_REFERENCE_REFERENCE_RUN_H

#include <array>
#include <string>
#include <vector>

namespace quorvane::reference {

struct ReferenceStudy {
  int group_size;              // k: 2 or more (5 and more: Quorvane-Groups)
  int participants;            // N, from 2k to 10,000
  int items;                   // M, from 1 to 10,000
  std::vector<int> responses;  // N*M values, row-major (participant 1's M values first); 0 =
                               // missed, any other value = correct
};

// The text one run appends to each of the eight report files, in file order 1..8, with their file
// names.
struct ReferenceReports {
  std::array<std::string, 8> names;
  std::array<std::string, 8> texts;
};

// Draws from the GNU C library's rand() sequence after srand(seed), written out literally, and
// computes one whole run.
//
// Throws std::invalid_argument when group_size, participants or items lie
// outside the ranges above. A responses vector shorter than N*M is read like a
// short data file (the missing cells stay 0 and count as missed); values past
// the N*M-th are ignored.
ReferenceReports reference_run(const ReferenceStudy& study, unsigned seed);

}  // namespace quorvane::reference

#endif  // QUORVANE_TESTS_REFERENCE_REFERENCE_RUN_H
