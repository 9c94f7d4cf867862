#include <unistd.h>

#include <iostream>

#include "platform/console_window.h"

namespace quorvane {

SystemConsole system_console() {
  return {std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1 && isatty(STDOUT_FILENO) == 1};
}

// A program started from a terminal or a file manager on a POSIX system leaves its window to the
// terminal, which stays open.
void wait_before_console_closes(std::ostream& /*out*/) {}

}  // namespace quorvane
