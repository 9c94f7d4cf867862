#include "platform/process.h"
#include "platform/windows_api.h"
#include "platform/windows_text.h"

// After windows.h, which it needs.
#include <shellapi.h>

#include <vector>

namespace quorvane {

std::vector<std::string> program_arguments(int argc, const char* const argv[]) {
  std::vector<std::string> words;
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr || count != argc) {
    // The runtime split the line otherwise; its words, in the code page, are better than none.
    if (wide != nullptr) LocalFree(wide);
    return std::vector<std::string>(argv, argv + argc);
  }
  for (int i = 0; i < count; ++i) words.push_back(utf8_of(wide[i]));
  LocalFree(wide);
  return words;
}

bool enter_folder_of(const std::string& path, std::string* file_name, std::string* reason) {
  const std::size_t end = path.find_last_of("\\/:");
  if (end == std::string::npos) {
    *file_name = path;
    return true;
  }
  *file_name = path.substr(end + 1);
  std::wstring folder;
  FileFailure failure;
  if (!wide_name(path.substr(0, end + 1), &folder, &failure)) {
    *reason = failure.reason;
    return false;
  }
  if (SetCurrentDirectoryW(folder.c_str()) == 0) {
    *reason = windows_message(GetLastError());
    return false;
  }
  return true;
}

std::string working_folder() {
  const DWORD length = GetCurrentDirectoryW(0, nullptr);
  if (length == 0) return {};
  std::vector<wchar_t> folder(length);
  const DWORD written = GetCurrentDirectoryW(length, folder.data());
  if (written == 0 || written >= length) return {};
  return utf8_of(std::wstring(folder.data(), written));
}

}  // namespace quorvane
