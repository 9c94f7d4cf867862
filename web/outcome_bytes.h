#pragma once

#include <string>

#include "web/browser_run.h"

namespace quorvane {

// A run's outcome as the JavaScript side reads it: records of a kind byte ('E' the error, 'N' a
// note, 'R' a report, 'X' an export file), then the name and the text, each as its length in four
// bytes (least significant first) and its bytes. Notes and the error have an empty name.
std::string outcome_bytes(const BrowserOutcome& outcome);

}  // namespace quorvane
