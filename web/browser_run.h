#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "runs/run_outcome.h"
#include "simulation/set_scores.h"

namespace quorvane {

// One run asked for by the web page or the JavaScript module: the study's bytes instead of a file
// in the working folder, and the numbers of participants and items as the page's fields hold
// them instead of the prompts.
struct BrowserRequest {
  std::optional<EditionProfile> edition;
  std::string data;       // the data file's bytes
  std::string file_name;  // as messages and the picture name it
  std::uint32_t seed = 0;
  std::optional<std::string> export_name;  // also render the export under this name
  // The numbers of participants and items as given (the first word of each counts), checked as
  // the prompts check them; without them, the table's shape: its lines that hold responses, and
  // the responses on each. One of them alone is completed from the table's shape.
  std::optional<std::string> participants;
  std::optional<std::string> items;
  // Hears how many of the 10,000 sets are scored, as the run goes.
  SetsScored sets_scored = nullptr;
};

// A run's outcome for the page: the error when the study was refused, the notes on the study and
// on the run in the programs' words (after "error: " and "note: "), and the run.
struct BrowserOutcome {
  std::optional<std::string> error;
  std::vector<std::string> notes;
  std::optional<RunOutcome> run;
};

// Reads the study as the console program reads it, with the same checks and words, and computes
// the same run.
BrowserOutcome run_in_browser(const BrowserRequest& request);

// The program of a group size: the edition of 2, 3 or 4, Quorvane-Groups's words from 5 to
// kLargestGroupSize; none for any other size.
std::optional<EditionProfile> edition_of_group_size(int group_size);

}  // namespace quorvane
