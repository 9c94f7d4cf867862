#include "tests/support/working_folder.h"

#include <fcntl.h>
#include <unistd.h>

#include <exception>
#include <stdexcept>

namespace quorvane::testing {

WorkingFolder::WorkingFolder(const std::string& folder)
    : previous_(open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
  if (previous_ < 0 || chdir(folder.c_str()) != 0) {
    if (previous_ >= 0) ::close(previous_);
    throw std::runtime_error("cannot work in " + folder);
  }
}

WorkingFolder::~WorkingFolder() {
  if (fchdir(previous_) != 0) std::terminate();
  ::close(previous_);
}

}  // namespace quorvane::testing
