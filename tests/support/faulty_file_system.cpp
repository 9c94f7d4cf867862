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

void FaultyFileSystem::die() {
  std::string ignored;
  for (const auto& [handle, name] : names_) inner_.close(handle, &ignored);
  names_.clear();
  throw Killed{};
}

bool FaultyFileSystem::strikes(Call call, const std::string& name) {
  const bool struck = ++calls_[call] == k_ && fault_ != Fault::kNone && fault_ != Fault::kKill &&
                      call_of(fault_) == call;
  if (struck) injected_file_ = name;
  return struck;
}

std::unique_ptr<std::istream> FaultyFileSystem::open_for_reading(const std::string& name,
                                                                 FileIdentity* identity,
                                                                 std::string* reason) {
  if (killed_at(name)) die();
  return inner_.open_for_reading(name, identity, reason);
}

std::optional<FileSystem::FileIdentity> FaultyFileSystem::identity_of(const std::string& name) {
  return inner_.identity_of(name);
}

bool FaultyFileSystem::begin_append(const Note& note, std::string* reason) {
  return inner_.begin_append(note, reason);
}

void FaultyFileSystem::end_append() { inner_.end_append(); }

bool FaultyFileSystem::inspect(const std::string& name, FileState* state, std::string* reason) {
  if (killed_at(name)) die();
  if (strikes(Call::kInspect, name)) {
    *reason = kReason;
    return false;
  }
  return inner_.inspect(name, state, reason);
}

bool FaultyFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                       std::uint64_t* size, std::string* reason) {
  if (killed_at(name)) die();
  if (strikes(Call::kOpen, name)) {
    *reason = kReason;
    return false;
  }
  if (!inner_.open_for_append(name, create, handle, size, reason)) return false;
  names_[*handle] = name;
  return true;
}

bool FaultyFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                  std::size_t* written, std::string* reason) {
  if (killed_at(names_[handle])) {
    inner_.write_some(handle, bytes, count / 2, written, reason);
    die();
  }
  if (!strikes(Call::kWrite, names_[handle])) {
    return inner_.write_some(handle, bytes, count, written, reason);
  }
  if (fault_ != Fault::kWrite) {
    if (!inner_.write_some(handle, bytes, count / 2, written, reason)) return false;
    if (fault_ == Fault::kShortWrite) return true;
  }
  *reason = kReason;
  return false;
}

bool FaultyFileSystem::close(int handle, std::string* reason) {
  if (killed_at(names_[handle])) die();
  const std::string name = names_[handle];
  names_.erase(handle);
  const bool closed = inner_.close(handle, reason);
  if (strikes(Call::kClose, name)) {
    *reason = kReason;
    return false;
  }
  return closed;
}

bool FaultyFileSystem::truncate(const std::string& name, std::uint64_t size, std::string* reason) {
  if (killed_at(name)) die();
  if (fail_restoring_) {
    *reason = kReason;
    return false;
  }
  return inner_.truncate(name, size, reason);
}

bool FaultyFileSystem::remove(const std::string& name, std::string* reason) {
  if (killed_at(name)) die();
  if (fail_restoring_ || strikes(Call::kRemove, name)) {
    *reason = kReason;
    return false;
  }
  return inner_.remove(name, reason);
}

}  // namespace quorvane::testing
