#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <stdexcept>

#include "tests/support/folder_lock.h"

namespace quorvane::testing {

FolderLock::FolderLock(const std::string& folder)
    : fd_(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (fd_ < 0 || flock(fd_, LOCK_EX | LOCK_NB) != 0) {
    release();
    throw std::runtime_error("cannot lock " + folder);
  }
}

void FolderLock::release() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

bool folder_lock_is_free(const std::string& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  const bool free = fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) == 0;
  if (fd >= 0) close(fd);
  return free;
}

}  // namespace quorvane::testing
