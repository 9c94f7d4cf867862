#pragma once

// Text between the programs, which speak UTF-8, and Windows, which names files in UTF-16 and
// reports errors by number. Windows only.

#include <cstdint>
#include <string>

#include "platform/file_system.h"

namespace quorvane {

// The name for the wide-character calls: UTF-8 as it comes from a pipe or a UTF-8 console, or
// else (bytes that are not UTF-8) text in the console's input code page, as a console in a
// legacy code page sends a typed name. False, with the reason, for a name that holds a NUL.
bool wide_name(const std::string& name, std::wstring* wide, FileFailure* failure);

// UTF-8 of a UTF-16 text.
std::string utf8_of(const std::wstring& wide);

// What a Windows error number means to the programs: the errors a user meets most by code, so
// that they are worded as on POSIX systems (the README's list of errors holds on both), the
// others kOther.
FileFailure::Code windows_failure_code(unsigned long error);
// The system's own message for an error number, on one line, without its final full stop.
std::string windows_message(unsigned long error);
// Both.
FileFailure windows_failure(unsigned long error);

// The name of the report lock of the folder with this identity, shared by every program of the
// family in the user's session.
std::wstring report_lock_name(unsigned long volume_serial, std::uint64_t file_index);

}  // namespace quorvane
