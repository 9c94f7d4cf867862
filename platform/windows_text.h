#pragma once

// Text between the programs, which speak UTF-8, and Windows, which names files in UTF-16 and
// reports errors by number. Windows only.

#include <cstdint>
#include <string>

namespace quorvane {

// The name for the wide-character calls: UTF-8 as it comes from a pipe or a UTF-8 console, or
// else (bytes that are not UTF-8) text in the console's input code page, as a console in a
// legacy code page sends a typed name. False, with the reason, for a name that holds a NUL.
bool wide_name(const std::string& name, std::wstring* wide, std::string* reason);

// UTF-8 of a UTF-16 text.
std::string utf8_of(const std::wstring& wide);

// One line saying why a call failed: for the errors a user meets most, the same words the POSIX
// programs use (so that the README's list of errors holds on both); for the others the system's
// own message, on one line, without its final full stop.
std::string windows_error_text(unsigned long error);

// The name of the report lock of the folder with this identity, shared by every program of the
// family in the user's session.
std::wstring report_lock_name(unsigned long volume_serial, std::uint64_t file_index);

}  // namespace quorvane
