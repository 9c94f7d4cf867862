// Everything the programs ask of Windows' files lives in this one file. Names arrive in UTF-8
// and are opened through the wide-character calls, so that a name in any letters opens; files
// are written through handles, byte for byte, so report lines end in a bare line feed.
#include <cstdint>
#include <istream>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/file_read_stream.h"
#include "platform/process.h"
#include "platform/system_file_system.h"
#include "platform/windows_api.h"
#include "platform/windows_text.h"

namespace quorvane {
namespace {

bool failed(std::string* reason) {
  *reason = windows_error_text(GetLastError());
  return false;
}

bool failed_with(DWORD error, std::string* reason) {
  *reason = windows_error_text(error);
  return false;
}

// Closes a handle when it goes, unless released.
class OwnedHandle {
 public:
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle() {
    if (valid()) CloseHandle(handle_);
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE && handle_ != nullptr; }
  HANDLE get() const { return handle_; }
  HANDLE release() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle;
  }

 private:
  HANDLE handle_;
};

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// A file on a disk, not a folder, console, pipe or device such as NUL.
bool is_plain_file(HANDLE file) {
  if (GetFileType(file) != FILE_TYPE_DISK) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  return GetFileInformationByHandle(file, &info) != 0 &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

FileSystem::FileIdentity identity_of_file(const BY_HANDLE_FILE_INFORMATION& info) {
  return {info.dwVolumeSerialNumber,
          (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

// A file handle read to its end; a failed read is a FileSystem::ReadError.
class HandleReader final : public FileReader {
 public:
  explicit HandleReader(HANDLE file) : file_(file) {}
  HandleReader(const HandleReader&) = delete;
  HandleReader& operator=(const HandleReader&) = delete;
  ~HandleReader() override { CloseHandle(file_); }

  std::size_t read_some(char* bytes, std::size_t count) override {
    const DWORD part = count < (DWORD{1} << 30) ? static_cast<DWORD>(count) : DWORD{1} << 30;
    DWORD read = 0;
    if (ReadFile(file_, bytes, part, &read, nullptr) == 0) {
      throw FileSystem::ReadError(windows_error_text(GetLastError()));
    }
    return read;
  }

 private:
  HANDLE file_;
};

// Console events arrive on a thread of their own. While a run appends its reports, the handler
// below holds every event (Ctrl-C, Ctrl-Break, closing the window, logging off, shutting down)
// until the append has ended, then passes it on to the system's handling, which ends the
// process: an interrupt takes effect with every report file complete, and a closed window waits
// for the append (the system allows a closing console a few seconds, far more than an append
// takes). The event is made once and never closed, since a handler may still be waking from it.
HANDLE append_ended_event() {
  static const HANDLE event = CreateEventW(nullptr, TRUE, TRUE, nullptr);
  return event;
}

BOOL WINAPI hold_until_append_ends(DWORD /*event*/) {
  WaitForSingleObject(append_ended_event(), INFINITE);
  return FALSE;
}

// The file system of Windows, relative to the working folder.
class WindowsFileSystem final : public FileSystem {
 public:
  WindowsFileSystem() = default;
  WindowsFileSystem(const WindowsFileSystem&) = delete;
  WindowsFileSystem& operator=(const WindowsFileSystem&) = delete;
  ~WindowsFileSystem() override;

  std::unique_ptr<std::istream> open_for_reading(const std::string& name, FileIdentity* identity,
                                                 std::string* reason) override;
  std::optional<FileIdentity> identity_of(const std::string& name) override;
  bool begin_append(const Note& note, std::string* reason) override;
  void end_append() override;
  bool inspect(const std::string& name, FileState* state, std::string* reason) override;
  bool open_for_append(const std::string& name, bool create, int* handle, std::uint64_t* size,
                       std::string* reason) override;
  bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                  std::string* reason) override;
  bool close(int handle, std::string* reason) override;
  bool truncate(const std::string& name, std::uint64_t size, std::string* reason) override;
  bool remove(const std::string& name, std::string* reason) override;

 private:
  // The handle behind a number given out by open_for_append, or null.
  HANDLE file_of(int handle) const;

  HANDLE folder_lock_ = nullptr;
  bool events_held_ = false;
  std::vector<HANDLE> files_;  // open report files, by number; null once closed
};

WindowsFileSystem::~WindowsFileSystem() {
  if (folder_lock_ != nullptr || events_held_) end_append();
  for (const HANDLE file : files_) {
    if (file != nullptr) CloseHandle(file);
  }
}

std::unique_ptr<std::istream> WindowsFileSystem::open_for_reading(const std::string& name,
                                                                  FileIdentity* identity,
                                                                  std::string* reason) {
  std::wstring wide;
  if (!wide_name(name, &wide, reason)) return nullptr;
  // A folder is opened too, to say so; a device or pipe (a data file named CON would wait for
  // the console) is refused before anything is read.
  OwnedHandle file(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    failed(reason);
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool described = GetFileInformationByHandle(file.get(), &info) != 0;
  if (described && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *reason = "Is a directory";
    return nullptr;
  }
  if (!described || !is_plain_file(file.get())) {
    *reason = kNotPlainFile;
    return nullptr;
  }
  *identity = identity_of_file(info);
  return file_read_stream(std::make_unique<HandleReader>(file.release()));
}

std::optional<FileSystem::FileIdentity> WindowsFileSystem::identity_of(const std::string& name) {
  std::wstring wide;
  std::string reason;
  if (!wide_name(name, &wide, &reason)) return std::nullopt;
  OwnedHandle file(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || GetFileInformationByHandle(file.get(), &info) == 0) return std::nullopt;
  return identity_of_file(info);
}

// The report lock is a named mutex of the session, named after the working folder's identity
// (its volume's serial number and its file index), which every program of the family and every
// console of the user opens by the same name. Not a lock file: it leaves nothing in the folder,
// and the system releases it however a run ends, even by a crash (the next owner then sees it
// abandoned, with the reports as the append left them, which is all or nothing). Not an
// exclusive open of the folder: Explorer, a console or a virus scanner holding the folder open
// would then block every run. Like the lock of the POSIX programs, it serves runs on one
// machine: two machines writing in one shared folder do not see each other's lock.
bool WindowsFileSystem::begin_append(const Note& note, std::string* reason) {
  BY_HANDLE_FILE_INFORMATION folder_info{};
  {
    OwnedHandle folder(CreateFileW(L".", FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.valid() || GetFileInformationByHandle(folder.get(), &folder_info) == 0) {
      return failed(reason);
    }
  }
  const std::wstring lock_name = report_lock_name(
      folder_info.dwVolumeSerialNumber,
      (std::uint64_t{folder_info.nFileIndexHigh} << 32) | folder_info.nFileIndexLow);
  const HANDLE lock = CreateMutexW(nullptr, FALSE, lock_name.c_str());
  if (lock == nullptr) return failed(reason);
  DWORD waited = WaitForSingleObject(lock, 0);
  if (waited == WAIT_TIMEOUT) {
    note("another run is writing its reports in this folder; waiting for it to finish");
    waited = WaitForSingleObject(lock, INFINITE);
  }
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    const DWORD error = GetLastError();
    CloseHandle(lock);
    return failed_with(error, reason);
  }
  folder_lock_ = lock;

  // From here to end_append console events wait (see hold_until_append_ends).
  ResetEvent(append_ended_event());
  if (SetConsoleCtrlHandler(hold_until_append_ends, TRUE) == 0) {
    const DWORD error = GetLastError();
    end_append();
    return failed_with(error, reason);
  }
  events_held_ = true;
  return true;
}

void WindowsFileSystem::end_append() {
  if (events_held_) {
    SetConsoleCtrlHandler(hold_until_append_ends, FALSE);
    events_held_ = false;
  }
  // Events that arrived during the append take effect now, with every file complete.
  SetEvent(append_ended_event());
  if (folder_lock_ != nullptr) {
    ReleaseMutex(folder_lock_);
    CloseHandle(folder_lock_);
    folder_lock_ = nullptr;
  }
}

bool WindowsFileSystem::inspect(const std::string& name, FileState* state, std::string* reason) {
  *state = FileState{};
  std::wstring wide;
  if (!wide_name(name, &wide, reason)) return false;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &info) == 0) {
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
      return failed_with(error, reason);
    }
    return true;
  }
  DWORD attributes = info.dwFileAttributes;
  std::uint64_t size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A link: what it leads to, or nothing.
    OwnedHandle target(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                   OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION target_info{};
    if (!target.valid()) {
      const DWORD error = GetLastError();
      if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
        return failed_with(error, reason);
      }
      state->dangling_link = true;
      return true;
    }
    if (GetFileInformationByHandle(target.get(), &target_info) == 0) return failed(reason);
    attributes = target_info.dwFileAttributes;
    size = (std::uint64_t{target_info.nFileSizeHigh} << 32) | target_info.nFileSizeLow;
  }
  state->exists = true;
  state->regular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
  if (state->regular) state->size = size;
  return true;
}

bool WindowsFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                        std::uint64_t* size, std::string* reason) {
  std::wstring wide;
  if (!wide_name(name, &wide, reason)) return false;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file.
  OwnedHandle file(CreateFileW(wide.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                               kShareAll, nullptr, create ? CREATE_NEW : OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed(reason);
  if (!is_plain_file(file.get())) {
    *reason = "not a plain file";
    return false;
  }
  LARGE_INTEGER file_size{};
  if (GetFileSizeEx(file.get(), &file_size) == 0) return failed(reason);
  if (files_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    *reason = "too many open files";
    return false;
  }
  *handle = static_cast<int>(files_.size());
  files_.push_back(file.release());
  *size = static_cast<std::uint64_t>(file_size.QuadPart);
  return true;
}

HANDLE WindowsFileSystem::file_of(int handle) const {
  if (handle < 0 || static_cast<std::size_t>(handle) >= files_.size()) return nullptr;
  return files_[static_cast<std::size_t>(handle)];
}

bool WindowsFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                   std::size_t* written, std::string* reason) {
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, reason);
  const DWORD part = count < (DWORD{1} << 30) ? static_cast<DWORD>(count) : DWORD{1} << 30;
  DWORD done = 0;
  if (WriteFile(file, bytes, part, &done, nullptr) == 0) return failed(reason);
  *written = done;
  return true;
}

bool WindowsFileSystem::close(int handle, std::string* reason) {
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, reason);
  files_[static_cast<std::size_t>(handle)] = nullptr;
  return CloseHandle(file) != 0 || failed(reason);
}

bool WindowsFileSystem::truncate(const std::string& name, std::uint64_t size, std::string* reason) {
  std::wstring wide;
  if (!wide_name(name, &wide, reason)) return false;
  OwnedHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed(reason);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) == 0 ||
      SetEndOfFile(file.get()) == 0) {
    return failed(reason);
  }
  return true;
}

bool WindowsFileSystem::remove(const std::string& name, std::string* reason) {
  std::wstring wide;
  if (!wide_name(name, &wide, reason)) return false;
  return DeleteFileW(wide.c_str()) != 0 || failed(reason);
}

}  // namespace

// Windows ends no program for writing to a console that has gone: nothing to ready.
void prepare_process() {}

std::unique_ptr<FileSystem> make_system_file_system() {
  return std::make_unique<WindowsFileSystem>();
}

}  // namespace quorvane
