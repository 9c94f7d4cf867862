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
  int fd_ = -1;
};

}  // namespace quorvane::testing
