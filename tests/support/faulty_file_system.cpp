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
  throw Killed{};
}

bool FaultyFileSystem::strikes(Call call, const std::string& name) {
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
    inner_.write_some(handle, bytes, count / 2, written, failure);
    die();
  }
  if (!strikes(Call::kWrite, names_[handle])) {
    return inner_.write_some(handle, bytes, count, written, failure);
  }
  if (fault_ != Fault::kWrite) {
    if (!inner_.write_some(handle, bytes, count / 2, written, failure)) return false;
    if (fault_ == Fault::kShortWrite) return true;
  }
  return injected_failure(failure);
}

bool FaultyFileSystem::close(int handle, FileFailure* failure) {
  if (killed_at(names_[handle])) die();
  const std::string name = names_[handle];
  names_.erase(handle);
  const bool closed = inner_.close(handle, failure);
  if (strikes(Call::kClose, name)) {
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

}  // namespace quorvane::testing
