#pragma once

#include <istream>
#include <ostream>

namespace quorvane {

// The program's console: its standard input, output and error. On Windows a console window is
// read and written in UTF-16, so that text typed in any script reaches the program as UTF-8 and
// names show as they were typed whatever the console's code page; a pipe or a file passes its
// bytes as they are. `interactive` when input and output are both a terminal or a console window,
// not a pipe or a file.
struct SystemConsole {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
  bool interactive;
};
SystemConsole system_console();

// Ends a run started by a double click, whose console window would otherwise close before its
// last lines can be read: on Windows, when the program is the only one in its console (it owns
// the window), says "Press Enter to close this window." on `out` and waits for Enter. Elsewhere,
// and on Windows in a console opened by the user, does nothing.
void wait_before_console_closes(std::ostream& out);

}  // namespace quorvane
