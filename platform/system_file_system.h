#pragma once

#include <memory>

#include "platform/file_system.h"

namespace quorvane {

// The file system of the machine the programs run on, relative to the working folder. Each
// system implements it in one file of its own in platform/ (posix_file_system.cpp,
// windows_file_system.cpp), which a port replaces.
std::unique_ptr<FileSystem> make_system_file_system();

}  // namespace quorvane
