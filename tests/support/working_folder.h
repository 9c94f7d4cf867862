#pragma once

#include <filesystem>
#include <string>

namespace quorvane::testing {

// Makes a folder the process's working folder for as long as it lives, then returns to the
// working folder it found, so that code working relative to "." can be tested in a temporary
// folder.
class WorkingFolder {
 public:
  explicit WorkingFolder(const std::string& folder);
  ~WorkingFolder();
  WorkingFolder(const WorkingFolder&) = delete;
  WorkingFolder& operator=(const WorkingFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

}  // namespace quorvane::testing
