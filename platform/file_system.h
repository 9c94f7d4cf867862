#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
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

  virtual ~FileSystem() = default;

  // Opens a file for reading; null, with the reason, when it cannot be opened or is a folder.
  virtual std::unique_ptr<std::istream> open_for_reading(const std::string& name,
                                                         std::string* reason) = 0;

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
