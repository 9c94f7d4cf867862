#pragma once

#include <map>
#include <string>

namespace quorvane::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string file(const std::string& name) const { return path_ + "/" + name; }

  void write(const std::string& name, const std::string& content) const;
  std::string read(const std::string& name) const;

  // Every plain file in the folder, by name, with its content.
  std::map<std::string, std::string> snapshot() const;

 private:
  std::string path_;
};

}  // namespace quorvane::testing
