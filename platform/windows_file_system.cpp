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

bool failed(FileFailure* failure) {
  *failure = windows_failure(GetLastError());
  return false;
}

bool failed_with(DWORD error, FileFailure* failure) {
  *failure = windows_failure(error);
  return false;
}

bool not_plain(FileFailure* failure) {
  *failure = {FileFailure::Code::kNotPlainFile, "not a plain file"};
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

// A name of a folder's own files: no separator, drive or stream, so that it stays in the folder.
bool is_plain_name(const std::string& name, FileFailure* failure) {
  if (name.empty() || name == "." || name == ".." ||
      name.find_first_of("/\\:") != std::string::npos) {
    *failure = {FileFailure::Code::kBadName, "not the name of a file in the folder"};
    return false;
  }
  return true;
}

// Whether an opened handle is a symbolic link or junction itself (opened with
// FILE_FLAG_OPEN_REPARSE_POINT), not the placeholder of a cloud folder, which is the file.
bool is_link(HANDLE file, const BY_HANDLE_FILE_INFORMATION& info) {
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0) return false;
  FILE_ATTRIBUTE_TAG_INFO tag{};
  if (GetFileInformationByHandleEx(file, FileAttributeTagInfo, &tag, sizeof tag) == 0) return true;
  return tag.ReparseTag == IO_REPARSE_TAG_SYMLINK || tag.ReparseTag == IO_REPARSE_TAG_MOUNT_POINT;
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
      throw FileSystem::ReadError(windows_message(GetLastError()));
    }
    return read;
  }

  bool size(std::uint64_t* size) override {
    LARGE_INTEGER bytes{};
    if (GetFileSizeEx(file_, &bytes) == 0 || bytes.QuadPart < 0) return false;
    *size = static_cast<std::uint64_t>(bytes.QuadPart);
    return true;
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
                                                 FileFailure* failure) override;
  std::optional<FileIdentity> identity_of(const std::string& name) override;
  bool read_at(const std::string& name, std::uint64_t offset, std::size_t count, std::string* bytes,
               FileFailure* failure) override;
  bool begin_append(const std::function<void()>& waiting, FileFailure* failure) override;
  void end_append() override;
  bool inspect(const std::string& name, FileState* state, FileFailure* failure) override;
  bool open_for_append(const std::string& name, bool create, int* handle, std::uint64_t* size,
                       FileFailure* failure) override;
  bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                  FileFailure* failure) override;
  bool close(int handle, FileFailure* failure) override;
  bool truncate(const std::string& name, std::uint64_t size, FileFailure* failure) override;
  bool remove(const std::string& name, FileFailure* failure) override;
  bool rename_to_new(const std::string& from, const std::string& to, FileFailure* failure) override;
  bool open_folder(const std::string& path, int* folder, FileIdentity* identity,
                   FileFailure* failure) override;
  void close_folder(int folder) override;
  bool inspect_at(int folder, const std::string& name, FileState* state,
                  FileFailure* failure) override;
  bool open_at(int folder, const std::string& name, OpenAt how, int* handle, FileState* state,
               FileFailure* failure) override;
  bool read_handle(int handle, std::uint64_t offset, std::size_t count, std::string* bytes,
                   FileFailure* failure) override;
  bool truncate_handle(int handle, std::uint64_t size, FileFailure* failure) override;
  bool remove_at(int folder, const std::string& name, const FileIdentity& identity,
                 FileFailure* failure) override;
  bool folder_takes_new_files(int folder, FileFailure* failure) override;

 private:
  // The handle behind a number given out by open_for_append or open_at, or null.
  HANDLE file_of(int handle) const;
  // Gives an open file a number.
  bool number(HANDLE file, int* handle, FileFailure* failure);
  // The path of a file of an open folder, for the wide-character calls; false for a name that
  // is not a plain name or a folder that is not open.
  bool path_in(int folder, const std::string& name, std::wstring* path, FileFailure* failure);

  // An open folder: held without letting it be renamed or removed, so that the path of its
  // files leads into it for as long as it is open.
  struct OpenFolder {
    HANDLE handle = nullptr;
    std::string path;  // with a separator at its end, or empty for the working folder
  };

  HANDLE folder_lock_ = nullptr;
  bool events_held_ = false;
  std::vector<HANDLE> files_;        // open report files, by number; null once closed
  std::vector<OpenFolder> folders_;  // by number; null once closed
};

WindowsFileSystem::~WindowsFileSystem() {
  if (folder_lock_ != nullptr || events_held_) end_append();
  for (const HANDLE file : files_) {
    if (file != nullptr) CloseHandle(file);
  }
  for (const OpenFolder& folder : folders_) {
    if (folder.handle != nullptr) CloseHandle(folder.handle);
  }
}

std::unique_ptr<std::istream> WindowsFileSystem::open_for_reading(const std::string& name,
                                                                  FileIdentity* identity,
                                                                  FileFailure* failure) {
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return nullptr;
  // A folder is opened too, to say so; a device or pipe (a data file named CON would wait for
  // the console) is refused before anything is read.
  OwnedHandle file(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file.valid()) {
    failed(failure);
    return nullptr;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  const bool described = GetFileInformationByHandle(file.get(), &info) != 0;
  if (described && (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *failure = {FileFailure::Code::kIsFolder, "a folder"};
    return nullptr;
  }
  if (!described || !is_plain_file(file.get())) {
    not_plain(failure);
    return nullptr;
  }
  *identity = identity_of_file(info);
  return file_read_stream(std::make_unique<HandleReader>(file.release()));
}

std::optional<FileSystem::FileIdentity> WindowsFileSystem::identity_of(const std::string& name) {
  std::wstring wide;
  FileFailure failure;
  if (!wide_name(name, &wide, &failure)) return std::nullopt;
  OwnedHandle file(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info{};
  if (!file.valid() || GetFileInformationByHandle(file.get(), &info) == 0) return std::nullopt;
  return identity_of_file(info);
}

bool WindowsFileSystem::read_at(const std::string& name, std::uint64_t offset, std::size_t count,
                                std::string* bytes, FileFailure* failure) {
  bytes->clear();
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return false;
  OwnedHandle file(CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed(failure);
  if (!is_plain_file(file.get())) return not_plain(failure);
  LARGE_INTEGER start{};
  start.QuadPart = static_cast<LONGLONG>(offset);
  if (SetFilePointerEx(file.get(), start, nullptr, FILE_BEGIN) == 0) return failed(failure);
  bytes->resize(count);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t left = count - done;
    const DWORD part = left < (DWORD{1} << 30) ? static_cast<DWORD>(left) : DWORD{1} << 30;
    DWORD read = 0;
    if (ReadFile(file.get(), &(*bytes)[done], part, &read, nullptr) == 0) {
      bytes->resize(done);
      return failed(failure);
    }
    if (read == 0) break;
    done += read;
  }
  bytes->resize(done);
  return true;
}

// The report lock is a named mutex of the session, named after the working folder's identity
// (its volume's serial number and its file index), which every program of the family and every
// console of the user opens by the same name. Not a lock file: it leaves nothing in the folder,
// and the system releases it however a run ends, even by a crash (the next owner then sees it
// abandoned, with the reports as the append left them, which is all or nothing). Not an
// exclusive open of the folder: Explorer, a console or a virus scanner holding the folder open
// would then block every run. Like the lock of the POSIX programs, it serves runs on one
// machine: two machines writing in one shared folder do not see each other's lock.
bool WindowsFileSystem::begin_append(const std::function<void()>& waiting, FileFailure* failure) {
  BY_HANDLE_FILE_INFORMATION folder_info{};
  {
    OwnedHandle folder(CreateFileW(L".", FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!folder.valid() || GetFileInformationByHandle(folder.get(), &folder_info) == 0) {
      return failed(failure);
    }
  }
  const std::wstring lock_name = report_lock_name(
      folder_info.dwVolumeSerialNumber,
      (std::uint64_t{folder_info.nFileIndexHigh} << 32) | folder_info.nFileIndexLow);
  const HANDLE lock = CreateMutexW(nullptr, FALSE, lock_name.c_str());
  if (lock == nullptr) return failed(failure);
  DWORD waited = WaitForSingleObject(lock, 0);
  if (waited == WAIT_TIMEOUT) {
    waiting();
    waited = WaitForSingleObject(lock, INFINITE);
  }
  if (waited != WAIT_OBJECT_0 && waited != WAIT_ABANDONED) {
    const DWORD error = GetLastError();
    CloseHandle(lock);
    return failed_with(error, failure);
  }
  folder_lock_ = lock;

  // From here to end_append console events wait (see hold_until_append_ends).
  ResetEvent(append_ended_event());
  if (SetConsoleCtrlHandler(hold_until_append_ends, TRUE) == 0) {
    const DWORD error = GetLastError();
    end_append();
    return failed_with(error, failure);
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

bool WindowsFileSystem::inspect(const std::string& name, FileState* state, FileFailure* failure) {
  *state = FileState{};
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return false;
  WIN32_FILE_ATTRIBUTE_DATA info{};
  if (GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &info) == 0) {
    const DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return true;
    // A device such as NUL has no attributes, but opens, or is said to be a device.
    OwnedHandle device(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                   OPEN_EXISTING, 0, nullptr));
    if (!device.valid() && windows_failure_code(error) != FileFailure::Code::kNotPlainFile &&
        windows_failure_code(GetLastError()) != FileFailure::Code::kNotPlainFile) {
      return failed_with(error, failure);
    }
    state->exists = true;
    return true;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
    // A symbolic link or a junction, not the placeholders of a cloud folder (also reparse
    // points), which are the files themselves.
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      state->symbolic_link = found.dwReserved0 == IO_REPARSE_TAG_SYMLINK ||
                             found.dwReserved0 == IO_REPARSE_TAG_MOUNT_POINT;
    }
  }
  // What the name leads to, or nothing.
  OwnedHandle target(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                                 OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION target_info{};
  if (!target.valid()) {
    const DWORD error = GetLastError();
    if ((error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) &&
        (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
      state->dangling_link = true;
      return true;
    }
    state->exists = true;
    if (error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED) {
      return true;  // a device such as NUL or CON, which cannot be opened as a file
    }
    // A file held without sharing (a page file) or unreadable: its attributes alone.
    state->folder = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    state->regular =
        (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    if (state->regular) {
      state->size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
    }
    return true;
  }
  if (GetFileInformationByHandle(target.get(), &target_info) == 0) {
    state->exists = true;  // a device such as NUL or CON, which has no file information
    return true;
  }
  const DWORD attributes = target_info.dwFileAttributes;
  state->exists = true;
  state->folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  state->regular = (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0 &&
                   GetFileType(target.get()) == FILE_TYPE_DISK;
  if (state->regular) {
    state->size = (std::uint64_t{target_info.nFileSizeHigh} << 32) | target_info.nFileSizeLow;
  }
  state->links = target_info.nNumberOfLinks;
  state->identity = identity_of_file(target_info);
  return true;
}

bool WindowsFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                        std::uint64_t* size, FileFailure* failure) {
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return false;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file.
  OwnedHandle file(CreateFileW(wide.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                               kShareAll, nullptr, create ? CREATE_NEW : OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed(failure);
  if (!is_plain_file(file.get())) return not_plain(failure);
  LARGE_INTEGER file_size{};
  if (GetFileSizeEx(file.get(), &file_size) == 0) return failed(failure);
  *size = static_cast<std::uint64_t>(file_size.QuadPart);
  return number(file.release(), handle, failure);
}

HANDLE WindowsFileSystem::file_of(int handle) const {
  if (handle < 0 || static_cast<std::size_t>(handle) >= files_.size()) return nullptr;
  return files_[static_cast<std::size_t>(handle)];
}

bool WindowsFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                   std::size_t* written, FileFailure* failure) {
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, failure);
  const DWORD part = count < (DWORD{1} << 30) ? static_cast<DWORD>(count) : DWORD{1} << 30;
  DWORD done = 0;
  if (WriteFile(file, bytes, part, &done, nullptr) == 0) return failed(failure);
  *written = done;
  return true;
}

bool WindowsFileSystem::close(int handle, FileFailure* failure) {
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, failure);
  files_[static_cast<std::size_t>(handle)] = nullptr;
  return CloseHandle(file) != 0 || failed(failure);
}

bool WindowsFileSystem::truncate(const std::string& name, std::uint64_t size,
                                 FileFailure* failure) {
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return false;
  OwnedHandle file(CreateFileW(wide.c_str(), GENERIC_WRITE, kShareAll, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) return failed(failure);
  LARGE_INTEGER end{};
  end.QuadPart = static_cast<LONGLONG>(size);
  if (SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN) == 0 ||
      SetEndOfFile(file.get()) == 0) {
    return failed(failure);
  }
  return true;
}

bool WindowsFileSystem::remove(const std::string& name, FileFailure* failure) {
  std::wstring wide;
  if (!wide_name(name, &wide, failure)) return false;
  return DeleteFileW(wide.c_str()) != 0 || failed(failure);
}

bool WindowsFileSystem::rename_to_new(const std::string& from, const std::string& to,
                                      FileFailure* failure) {
  std::wstring wide_from;
  std::wstring wide_to;
  if (!wide_name(from, &wide_from, failure) || !wide_name(to, &wide_to, failure)) return false;
  // Without MOVEFILE_REPLACE_EXISTING the system refuses a name that is taken.
  return MoveFileExW(wide_from.c_str(), wide_to.c_str(), 0) != 0 || failed(failure);
}

bool WindowsFileSystem::number(HANDLE file, int* handle, FileFailure* failure) {
  if (files_.size() >= static_cast<std::size_t>(std::numeric_limits<int>::max())) {
    CloseHandle(file);
    return failed_with(ERROR_TOO_MANY_OPEN_FILES, failure);
  }
  *handle = static_cast<int>(files_.size());
  files_.push_back(file);
  return true;
}

bool WindowsFileSystem::path_in(int folder, const std::string& name, std::wstring* path,
                                FileFailure* failure) {
  if (!is_plain_name(name, failure)) return false;
  if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size() ||
      folders_[static_cast<std::size_t>(folder)].handle == nullptr) {
    return failed_with(ERROR_INVALID_HANDLE, failure);
  }
  return wide_name(folders_[static_cast<std::size_t>(folder)].path + name, path, failure);
}

bool WindowsFileSystem::open_folder(const std::string& path, int* folder, FileIdentity* identity,
                                    FileFailure* failure) {
  std::wstring wide;
  if (!wide_name(path, &wide, failure)) return false;
  OwnedHandle opened(CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!opened.valid()) return failed(failure);
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(opened.get(), &info) == 0) return failed(failure);
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    return failed_with(ERROR_DIRECTORY, failure);
  }
  OpenFolder open;
  if (path != ".") {
    open.path = path;
    if (open.path.back() != '/' && open.path.back() != '\\') open.path += '\\';
  }
  open.handle = opened.release();
  *folder = static_cast<int>(folders_.size());
  folders_.push_back(open);
  *identity = identity_of_file(info);
  return true;
}

void WindowsFileSystem::close_folder(int folder) {
  if (folder < 0 || static_cast<std::size_t>(folder) >= folders_.size()) return;
  OpenFolder& open = folders_[static_cast<std::size_t>(folder)];
  if (open.handle != nullptr) CloseHandle(open.handle);
  open.handle = nullptr;
}

bool WindowsFileSystem::inspect_at(int folder, const std::string& name, FileState* state,
                                   FileFailure* failure) {
  std::wstring path;
  if (!path_in(folder, name, &path, failure)) return false;
  return inspect(folders_[static_cast<std::size_t>(folder)].path + name, state, failure);
}

bool WindowsFileSystem::open_at(int folder, const std::string& name, OpenAt how, int* handle,
                                FileState* state, FileFailure* failure) {
  std::wstring path;
  if (!path_in(folder, name, &path, failure)) return false;
  // FILE_APPEND_DATA without FILE_WRITE_DATA: every write goes to the end of the file.
  DWORD access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  DWORD disposition = OPEN_EXISTING;
  switch (how) {
    case OpenAt::kRead:
      access = GENERIC_READ;
      break;
    case OpenAt::kAppend:
      break;
    case OpenAt::kCreate:
    case OpenAt::kCreatePrivate:
      disposition = CREATE_NEW;
      break;
    case OpenAt::kRepair:
      access = GENERIC_READ | GENERIC_WRITE;
      break;
  }
  // FILE_FLAG_OPEN_REPARSE_POINT: a symbolic link or junction is opened itself, and refused.
  OwnedHandle file(CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file.valid()) {
    // A folder is refused as access denied; said as what it is.
    const DWORD error = GetLastError();
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (error == ERROR_ACCESS_DENIED && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      *failure = {FileFailure::Code::kIsFolder, "a folder"};
      return false;
    }
    return failed_with(error, failure);
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file.get(), &info) == 0) return not_plain(failure);
  if (is_link(file.get(), info)) {
    *failure = {FileFailure::Code::kLink, "a symbolic link"};
    return false;
  }
  if ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    *failure = {FileFailure::Code::kIsFolder, "a folder"};
    return false;
  }
  if (!is_plain_file(file.get())) return not_plain(failure);
  *state = FileState{};
  state->exists = true;
  state->regular = true;
  state->size = (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow;
  state->links = info.nNumberOfLinks;
  state->identity = identity_of_file(info);
  return number(file.release(), handle, failure);
}

bool WindowsFileSystem::read_handle(int handle, std::uint64_t offset, std::size_t count,
                                    std::string* bytes, FileFailure* failure) {
  bytes->clear();
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, failure);
  bytes->resize(count);
  std::size_t done = 0;
  while (done < count) {
    const std::size_t left = count - done;
    const DWORD part = left < (DWORD{1} << 30) ? static_cast<DWORD>(left) : DWORD{1} << 30;
    OVERLAPPED at{};
    const std::uint64_t from = offset + done;
    at.Offset = static_cast<DWORD>(from & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(from >> 32);
    DWORD read = 0;
    if (ReadFile(file, &(*bytes)[done], part, &read, &at) == 0) {
      const DWORD error = GetLastError();
      if (error == ERROR_HANDLE_EOF) break;
      bytes->resize(done);
      return failed_with(error, failure);
    }
    if (read == 0) break;
    done += read;
  }
  bytes->resize(done);
  return true;
}

bool WindowsFileSystem::truncate_handle(int handle, std::uint64_t size, FileFailure* failure) {
  const HANDLE file = file_of(handle);
  if (file == nullptr) return failed_with(ERROR_INVALID_HANDLE, failure);
  FILE_END_OF_FILE_INFO end{};
  end.EndOfFile.QuadPart = static_cast<LONGLONG>(size);
  return SetFileInformationByHandle(file, FileEndOfFileInfo, &end, sizeof end) != 0 ||
         failed(failure);
}

bool WindowsFileSystem::remove_at(int folder, const std::string& name, const FileIdentity& identity,
                                  FileFailure* failure) {
  std::wstring path;
  if (!path_in(folder, name, &path, failure)) return false;
  // Opened for deleting, checked, and deleted through that handle when it closes: never a file
  // that took the name after the check.
  OwnedHandle file(CreateFileW(path.c_str(), DELETE | FILE_READ_ATTRIBUTES, kShareAll, nullptr,
                               OPEN_EXISTING,
                               FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!file.valid()) return failed(failure);
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileInformationByHandle(file.get(), &info) == 0) return failed(failure);
  if (is_link(file.get(), info) || identity_of_file(info) != identity) {
    *failure = {FileFailure::Code::kReplaced,
                "the name leads to another file than the one checked"};
    return false;
  }
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = TRUE;
  return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                    sizeof disposition) != 0 ||
         failed(failure);
}

bool WindowsFileSystem::folder_takes_new_files(int folder, FileFailure* failure) {
  // A file that the system deletes when its handle closes, also when the program is killed.
  std::wstring path;
  const std::string probe = "NG-0-probe-" + std::to_string(GetCurrentProcessId()) + ".tmp";
  if (!path_in(folder, probe, &path, failure)) return false;
  const HANDLE file = CreateFileW(
      path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_EXISTS || failed_with(error, failure);  // taken: no telling
  }
  CloseHandle(file);
  return true;
}

}  // namespace

// Windows ends no program for writing to a console that has gone: nothing to ready.
void prepare_process() {}

// A limit on a Windows process comes only from a job object, which the programs do not ask.
std::optional<std::uint64_t> memory_limit() { return std::nullopt; }

std::unique_ptr<FileSystem> make_system_file_system() {
  return std::make_unique<WindowsFileSystem>();
}

}  // namespace quorvane
