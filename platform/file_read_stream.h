#pragma once

#include <cstddef>
#include <cstdint>
#include <istream>
#include <memory>
#include <string>
#include <string_view>

namespace quorvane {

// The bytes of a whole file: mapped into memory read-only where the system can, else read into
// memory.
class FileBytes {
 public:
  virtual ~FileBytes() = default;
  std::string_view bytes() const { return bytes_; }
  // Lets the system take back the memory that holds the bytes read so far, where they are a
  // mapped file, which gives them again should they be read again; else does nothing.
  virtual void let_go() {}
  // Whether the file was cut short by another program while mapped: the bytes past its new end
  // then read as zeros, and are not the file's.
  virtual bool cut_short() const { return false; }

 protected:
  std::string_view bytes_;
};

// A file opened for reading, as each platform reads it: read_some gives how many bytes it read
// into `bytes`, 0 at the end of the file, and throws FileSystem::ReadError with the system's
// reason when the system cannot read. The file is closed when this goes.
class FileReader {
 public:
  virtual ~FileReader() = default;
  virtual std::size_t read_some(char* bytes, std::size_t count) = 0;
  // The file's size, where the system says it, and its bytes mapped, where the system maps
  // files (else null: the bytes are then read).
  virtual bool size(std::uint64_t* /*size*/) { return false; }
  virtual std::unique_ptr<FileBytes> map() { return nullptr; }
};

// A stream over the file, through a buffer of its own. Unlike a standard file stream, it neither
// takes a failed read for the end of the file nor throws an exception without the reason.
std::unique_ptr<std::istream> file_read_stream(std::unique_ptr<FileReader> file);

// The bytes of a stream's file from where it stands, mapped where the stream is one of
// file_read_stream's that has read nothing yet and the system maps the file, else read. Null,
// with *too_large, for a file of more than `most` bytes: a mapped one is refused before any of it
// is read. Throws FileSystem::ReadError when the system cannot read the file.
std::unique_ptr<FileBytes> bytes_of(std::istream& stream, std::size_t most, bool* too_large);

// The size of a stream's file, where it is one of file_read_stream's that has read nothing yet
// and the system says it.
bool file_size_of(std::istream& stream, std::uint64_t* size);

}  // namespace quorvane
