#pragma once

#include <string>

namespace quorvane::testing {

// Holds a folder's report lock, as a run appending its reports there would, until released.
class FolderLock {
 public:
  explicit FolderLock(const std::string& folder);
  ~FolderLock() { release(); }
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;

  void release();

 private:
#if defined(_WIN32)
  void* mutex_ = nullptr;  // the lock, owned by the thread that made this
#else
  int fd_ = -1;  // the folder, locked
#endif
};

// Whether another run could take the folder's report lock now (tried from another thread, so
// that a lock this thread holds counts as held).
bool folder_lock_is_free(const std::string& folder);

}  // namespace quorvane::testing
