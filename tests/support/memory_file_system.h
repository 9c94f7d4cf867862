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
  bool writes_accept_nothing = false;        // every write accepts 0 bytes and succeeds
  std::set<std::string> unwritable_folders;  // folders ("." the working one) that take no new file

  std::unique_ptr<std::istream> open_for_reading(const std::string& name, FileIdentity* identity,
                                                 FileFailure* failure) override;
  std::optional<FileIdentity> identity_of(const std::string& name) override;
  bool read_at(const std::string& name, std::uint64_t offset, std::size_t count, std::string* bytes,
               FileFailure* failure) override;
  bool begin_append(const std::function<void()>& waiting, FileFailure* failure) override;
  void end_append() override;
  bool inspect(const std::string& name, FileState* state, FileFailure* failure) override;
  bool open_for_append(const std::string& name, bool create, int* handle, std::uint64_t* size,
                       FileFailure* failure) override;
  bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                  FileFailure* failure) override;
  bool close(int handle, FileFailure* failure) override;
  bool truncate(const std::string& name, std::uint64_t size, FileFailure* failure) override;
  bool remove(const std::string& name, FileFailure* failure) override;
  bool rename_to_new(const std::string& from, const std::string& to, FileFailure* failure) override;
  bool open_folder(const std::string& path, int* folder, FileIdentity* identity,
                   FileFailure* failure) override;
  void close_folder(int folder) override;
  bool inspect_at(int folder, const std::string& name, FileState* state,
                  FileFailure* failure) override;
  bool open_at(int folder, const std::string& name, OpenAt how, int* handle, FileState* state,
               FileFailure* failure) override;
  bool read_handle(int handle, std::uint64_t offset, std::size_t count, std::string* bytes,
                   FileFailure* failure) override;
  bool truncate_handle(int handle, std::uint64_t size, FileFailure* failure) override;
  bool remove_at(int folder, const std::string& name, const FileIdentity& identity,
                 FileFailure* failure) override;
  bool folder_takes_new_files(int folder, FileFailure* failure) override;

 private:
  // The name a folder's file has in `files`.
  std::string path_in(int folder, const std::string& name) const;

  std::map<int, std::string> folder_prefixes_;   // folder handle to the start of its files' names
  std::map<int, std::string> open_;              // handle to name
  std::map<std::string, std::uint64_t> inodes_;  // each name its own file, numbered when first seen
  int next_handle_ = 3;
  int empty_writes_ = 0;
};

}  // namespace quorvane::testing
