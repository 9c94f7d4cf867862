#include "platform/windows_text.h"

#include <cwchar>
#include <vector>

#include "platform/windows_api.h"

namespace quorvane {
namespace {

// The wide text of `bytes` in code page `code_page`; false when they are not text in it.
bool decode(unsigned code_page, DWORD flags, const std::string& bytes, std::wstring* wide) {
  if (bytes.empty()) {
    wide->clear();
    return true;
  }
  if (bytes.size() > 0x7FFFFFFF) return false;
  const int size = static_cast<int>(bytes.size());
  const int length = MultiByteToWideChar(code_page, flags, bytes.data(), size, nullptr, 0);
  if (length <= 0) return false;
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length));
  if (MultiByteToWideChar(code_page, flags, bytes.data(), size, buffer.data(), length) != length) {
    return false;
  }
  wide->assign(buffer.data(), buffer.size());
  return true;
}

}  // namespace

bool wide_name(const std::string& name, std::wstring* wide, FileFailure* failure) {
  // The system would take the name only up to the NUL and open another file than the one named.
  if (name.find('\0') != std::string::npos) {
    *failure = {FileFailure::Code::kBadName, "a file name cannot hold a NUL byte"};
    return false;
  }
  if (decode(CP_UTF8, MB_ERR_INVALID_CHARS, name, wide)) return true;
  const unsigned console_page = GetConsoleCP();
  if (decode(console_page != 0 ? console_page : CP_ACP, 0, name, wide)) return true;
  *failure = {FileFailure::Code::kBadName,
              "the file name is not text in UTF-8 or in the console's code page"};
  return false;
}

std::string utf8_of(const std::wstring& wide) {
  if (wide.empty() || wide.size() > 0x7FFFFFFF) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return {};
  std::vector<char> buffer(static_cast<std::size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, buffer.data(), length, nullptr, nullptr);
  return std::string(buffer.data(), buffer.size());
}

FileFailure::Code windows_failure_code(unsigned long error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_BAD_NETPATH:
      return FileFailure::Code::kNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return FileFailure::Code::kDenied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return FileFailure::Code::kInUse;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return FileFailure::Code::kNoSpace;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return FileFailure::Code::kExists;
    case ERROR_BAD_DEV_TYPE:  // a device such as CON where a file was asked for
      return FileFailure::Code::kNotPlainFile;
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
      return FileFailure::Code::kBadName;
    default:
      return FileFailure::Code::kOther;
  }
}

std::string windows_message(unsigned long error) {
  wchar_t* message = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  std::wstring text = length != 0 && message != nullptr ? std::wstring(message, length) : L"";
  if (message != nullptr) LocalFree(message);
  for (wchar_t& c : text) {
    if (c == L'\r' || c == L'\n' || c == L'\t') c = L' ';
  }
  while (!text.empty() && (text.back() == L' ' || text.back() == L'.')) text.pop_back();
  if (text.empty()) return "Windows error " + std::to_string(error);
  return utf8_of(text);
}

FileFailure windows_failure(unsigned long error) {
  return {windows_failure_code(error), windows_message(error)};
}

std::wstring report_lock_name(unsigned long volume_serial, std::uint64_t file_index) {
  wchar_t name[96];
  std::swprintf(name, sizeof name / sizeof name[0], L"Local\\Quorvane-reports-%08lx-%016llx",
                volume_serial, static_cast<unsigned long long>(file_index));
  return name;
}

}  // namespace quorvane
