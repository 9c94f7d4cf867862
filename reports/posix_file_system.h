#pragma once

#include <signal.h>

#include "reports/file_system.h"

namespace quorvane {

// The file system of a POSIX system, relative to the working folder.
class PosixFileSystem final : public FileSystem {
 public:
  PosixFileSystem() = default;
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;
  ~PosixFileSystem() override;

  std::unique_ptr<std::istream> open_for_reading(const std::string& name,
                                                 std::string* reason) override;
  bool begin_append(const Note& note, std::string* reason) override;
  void end_append() override;
  bool inspect(const std::string& name, FileState* state, std::string* reason) override;
  bool open_for_append(const std::string& name, bool create, int* handle, std::uint64_t* size,
                       std::string* reason) override;
  bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                  std::string* reason) override;
  bool flush(int handle, std::string* reason) override;
  bool close(int handle, std::string* reason) override;
  bool truncate(const std::string& name, std::uint64_t size, std::string* reason) override;
  bool remove(const std::string& name, std::string* reason) override;

 private:
  int folder_lock_ = -1;
  bool signals_held_ = false;
  // What to restore when an append ends.
  sigset_t saved_mask_{};
  struct sigaction saved_file_size_action_ {};
};

}  // namespace quorvane
