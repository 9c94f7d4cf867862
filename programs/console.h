#pragma once

#include <istream>
#include <ostream>
#include <string>

#include "editions/edition_profile.h"

namespace quorvane {

// Where a run talks to its user.
struct Console {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// One line on the error stream: "Quorvane-Triads: error: ...".
void say_error(const EditionProfile& edition, Console console, const std::string& text);
// One line on the error stream about something that does not stop the run.
void say_note(const EditionProfile& edition, Console console, const std::string& text);

}  // namespace quorvane
