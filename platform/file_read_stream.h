#pragma once

#include <cstddef>
#include <istream>
#include <memory>

namespace quorvane {

// A file opened for reading, as each platform reads it: read_some gives how many bytes it read
// into `bytes`, 0 at the end of the file, and throws FileSystem::ReadError with the system's
// reason when the system cannot read. The file is closed when this goes.
class FileReader {
 public:
  virtual ~FileReader() = default;
  virtual std::size_t read_some(char* bytes, std::size_t count) = 0;
};

// A stream over the file, through a buffer of its own. Unlike a standard file stream, it neither
// takes a failed read for the end of the file nor throws an exception without the reason.
std::unique_ptr<std::istream> file_read_stream(std::unique_ptr<FileReader> file);

}  // namespace quorvane
