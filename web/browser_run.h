#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "editions/edition_profile.h"
#include "platform/named_text.h"
#include "simulation/set_scores.h"

namespace quorvane {

// One run asked for by the web page or the JavaScript module: the study's bytes instead of a file
// in the working folder, and the numbers of participants and items instead of the prompts.
struct BrowserRequest {
  std::optional<EditionProfile> edition;
  std::string data;       // the data file's bytes
  std::string file_name;  // as messages and the picture name it
  std::uint32_t seed = 0;
  std::optional<std::string> export_name;  // also render the export under this name
  // The answers typed at the prompts for the numbers of participants and items (a line each);
  // without them, the table's shape: its lines that hold responses, and the responses on the first
  // of them.
  std::optional<std::string> participants;
  std::optional<std::string> items;
  // Hears how many of the 10,000 sets are scored, as the run goes.
  SetsScored sets_scored = nullptr;
};

// What the console program would have written into an empty folder and said on the console.
struct BrowserOutcome {
  bool refused = false;
  std::string error;               // the text after "error: " when refused
  std::vector<std::string> notes;  // the texts after "note: ", in order
  std::vector<NamedText> reports;  // the eight report files, file 1 first
  std::vector<NamedText> exports;  // the export's files when an export name was given
};

// Runs the study as the console program runs it: the same dialogue (answered with the file name
// and the numbers), the same computation and the same report and export texts.
BrowserOutcome run_in_browser(const BrowserRequest& request);

// The program of a group size: the edition of 2, 3 or 4, Quorvane-Groups's words from 5 to
// kLargestGroupSize; none for any other size.
std::optional<EditionProfile> edition_of_group_size(int group_size);

}  // namespace quorvane
