// The entry points of the WebAssembly module that quorvane.js wraps: one run, its outcome as
// bytes, and their release.
#include <emscripten/emscripten.h>

#include <cstdint>
#include <new>
#include <optional>
#include <string>

#include "web/browser_run.h"
#include "web/outcome_bytes.h"

namespace {

std::string outcome;

// Tells the module's JavaScript how many sets are scored (api.js sets Module.onSetsScored).
EM_JS(void, quorvane_sets_scored, (int sets), {
  if (Module.onSetsScored) Module.onSetsScored(sets);
});

std::optional<std::string> optional_text(const char* text) {
  if (text == nullptr) return std::nullopt;
  return std::string(text);
}

}  // namespace

extern "C" {

// Runs one study; returns the outcome's bytes (outcome_bytes.h), valid until the next run, and
// their count through quorvane_outcome_size. A group size outside 2 to 5000 gives none.
EMSCRIPTEN_KEEPALIVE const char* quorvane_run(int group_size, const char* data,
                                              std::uint32_t data_size, std::uint32_t seed,
                                              const char* file_name, const char* export_name,
                                              const char* participants, const char* items) {
  quorvane::BrowserRequest request;
  request.edition = quorvane::edition_of_group_size(group_size);
  if (!request.edition) return nullptr;
  request.data.assign(data, data_size);
  request.file_name = file_name;
  request.seed = seed;
  request.export_name = optional_text(export_name);
  request.participants = optional_text(participants);
  request.items = optional_text(items);
  // The page's worker tells the page how far the run is.
  request.sets_scored = [](int sets) { quorvane_sets_scored(sets); };
  try {
    outcome = quorvane::outcome_bytes(quorvane::run_in_browser(request));
  } catch (const std::bad_alloc&) {
    quorvane::BrowserOutcome refused;
    refused.refused = true;
    refused.error =
        "not enough memory for this study (the browser refused the memory the run needs)";
    outcome = quorvane::outcome_bytes(refused);
  }
  return outcome.data();
}

// The name of the program that runs groups of the size, as its messages and reports give it
// (valid until the next call); null for a size outside 2 to 5000.
EMSCRIPTEN_KEEPALIVE const char* quorvane_program_name(int group_size) {
  static std::string name;
  const std::optional<quorvane::EditionProfile> edition =
      quorvane::edition_of_group_size(group_size);
  if (!edition) return nullptr;
  name = edition->program_name;
  return name.c_str();
}

EMSCRIPTEN_KEEPALIVE std::uint32_t quorvane_outcome_size() {
  return static_cast<std::uint32_t>(outcome.size());
}

EMSCRIPTEN_KEEPALIVE void quorvane_release_outcome() { std::string().swap(outcome); }
}
