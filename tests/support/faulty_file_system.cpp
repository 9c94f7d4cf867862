#include "tests/support/faulty_file_system.h"

namespace quorvane::testing {

FaultyFileSystem::Call FaultyFileSystem::call_of(Fault fault) {
  switch (fault) {
    case Fault::kInspect:
      return Call::kInspect;
    case Fault::kOpen:
      return Call::kOpen;
    case Fault::kClose:
      return Call::kClose;
    case Fault::kRemove:
      return Call::kRemove;
    default:
      return Call::kWrite;
  }
}

int FaultyFileSystem::calls(Call call) const {
  const auto found = calls_.find(call);
  return found == calls_.end() ? 0 : found->second;
}

bool FaultyFileSystem::killed_at(const std::string& name) {
  const bool killed = ++all_calls_ == k_ && fault_ == Fault::kKill;
  if (killed) injected_file_ = name;
  return killed;
}

bool FaultyFileSystem::injected_failure(FileFailure* failure) {
  *failure = {FileFailure::Code::kOther, kReason};
  return false;
}

void FaultyFileSystem::die() {
  FileFailure ignored;
  for (const auto& [handle, name] : names_) inner_.close(handle, &ignored);
  names_.clear();
  readers_.clear();
  for (const int folder : folders_) inner_.close_folder(folder);
  folders_.clear();
  throw Killed{};
}

bool FaultyFileSystem::strikes(Call call, const std::string& name) {
  if (before_each_) before_each_(call, name);
  const bool struck = ++calls_[call] == k_ && fault_ != Fault::kNone && fault_ != Fault::kKill &&
                      call_of(fault_) == call;
  if (struck) injected_file_ = name;
  if (struck && meanwhile_) meanwhile_(name);
  return struck;
}

std::unique_ptr<std::istream> FaultyFileSystem::open_for_reading(const std::string& name,
                                                                 FileIdentity* identity,
                                                                 FileFailure* failure) {
  if (killed_at(name)) die();
  return inner_.open_for_reading(name, identity, failure);
}

std::optional<FileSystem::FileIdentity> FaultyFileSystem::identity_of(const std::string& name) {
  return inner_.identity_of(name);
}

bool FaultyFileSystem::read_at(const std::string& name, std::uint64_t offset, std::size_t count,
                               std::string* bytes, FileFailure* failure) {
  if (killed_at(name)) die();
  return inner_.read_at(name, offset, count, bytes, failure);
}

bool FaultyFileSystem::begin_append(const std::function<void()>& waiting, FileFailure* failure) {
  return inner_.begin_append(waiting, failure);
}

void FaultyFileSystem::end_append() { inner_.end_append(); }

bool FaultyFileSystem::inspect(const std::string& name, FileState* state, FileFailure* failure) {
  if (killed_at(name)) die();
  if (strikes(Call::kInspect, name)) {
    return injected_failure(failure);
  }
  return inner_.inspect(name, state, failure);
}

bool FaultyFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                       std::uint64_t* size, FileFailure* failure) {
  if (killed_at(name)) die();
  if (strikes(Call::kOpen, name)) {
    return injected_failure(failure);
  }
  if (!inner_.open_for_append(name, create, handle, size, failure)) return false;
  names_[*handle] = name;
  return true;
}

bool FaultyFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                  std::size_t* written, FileFailure* failure) {
  if (killed_at(names_[handle])) {
    // A system stops a killed write only where a page of the file ends.
    constexpr std::uint64_t kPage = 4096;
    const std::uint64_t at = offsets_[handle];
    const std::uint64_t end = (at + count / 2) / kPage * kPage;
    if (end > at)
      inner_.write_some(handle, bytes, static_cast<std::size_t>(end - at), written, failure);
    die();
  }
  if (!strikes(Call::kWrite, names_[handle])) {
    const bool ok = inner_.write_some(handle, bytes, count, written, failure);
    if (ok) offsets_[handle] += *written;
    return ok;
  }
  if (fault_ != Fault::kWrite) {
    if (!inner_.write_some(handle, bytes, count / 2, written, failure)) return false;
    offsets_[handle] += *written;
    if (fault_ == Fault::kShortWrite) return true;
  }
  return injected_failure(failure);
}

bool FaultyFileSystem::close(int handle, FileFailure* failure) {
  if (killed_at(names_[handle])) die();
  const std::string name = names_[handle];
  names_.erase(handle);
  const bool closed = inner_.close(handle, failure);
  // Only the close of a file written to can lose what was written.
  if (readers_.erase(handle) == 0 && strikes(Call::kClose, name)) {
    return injected_failure(failure);
  }
  return closed;
}

bool FaultyFileSystem::truncate(const std::string& name, std::uint64_t size, FileFailure* failure) {
  if (killed_at(name)) die();
  if (fail_restoring_) {
    return injected_failure(failure);
  }
  return inner_.truncate(name, size, failure);
}

bool FaultyFileSystem::remove(const std::string& name, FileFailure* failure) {
  if (killed_at(name)) die();
  if (fail_restoring_ || strikes(Call::kRemove, name)) {
    return injected_failure(failure);
  }
  return inner_.remove(name, failure);
}

bool FaultyFileSystem::rename_to_new(const std::string& from, const std::string& to,
                                     FileFailure* failure) {
  if (killed_at(from)) die();
  return inner_.rename_to_new(from, to, failure);
}

bool FaultyFileSystem::open_folder(const std::string& path, int* folder, FileIdentity* identity,
                                   FileFailure* failure) {
  if (killed_at(path)) die();
  if (!inner_.open_folder(path, folder, identity, failure)) return false;
  folders_.insert(*folder);
  return true;
}

void FaultyFileSystem::close_folder(int folder) {
  // A folder of a killed run is closed already.
  if (folders_.erase(folder) == 1) inner_.close_folder(folder);
}

bool FaultyFileSystem::inspect_at(int folder, const std::string& name, FileState* state,
                                  FileFailure* failure) {
  if (killed_at(name)) die();
  if (strikes(Call::kInspect, name)) return injected_failure(failure);
  return inner_.inspect_at(folder, name, state, failure);
}

bool FaultyFileSystem::open_at(int folder, const std::string& name, OpenAt how, int* handle,
                               FileState* state, FileFailure* failure) {
  if (killed_at(name)) die();
  const bool writes = how != OpenAt::kRead && how != OpenAt::kRepair;
  if (strikes(writes ? Call::kOpen : Call::kRead, name) && writes) return injected_failure(failure);
  if (!inner_.open_at(folder, name, how, handle, state, failure)) return false;
  names_[*handle] = name;
  offsets_[*handle] = state->size;
  if (!writes) readers_.insert(*handle);
  return true;
}

bool FaultyFileSystem::read_handle(int handle, std::uint64_t offset, std::size_t count,
                                   std::string* bytes, FileFailure* failure) {
  if (killed_at(names_[handle])) die();
  return inner_.read_handle(handle, offset, count, bytes, failure);
}

bool FaultyFileSystem::truncate_handle(int handle, std::uint64_t size, FileFailure* failure) {
  if (killed_at(names_[handle])) die();
  if (fail_restoring_) return injected_failure(failure);
  return inner_.truncate_handle(handle, size, failure);
}

bool FaultyFileSystem::remove_at(int folder, const std::string& name, const FileIdentity& identity,
                                 FileFailure* failure) {
  if (killed_at(name)) die();
  if (fail_restoring_ || strikes(Call::kRemove, name)) return injected_failure(failure);
  return inner_.remove_at(folder, name, identity, failure);
}

bool FaultyFileSystem::folder_takes_new_files(int folder, FileFailure* failure) {
  return inner_.folder_takes_new_files(folder, failure);
}

}  // namespace quorvane::testing
