#include "programs/console.h"

namespace quorvane {

void say_error(const EditionProfile& edition, Console console, const std::string& text) {
  console.err << edition.program_name << ": error: " << text << '\n' << std::flush;
}

void say_note(const EditionProfile& edition, Console console, const std::string& text) {
  console.err << edition.program_name << ": note: " << text << '\n' << std::flush;
}

}  // namespace quorvane
