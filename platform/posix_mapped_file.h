#pragma once

#include <cstddef>
#include <memory>

#include "platform/file_read_stream.h"

namespace quorvane {

// The `size` bytes of the open file `fd` mapped read-only, or null where the system does not map
// it (or another file is mapped already: one at a time). Should another program cut the file
// short while it is mapped, the bytes past its new end read as zeros instead of ending this
// program (SIGBUS), and the bytes say so (FileBytes::cut_short).
std::unique_ptr<FileBytes> map_file(int fd, std::size_t size);

}  // namespace quorvane
