#pragma once

#include <map>
#include <set>
#include <string>

#include "platform/file_system.h"

namespace quorvane::testing {

// A working folder held in memory, so that whole runs of the driver can be tested in-process:
// files by name with their bytes, names taken by folders, and the lock and write behaviours a
// test asks for.
class MemoryFileSystem final : public FileSystem {
 public:
  std::map<std::string, std::string> files;
  std::set<std::string> folders;
  std::string lock_refusal;  // begin_append fails with this reason when not empty
  bool lock_held = false;    // begin_append says it waits for another run, then takes the lock
  bool writes_accept_nothing = false;  // every write accepts 0 bytes and succeeds

  std::unique_ptr<std::istream> open_for_reading(const std::string& name, FileIdentity* identity,
                                                 std::string* reason) override;
  std::optional<FileIdentity> identity_of(const std::string& name) override;
  bool begin_append(const Note& note, std::string* reason) override;
  void end_append() override;
  bool inspect(const std::string& name, FileState* state, std::string* reason) override;
  bool open_for_append(const std::string& name, bool create, int* handle, std::uint64_t* size,
                       std::string* reason) override;
  bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                  std::string* reason) override;
  bool close(int handle, std::string* reason) override;
  bool truncate(const std::string& name, std::uint64_t size, std::string* reason) override;
  bool remove(const std::string& name, std::string* reason) override;

 private:
  std::map<int, std::string> open_;              // handle to name
  std::map<std::string, std::uint64_t> inodes_;  // each name its own file, numbered when first seen
  int next_handle_ = 3;
  int empty_writes_ = 0;
};

}  // namespace quorvane::testing
