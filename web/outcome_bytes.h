#pragma once

#include <string>

#include "web/browser_run.h"

namespace quorvane {

// A run's outcome as the JavaScript side reads it: records of a kind byte ('E' the error, 'N' a
// note, 'R' a report, 'X' an export file, 'V' the run's values), then the name and the text, each
// as its length in four bytes (least significant first) and its bytes. Notes, the error and the
// values have an empty name; the values are a JSON object: seed, groupSize, participants, items,
// overallMean, overallVariance, exact {mean, variance, percentages}, and mv and dist, each {found,
// row, column, chiSquare, mean, variance, groups: [{members, labels, numberCorrect}]}. Numbers read
// back to the same doubles; a value not computed (or not finite) is null.
std::string outcome_bytes(const BrowserOutcome& outcome);

}  // namespace quorvane
