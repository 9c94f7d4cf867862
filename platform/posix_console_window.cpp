#include "platform/console_window.h"

namespace quorvane {

// A program started from a terminal or a file manager on a POSIX system leaves its window to the
// terminal, which stays open.
void wait_before_console_closes(std::ostream& /*out*/) {}

}  // namespace quorvane
