#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace quorvane {

// What a run needs of the file system: reading the data file and appending to the report files
// in the working folder. One implementation per platform; tests wrap it to inject faults.
// Every call that can fail returns false and puts the system's reason in *reason.
class FileSystem {
 public:
  using Note = std::function<void(const std::string& note)>;

  struct FileState {
    bool exists = false;
    bool regular = false;    // a plain file, not a folder, device or pipe
    std::uint64_t size = 0;  // of a plain file
    // The name is a symbolic link to nothing (exists is then false): creating a file by that
    // name would fail.
    bool dangling_link = false;
  };

  // Which file a name leads to: every name of one file (hard links, symbolic links to it) gives
  // the same identity. The device and inode numbers on a POSIX system.
  struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity& other) const {
      return device == other.device && inode == other.inode;
    }
  };

  // Thrown by the stream of an opened file when the system cannot read the file; what() is the
  // system's reason.
  class ReadError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  // The reason open_for_reading gives for a pipe, a device or a socket.
  static constexpr const char* kNotPlainFile = "not a plain file (a pipe, device or socket)";

  virtual ~FileSystem() = default;

  // Opens a plain file for reading and gives its identity; null, with the reason, when it cannot
  // be opened or is not a plain file. Never waits for a writer or a device. Reading the stream
  // throws ReadError when the system fails to read the file.
  virtual std::unique_ptr<std::istream> open_for_reading(const std::string& name,
                                                         FileIdentity* identity,
                                                         std::string* reason) = 0;
  // The identity of the file a name leads to; none when there is no such file or it cannot be
  // examined.
  virtual std::optional<FileIdentity> identity_of(const std::string& name) = 0;

  // Takes the working folder's report lock, shared by every program of the family, waiting (and
  // saying so once through `note`) while another run holds it. Until end_append, interrupts are
  // held back (every signal that would end the program and can be held) and a file-size limit
  // makes writes fail instead of ending the program.
  virtual bool begin_append(const Note& note, std::string* reason) = 0;
  virtual void end_append() = 0;

  virtual bool inspect(const std::string& name, FileState* state, std::string* reason) = 0;
  // Opens a report file for appending: an existing regular file, or (create) a new one that must
  // not exist yet. *size is the file's size when opened.
  virtual bool open_for_append(const std::string& name, bool create, int* handle,
                               std::uint64_t* size, std::string* reason) = 0;
  // Writes part or all of the bytes; *written says how many.
  virtual bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                          std::string* reason) = 0;
  virtual bool close(int handle, std::string* reason) = 0;
  virtual bool truncate(const std::string& name, std::uint64_t size, std::string* reason) = 0;
  virtual bool remove(const std::string& name, std::string* reason) = 0;
};

}  // namespace quorvane
