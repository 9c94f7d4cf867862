#pragma once

#include <string>

#include "platform/file_system.h"

namespace quorvane {

// The words a message gives for a failure of the file system: the system's own, or for the
// failures a user meets most the same words on every system.
inline std::string failure_words(const FileFailure& failure) {
  switch (failure.code) {
    case FileFailure::Code::kNotFound:
      return "No such file or directory";
    case FileFailure::Code::kExists:
      return "File exists";
    case FileFailure::Code::kNotPlainFile:
      return "not a plain file (a pipe, device or socket)";
    case FileFailure::Code::kIsFolder:
      return "Is a directory";
    case FileFailure::Code::kNoSpace:
      return "No space left on device";
    case FileFailure::Code::kDenied:
      return "Permission denied";
    case FileFailure::Code::kInUse:
      return "the file is in use by another program";
    case FileFailure::Code::kBadName:
    case FileFailure::Code::kOther:
      break;
  }
  return failure.reason;
}

}  // namespace quorvane
