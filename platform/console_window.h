#pragma once

#include <ostream>

namespace quorvane {

// Ends a run started by a double click, whose console window would otherwise close before its
// last lines can be read: on Windows, when the program is the only one in its console (it owns
// the window), says "Press Enter to close this window." on `out` and waits for Enter. Elsewhere,
// and on Windows in a console opened by the user, does nothing.
void wait_before_console_closes(std::ostream& out);

}  // namespace quorvane
