#include "tests/support/memory_file_system.h"

#include <sstream>

#include "tests/support/prompts.h"

namespace quorvane::testing {
namespace {

bool refuse(std::string* reason, const char* why) {
  *reason = why;
  return false;
}

}  // namespace

std::optional<FileSystem::FileIdentity> MemoryFileSystem::identity_of(const std::string& name) {
  if (files.count(name) == 0) return std::nullopt;
  const auto inode = inodes_.emplace(name, inodes_.size() + 1).first->second;
  return FileIdentity{1, inode};
}

std::unique_ptr<std::istream> MemoryFileSystem::open_for_reading(const std::string& name,
                                                                 FileIdentity* identity,
                                                                 std::string* reason) {
  const auto file = files.find(name);
  if (file == files.end()) {
    refuse(reason, folders.count(name) != 0 ? "Is a directory" : "No such file or directory");
    return nullptr;
  }
  *identity = *identity_of(name);
  return std::make_unique<std::istringstream>(file->second);
}

bool MemoryFileSystem::begin_append(const Note& note, std::string* reason) {
  if (!lock_refusal.empty()) return refuse(reason, lock_refusal.c_str());
  if (lock_held) note(kWaitingNote);
  return true;
}

void MemoryFileSystem::end_append() {}

bool MemoryFileSystem::inspect(const std::string& name, FileState* state, std::string*) {
  state->exists = files.count(name) != 0 || folders.count(name) != 0;
  state->regular = files.count(name) != 0;
  state->size = state->regular ? files[name].size() : 0;
  return true;
}

bool MemoryFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                       std::uint64_t* size, std::string* reason) {
  const bool exists = files.count(name) != 0 || folders.count(name) != 0;
  if (create && exists) return refuse(reason, "File exists");
  if (!create && files.count(name) == 0) return refuse(reason, "No such file or directory");
  *size = files[name].size();
  *handle = next_handle_++;
  open_[*handle] = name;
  return true;
}

bool MemoryFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                  std::size_t* written, std::string* reason) {
  const auto file = open_.find(handle);
  if (file == open_.end()) return refuse(reason, "Bad file descriptor");
  // An append that kept calling after writes that accept nothing would never end: stop it here,
  // so that the test fails instead of hanging.
  if (writes_accept_nothing && ++empty_writes_ > 1000)
    return refuse(reason, "endless empty writes");
  *written = writes_accept_nothing ? 0 : count;
  files[file->second].append(bytes, *written);
  return true;
}

bool MemoryFileSystem::close(int handle, std::string* reason) {
  return open_.erase(handle) == 1 || refuse(reason, "Bad file descriptor");
}

bool MemoryFileSystem::truncate(const std::string& name, std::uint64_t size, std::string* reason) {
  const auto file = files.find(name);
  if (file == files.end()) return refuse(reason, "No such file or directory");
  file->second.resize(size);
  return true;
}

bool MemoryFileSystem::remove(const std::string& name, std::string* reason) {
  return files.erase(name) == 1 || refuse(reason, "No such file or directory");
}

}  // namespace quorvane::testing
