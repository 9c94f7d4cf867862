#include "tests/support/memory_file_system.h"

#include <sstream>

namespace quorvane::testing {
namespace {

bool refuse(FileFailure* failure, FileFailure::Code code, const char* why) {
  *failure = {code, why};
  return false;
}

bool no_such_file(FileFailure* failure) {
  return refuse(failure, FileFailure::Code::kNotFound, "No such file or directory");
}

}  // namespace

std::optional<FileSystem::FileIdentity> MemoryFileSystem::identity_of(const std::string& name) {
  if (files.count(name) == 0) return std::nullopt;
  const auto inode = inodes_.emplace(name, inodes_.size() + 1).first->second;
  return FileIdentity{1, inode};
}

std::unique_ptr<std::istream> MemoryFileSystem::open_for_reading(const std::string& name,
                                                                 FileIdentity* identity,
                                                                 FileFailure* failure) {
  const auto file = files.find(name);
  if (file == files.end()) {
    if (folders.count(name) != 0) {
      refuse(failure, FileFailure::Code::kIsFolder, "Is a directory");
    } else {
      no_such_file(failure);
    }
    return nullptr;
  }
  *identity = *identity_of(name);
  return std::make_unique<std::istringstream>(file->second);
}

bool MemoryFileSystem::read_at(const std::string& name, std::uint64_t offset, std::size_t count,
                               std::string* bytes, FileFailure* failure) {
  const auto file = files.find(name);
  if (file == files.end()) return no_such_file(failure);
  *bytes = offset < file->second.size() ? file->second.substr(offset, count) : std::string();
  return true;
}

bool MemoryFileSystem::begin_append(const std::function<void()>& waiting, FileFailure* failure) {
  if (!lock_refusal.empty())
    return refuse(failure, FileFailure::Code::kOther, lock_refusal.c_str());
  if (lock_held) waiting();
  return true;
}

void MemoryFileSystem::end_append() {}

bool MemoryFileSystem::inspect(const std::string& name, FileState* state, FileFailure*) {
  *state = FileState{};
  state->exists = files.count(name) != 0 || folders.count(name) != 0;
  state->regular = files.count(name) != 0;
  state->folder = folders.count(name) != 0;
  state->size = state->regular ? files[name].size() : 0;
  if (state->regular) state->identity = *identity_of(name);
  return true;
}

bool MemoryFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                       std::uint64_t* size, FileFailure* failure) {
  const bool exists = files.count(name) != 0 || folders.count(name) != 0;
  if (create && exists) return refuse(failure, FileFailure::Code::kExists, "File exists");
  if (!create && files.count(name) == 0) return no_such_file(failure);
  *size = files[name].size();
  *handle = next_handle_++;
  open_[*handle] = name;
  return true;
}

bool MemoryFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                  std::size_t* written, FileFailure* failure) {
  const auto file = open_.find(handle);
  if (file == open_.end()) return refuse(failure, FileFailure::Code::kOther, "Bad file descriptor");
  // An append that kept calling after writes that accept nothing would never end: stop it here,
  // so that the test fails instead of hanging.
  if (writes_accept_nothing && ++empty_writes_ > 1000)
    return refuse(failure, FileFailure::Code::kOther, "endless empty writes");
  *written = writes_accept_nothing ? 0 : count;
  files[file->second].append(bytes, *written);
  return true;
}

bool MemoryFileSystem::close(int handle, FileFailure* failure) {
  return open_.erase(handle) == 1 ||
         refuse(failure, FileFailure::Code::kOther, "Bad file descriptor");
}

bool MemoryFileSystem::truncate(const std::string& name, std::uint64_t size, FileFailure* failure) {
  const auto file = files.find(name);
  if (file == files.end()) return no_such_file(failure);
  file->second.resize(size);
  return true;
}

bool MemoryFileSystem::remove(const std::string& name, FileFailure* failure) {
  return files.erase(name) == 1 || no_such_file(failure);
}

bool MemoryFileSystem::rename_to_new(const std::string& from, const std::string& to,
                                     FileFailure* failure) {
  if (files.count(to) != 0 || folders.count(to) != 0) {
    return refuse(failure, FileFailure::Code::kExists, "File exists");
  }
  const auto file = files.find(from);
  if (file == files.end()) return no_such_file(failure);
  files[to] = file->second;
  files.erase(from);
  inodes_.erase(from);
  return true;
}

bool MemoryFileSystem::open_folder(const std::string& path, int* folder, FileIdentity* identity,
                                   FileFailure* failure) {
  std::string prefix = path == "." ? std::string() : path;
  if (!prefix.empty() && prefix.back() != '/') prefix += '/';
  const std::string bare = prefix.empty() ? prefix : prefix.substr(0, prefix.size() - 1);
  if (!bare.empty() && folders.count(bare) == 0) return no_such_file(failure);
  *folder = next_handle_++;
  folder_prefixes_[*folder] = prefix;
  *identity = {2, std::hash<std::string>()(bare)};
  return true;
}

void MemoryFileSystem::close_folder(int folder) { folder_prefixes_.erase(folder); }

std::string MemoryFileSystem::path_in(int folder, const std::string& name) const {
  const auto prefix = folder_prefixes_.find(folder);
  return (prefix == folder_prefixes_.end() ? std::string("?/") : prefix->second) + name;
}

bool MemoryFileSystem::inspect_at(int folder, const std::string& name, FileState* state,
                                  FileFailure* failure) {
  return inspect(path_in(folder, name), state, failure);
}

bool MemoryFileSystem::open_at(int folder, const std::string& name, OpenAt how, int* handle,
                               FileState* state, FileFailure* failure) {
  const std::string path = path_in(folder, name);
  const bool create = how == OpenAt::kCreate || how == OpenAt::kCreatePrivate;
  if (folders.count(path) != 0) return refuse(failure, FileFailure::Code::kIsFolder, "a folder");
  if (create && files.count(path) != 0) {
    return refuse(failure, FileFailure::Code::kExists, "File exists");
  }
  if (!create && files.count(path) == 0) return no_such_file(failure);
  files[path];
  inspect(path, state, failure);
  *handle = next_handle_++;
  open_[*handle] = path;
  return true;
}

bool MemoryFileSystem::read_handle(int handle, std::uint64_t offset, std::size_t count,
                                   std::string* bytes, FileFailure* failure) {
  const auto file = open_.find(handle);
  if (file == open_.end()) return refuse(failure, FileFailure::Code::kOther, "Bad file descriptor");
  return read_at(file->second, offset, count, bytes, failure);
}

bool MemoryFileSystem::truncate_handle(int handle, std::uint64_t size, FileFailure* failure) {
  const auto file = open_.find(handle);
  if (file == open_.end()) return refuse(failure, FileFailure::Code::kOther, "Bad file descriptor");
  return truncate(file->second, size, failure);
}

bool MemoryFileSystem::remove_at(int folder, const std::string& name, const FileIdentity& identity,
                                 FileFailure* failure) {
  const std::string path = path_in(folder, name);
  if (files.count(path) != 0 && identity_of(path) != identity) {
    return refuse(failure, FileFailure::Code::kReplaced, "another file");
  }
  return remove(path, failure);
}

bool MemoryFileSystem::folder_takes_new_files(int folder, FileFailure* failure) {
  std::string prefix = folder_prefixes_[folder];
  const std::string name = prefix.empty() ? "." : prefix.substr(0, prefix.size() - 1);
  return unwritable_folders.count(name) == 0 ||
         refuse(failure, FileFailure::Code::kDenied, "Permission denied");
}

}  // namespace quorvane::testing
