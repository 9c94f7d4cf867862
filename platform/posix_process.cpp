#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/process.h"

namespace quorvane {

std::vector<std::string> program_arguments(int argc, const char* const argv[]) {
  return std::vector<std::string>(argv, argv + argc);
}

bool enter_folder_of(const std::string& path, std::string* file_name, std::string* reason) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    *file_name = path;
    return true;
  }
  *file_name = path.substr(slash + 1);
  const std::string folder = path.substr(0, slash + 1);
  if (chdir(folder.c_str()) != 0) {
    *reason = std::strerror(errno);
    return false;
  }
  return true;
}

std::string working_folder() {
  std::string folder(4096, '\0');
  while (getcwd(&folder[0], folder.size()) == nullptr) {
    if (errno != ERANGE || folder.size() > (std::size_t{1} << 20)) return {};
    folder.resize(folder.size() * 2);
  }
  folder.resize(std::strlen(folder.c_str()));
  return folder;
}

}  // namespace quorvane
