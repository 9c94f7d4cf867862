// Everything the programs ask of the operating system lives in this one file: its files, and
// the signals of a run (platform/process.h).
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <istream>
#include <limits>
#include <memory>
#include <optional>
#include <streambuf>

#include "platform/file_read_stream.h"
#include "platform/posix_mapped_file.h"
#include "platform/process.h"
#include "platform/system_file_system.h"

namespace quorvane {
namespace {

std::string system_reason(int error) { return std::strerror(error); }

FileFailure::Code code_of(int error) {
  switch (error) {
    case ENOENT:
      return FileFailure::Code::kNotFound;
    case EEXIST:
      return FileFailure::Code::kExists;
    case EISDIR:
      return FileFailure::Code::kIsFolder;
    case ENOSPC:
      return FileFailure::Code::kNoSpace;
    case EACCES:
    case EPERM:
    case EROFS:
      return FileFailure::Code::kDenied;
    case ELOOP:
      return FileFailure::Code::kLink;
    default:
      return FileFailure::Code::kOther;
  }
}

bool failed_with(int error, FileFailure* failure) {
  *failure = {code_of(error), system_reason(error)};
  return false;
}

bool failed(FileFailure* failure) { return failed_with(errno, failure); }

// What an open file is, where it is a plain file; else it is closed and *failure says why.
bool is_plain_file(int fd, struct stat* info, FileFailure* failure) {
  if (::fstat(fd, info) != 0) {
    const int error = errno;
    ::close(fd);
    return failed_with(error, failure);
  }
  if (!S_ISREG(info->st_mode)) {
    ::close(fd);
    *failure = {FileFailure::Code::kNotPlainFile, "not a plain file"};
    return false;
  }
  return true;
}

// The system would take a name only up to a NUL and act on another file than the one named.
bool holds_nul(const std::string& name, FileFailure* failure) {
  if (name.find('\0') == std::string::npos) return false;
  *failure = {FileFailure::Code::kBadName, "a file name cannot hold a NUL byte"};
  return true;
}

FileSystem::FileIdentity identity_of_file(const struct stat& info) {
  return {static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// A name of a folder's own files: no separator, so that openat stays in the folder.
bool is_plain_name(const std::string& name, FileFailure* failure) {
  if (holds_nul(name, failure)) return false;
  if (name.empty() || name == "." || name == ".." || name.find('/') != std::string::npos) {
    *failure = {FileFailure::Code::kBadName, "not the name of a file in the folder"};
    return false;
  }
  return true;
}

// What a stat of a file says of it.
void describe(const struct stat& info, FileSystem::FileState* state) {
  state->exists = true;
  state->regular = S_ISREG(info.st_mode);
  state->folder = S_ISDIR(info.st_mode);
  state->size = state->regular ? static_cast<std::uint64_t>(info.st_size) : 0;
  state->links = static_cast<std::uint64_t>(info.st_nlink);
  state->identity = identity_of_file(info);
  state->private_to_user = info.st_uid == ::geteuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// Moves the entry `from` of the folder to the free name `to`, never replacing a file there.
int rename_to_free(int folder, const char* from, const char* to) {
#if defined(RENAME_NOREPLACE)
  if (::renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
  if (errno != EINVAL && errno != ENOSYS) return -1;
#endif
  // Under the report lock no run of the family takes the name between the check and the move.
  struct stat info {};
  if (::fstatat(folder, to, &info, AT_SYMLINK_NOFOLLOW) == 0) {
    errno = EEXIST;
    return -1;
  }
  return ::renameat(folder, from, folder, to);
}

// A file descriptor read to its end; a failed read is a FileSystem::ReadError.
class DescriptorReader final : public FileReader {
 public:
  explicit DescriptorReader(int fd) : fd_(fd) {}
  DescriptorReader(const DescriptorReader&) = delete;
  DescriptorReader& operator=(const DescriptorReader&) = delete;
  ~DescriptorReader() override { ::close(fd_); }

  std::size_t read_some(char* bytes, std::size_t count) override {
    ssize_t read;
    do {
      read = ::read(fd_, bytes, count);
    } while (read < 0 && errno == EINTR);
    if (read < 0) throw FileSystem::ReadError(system_reason(errno));
    return static_cast<std::size_t>(read);
  }

  bool size(std::uint64_t* size) override {
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode)) return false;
    *size = static_cast<std::uint64_t>(info.st_size);
    return true;
  }

  std::unique_ptr<FileBytes> map() override {
    std::uint64_t bytes = 0;
    if (!size(&bytes) || bytes > std::numeric_limits<std::size_t>::max()) return nullptr;
    return map_file(fd_, static_cast<std::size_t>(bytes));
  }

 private:
  int fd_;
};

// Every signal that ends the program unless it is caught, and that can be held back: sent by a
// user (Ctrl-C, Ctrl-\, kill), a closing terminal, a timer or a CPU-time limit. The signals of
// the program's own faults (SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGSYS, SIGABRT) are not
// held: holding them is undefined or void. SIGKILL cannot be held; the append journal of
// storage/ covers it. SIGPIPE is ignored for the whole run (prepare_process) and SIGXFSZ during
// the append.
sigset_t ending_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal :
       {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGUSR2, SIGALRM, SIGVTALRM, SIGPROF, SIGXCPU}) {
    sigaddset(&set, signal);
  }
#ifdef SIGPOLL
  sigaddset(&set, SIGPOLL);
#endif
#ifdef SIGIO
  sigaddset(&set, SIGIO);
#endif
#ifdef SIGPWR
  sigaddset(&set, SIGPWR);
#endif
#ifdef SIGSTKFLT
  sigaddset(&set, SIGSTKFLT);
#endif
#ifdef SIGLOST
  sigaddset(&set, SIGLOST);
#endif
#ifdef SIGEMT
  sigaddset(&set, SIGEMT);
#endif
#ifdef SIGRTMIN
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) sigaddset(&set, signal);
#endif
  return set;
}

// The file system of a POSIX system, relative to the working folder.
class PosixFileSystem final : public FileSystem {
 public:
  PosixFileSystem() = default;
  PosixFileSystem(const PosixFileSystem&) = delete;
  PosixFileSystem& operator=(const PosixFileSystem&) = delete;
  ~PosixFileSystem() override;

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
  int folder_lock_ = -1;
  bool signals_held_ = false;
  // What to restore when an append ends.
  sigset_t saved_mask_{};
  struct sigaction saved_file_size_action_ {};
};

PosixFileSystem::~PosixFileSystem() {
  if (folder_lock_ >= 0) end_append();
}

std::unique_ptr<std::istream> PosixFileSystem::open_for_reading(const std::string& name,
                                                                FileIdentity* identity,
                                                                FileFailure* failure) {
  if (holds_nul(name, failure)) return nullptr;
  // Without O_NONBLOCK, opening a pipe would wait for a writer that may never come.
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) {
    failed(failure);
    return nullptr;
  }
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (S_ISDIR(info.st_mode)) {
    error = EISDIR;
  } else if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    *failure = {FileFailure::Code::kNotPlainFile, "not a plain file"};
    return nullptr;
  } else {
    // Reads of a plain file then wait for the disk as usual.
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) error = errno;
  }
  if (error != 0) {
    ::close(fd);
    failed_with(error, failure);
    return nullptr;
  }
  *identity = identity_of_file(info);
  return file_read_stream(std::make_unique<DescriptorReader>(fd));
}

std::optional<FileSystem::FileIdentity> PosixFileSystem::identity_of(const std::string& name) {
  struct stat info {};
  if (name.find('\0') != std::string::npos || ::stat(name.c_str(), &info) != 0) return std::nullopt;
  return identity_of_file(info);
}

bool PosixFileSystem::read_at(const std::string& name, std::uint64_t offset, std::size_t count,
                              std::string* bytes, FileFailure* failure) {
  bytes->clear();
  if (holds_nul(name, failure)) return false;
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
  if (fd < 0) return failed(failure);
  struct stat info {};
  int error = 0;
  if (::fstat(fd, &info) != 0) {
    error = errno;
  } else if (!S_ISREG(info.st_mode)) {
    ::close(fd);
    *failure = {FileFailure::Code::kNotPlainFile, "not a plain file"};
    return false;
  }
  bytes->resize(count);
  std::size_t done = 0;
  while (error == 0 && done < count) {
    const ssize_t read =
        ::pread(fd, &(*bytes)[done], count - done, static_cast<off_t>(offset + done));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) error = errno;
    if (read <= 0) break;
    done += static_cast<std::size_t>(read);
  }
  ::close(fd);
  bytes->resize(done);
  return error == 0 || failed_with(error, failure);
}

bool PosixFileSystem::begin_append(const std::function<void()>& waiting, FileFailure* failure) {
  const int folder = ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) return failed(failure);
  if (::flock(folder, LOCK_EX | LOCK_NB) != 0) {
    if (errno != EWOULDBLOCK) {
      const int error = errno;
      ::close(folder);
      return failed_with(error, failure);
    }
    waiting();
    int locked;
    do {
      locked = ::flock(folder, LOCK_EX);
    } while (locked != 0 && errno == EINTR);
    if (locked != 0) {
      const int error = errno;
      ::close(folder);
      return failed_with(error, failure);
    }
  }
  folder_lock_ = folder;

  // From here to end_append a signal that would end the program waits, and a file-size limit
  // fails a write with EFBIG instead of ending the program half-way through the append.
  const sigset_t held = ending_signals();
  sigprocmask(SIG_BLOCK, &held, &saved_mask_);
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGXFSZ, &ignore, &saved_file_size_action_);
  signals_held_ = true;
  return true;
}

void PosixFileSystem::end_append() {
  if (folder_lock_ >= 0) {
    ::close(folder_lock_);  // releases the lock
    folder_lock_ = -1;
  }
  if (signals_held_) {
    sigaction(SIGXFSZ, &saved_file_size_action_, nullptr);
    // Interrupts that arrived during the append take effect now, with every file complete.
    sigprocmask(SIG_SETMASK, &saved_mask_, nullptr);
    signals_held_ = false;
  }
}

bool PosixFileSystem::inspect(const std::string& name, FileState* state, FileFailure* failure) {
  *state = FileState{};
  if (holds_nul(name, failure)) return false;
  struct stat link {};
  state->symbolic_link = ::lstat(name.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0) {
    if (errno != ENOENT) return failed(failure);
    // Nothing by that name, or a symbolic link whose target is missing.
    state->dangling_link = state->symbolic_link;
    return true;
  }
  state->exists = true;
  state->regular = S_ISREG(info.st_mode);
  state->folder = S_ISDIR(info.st_mode);
  if (state->regular) state->size = static_cast<std::uint64_t>(info.st_size);
  state->links = static_cast<std::uint64_t>(info.st_nlink);
  state->identity = identity_of_file(info);
  return true;
}

bool PosixFileSystem::open_for_append(const std::string& name, bool create, int* handle,
                                      std::uint64_t* size, FileFailure* failure) {
  if (holds_nul(name, failure)) return false;
  const int flags =
      O_WRONLY | O_APPEND | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | (create ? O_CREAT | O_EXCL : 0);
  const int fd = ::open(name.c_str(), flags, 0666);
  if (fd < 0) return failed(failure);
  struct stat info {};
  if (!is_plain_file(fd, &info, failure)) return false;
  *handle = fd;
  *size = static_cast<std::uint64_t>(info.st_size);
  return true;
}

bool PosixFileSystem::write_some(int handle, const char* bytes, std::size_t count,
                                 std::size_t* written, FileFailure* failure) {
  ssize_t result;
  do {
    result = ::write(handle, bytes, count);
  } while (result < 0 && errno == EINTR);
  if (result < 0) return failed(failure);
  *written = static_cast<std::size_t>(result);
  return true;
}

bool PosixFileSystem::close(int handle, FileFailure* failure) {
  if (::close(handle) != 0 && errno != EINTR) return failed(failure);
  return true;
}

bool PosixFileSystem::truncate(const std::string& name, std::uint64_t size, FileFailure* failure) {
  if (holds_nul(name, failure)) return false;
  int result;
  do {
    result = ::truncate(name.c_str(), static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0 || failed(failure);
}

bool PosixFileSystem::remove(const std::string& name, FileFailure* failure) {
  if (holds_nul(name, failure)) return false;
  return ::unlink(name.c_str()) == 0 || failed(failure);
}

bool PosixFileSystem::rename_to_new(const std::string& from, const std::string& to,
                                    FileFailure* failure) {
  if (holds_nul(from, failure) || holds_nul(to, failure)) return false;
  // A second name, then the first one gone: the system never replaces a file by that name.
  if (::link(from.c_str(), to.c_str()) == 0) {
    return ::unlink(from.c_str()) == 0 || failed(failure);
  }
  if (errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) return failed(failure);
  // A file system without hard links (FAT on a stick): under the report lock, no run of the
  // family takes the name between the check and the renaming.
  struct stat info {};
  if (::lstat(to.c_str(), &info) == 0) return failed_with(EEXIST, failure);
  return ::rename(from.c_str(), to.c_str()) == 0 || failed(failure);
}

bool PosixFileSystem::open_folder(const std::string& path, int* folder, FileIdentity* identity,
                                  FileFailure* failure) {
  if (holds_nul(path, failure)) return false;
  // The folder as the user named it, links on the way included; its files are then reached
  // from this handle alone.
  const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return failed(failure);
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    const int error = errno;
    ::close(fd);
    return failed_with(error, failure);
  }
  *folder = fd;
  *identity = identity_of_file(info);
  return true;
}

void PosixFileSystem::close_folder(int folder) { ::close(folder); }

bool PosixFileSystem::inspect_at(int folder, const std::string& name, FileState* state,
                                 FileFailure* failure) {
  *state = FileState{};
  if (!is_plain_name(name, failure)) return false;
  struct stat info {};
  if (::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT || failed(failure);
  }
  if (!S_ISLNK(info.st_mode)) {
    describe(info, state);
    return true;
  }
  state->symbolic_link = true;
  if (::fstatat(folder, name.c_str(), &info, 0) != 0) {
    if (errno != ENOENT) return failed(failure);
    state->dangling_link = true;
    return true;
  }
  describe(info, state);
  return true;
}

bool PosixFileSystem::open_at(int folder, const std::string& name, OpenAt how, int* handle,
                              FileState* state, FileFailure* failure) {
  if (!is_plain_name(name, failure)) return false;
  int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
  mode_t mode = 0666;
  switch (how) {
    case OpenAt::kRead:
      flags |= O_RDONLY;
      break;
    case OpenAt::kAppend:
      flags |= O_WRONLY | O_APPEND;
      break;
    case OpenAt::kCreatePrivate:
      mode = 0600;
      flags |= O_WRONLY | O_APPEND | O_CREAT | O_EXCL;
      break;
    case OpenAt::kCreate:
      flags |= O_WRONLY | O_APPEND | O_CREAT | O_EXCL;
      break;
    case OpenAt::kRepair:
      flags |= O_RDWR;
      break;
  }
  int fd;
  do {
    fd = ::openat(folder, name.c_str(), flags, mode);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) return failed(failure);
  struct stat info {};
  if (!is_plain_file(fd, &info, failure)) return false;
  *state = FileState{};
  describe(info, state);
  *handle = fd;
  return true;
}

bool PosixFileSystem::read_handle(int handle, std::uint64_t offset, std::size_t count,
                                  std::string* bytes, FileFailure* failure) {
  bytes->assign(count, '\0');
  std::size_t done = 0;
  while (done < count) {
    const ssize_t read =
        ::pread(handle, &(*bytes)[done], count - done, static_cast<off_t>(offset + done));
    if (read < 0 && errno == EINTR) continue;
    if (read < 0) {
      bytes->resize(done);
      return failed(failure);
    }
    if (read == 0) break;
    done += static_cast<std::size_t>(read);
  }
  bytes->resize(done);
  return true;
}

bool PosixFileSystem::truncate_handle(int handle, std::uint64_t size, FileFailure* failure) {
  int result;
  do {
    result = ::ftruncate(handle, static_cast<off_t>(size));
  } while (result != 0 && errno == EINTR);
  return result == 0 || failed(failure);
}

bool PosixFileSystem::remove_at(int folder, const std::string& name, const FileIdentity& identity,
                                FileFailure* failure) {
  if (!is_plain_name(name, failure)) return false;
  // Moved to a name of this process first, so that the file checked is the file removed: a
  // file put in its place between a check and an unlink by name would go instead.
  const std::string moved = ".NG-0-removing-" + std::to_string(::getpid()) + ".tmp";
  if (rename_to_free(folder, name.c_str(), moved.c_str()) != 0) return failed(failure);
  struct stat info {};
  const bool seen = ::fstatat(folder, moved.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
  const int error = seen ? 0 : errno;
  if (seen && !S_ISLNK(info.st_mode) && identity_of_file(info) == identity) {
    return ::unlinkat(folder, moved.c_str(), 0) == 0 || failed(failure);
  }
  rename_to_free(folder, moved.c_str(), name.c_str());
  if (error != 0) return failed_with(error, failure);
  *failure = {FileFailure::Code::kReplaced, "the name leads to another file than the one checked"};
  return false;
}

bool PosixFileSystem::folder_takes_new_files(int folder, FileFailure* failure) {
  // Asked of the system rather than tried with a file, which a killed run would leave behind.
  return ::faccessat(folder, ".", W_OK | X_OK, AT_EACCESS) == 0 || failed(failure);
}

}  // namespace

void prepare_process() {
  // A console that goes away (standard output a pipe whose reader has ended, as in
  // `Quorvane-Triads < answers | head -n 1`) makes writes to it fail instead of ending the run:
  // the reports are still written.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  sigemptyset(&ignore.sa_mask);
  sigaction(SIGPIPE, &ignore, nullptr);
}

std::optional<std::uint64_t> memory_limit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return static_cast<std::uint64_t>(limit.rlim_cur);
}

std::unique_ptr<FileSystem> make_system_file_system() {
  return std::make_unique<PosixFileSystem>();
}

}  // namespace quorvane
