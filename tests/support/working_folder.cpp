#include "tests/support/working_folder.h"

#include <exception>
#include <stdexcept>
#include <system_error>

namespace quorvane::testing {

WorkingFolder::WorkingFolder(const std::string& folder) {
  std::error_code error;
  previous_ = std::filesystem::current_path(error);
  if (!error) std::filesystem::current_path(folder, error);
  if (error) throw std::runtime_error("cannot work in " + folder);
}

WorkingFolder::~WorkingFolder() {
  std::error_code error;
  std::filesystem::current_path(previous_, error);
  if (error) std::terminate();
}

}  // namespace quorvane::testing
