#include <cstdint>
#include <stdexcept>
#include <thread>

#include "platform/windows_api.h"
#include "platform/windows_text.h"
#include "tests/support/folder_lock.h"

namespace quorvane::testing {
namespace {

// The folder's report lock, by the name the programs give it; null when it cannot be made.
HANDLE lock_of(const std::string& folder) {
  std::wstring name;
  FileFailure failure;
  if (!wide_name(folder, &name, &failure)) return nullptr;
  const HANDLE handle = CreateFileW(name.c_str(), FILE_READ_ATTRIBUTES,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  BY_HANDLE_FILE_INFORMATION info{};
  const bool known = GetFileInformationByHandle(handle, &info) != 0;
  CloseHandle(handle);
  if (!known) return nullptr;
  return CreateMutexW(
      nullptr, FALSE,
      report_lock_name(info.dwVolumeSerialNumber,
                       (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow)
          .c_str());
}

// Takes the lock without waiting; false when another holds it.
bool take(HANDLE lock) {
  const DWORD waited = WaitForSingleObject(lock, 0);
  return waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED;
}

}  // namespace

FolderLock::FolderLock(const std::string& folder) : mutex_(lock_of(folder)) {
  if (mutex_ == nullptr || !take(mutex_)) {
    if (mutex_ != nullptr) CloseHandle(mutex_);
    mutex_ = nullptr;
    throw std::runtime_error("cannot lock " + folder);
  }
}

void FolderLock::release() {
  if (mutex_ == nullptr) return;
  ReleaseMutex(mutex_);
  CloseHandle(mutex_);
  mutex_ = nullptr;
}

bool folder_lock_is_free(const std::string& folder) {
  bool free = false;
  std::thread other([&] {
    const HANDLE lock = lock_of(folder);
    if (lock == nullptr) return;
    free = take(lock);
    if (free) ReleaseMutex(lock);
    CloseHandle(lock);
  });
  other.join();
  return free;
}

}  // namespace quorvane::testing
