#pragma once

#include <cstdint>
#include <functional>
#include <istream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

namespace quorvane {

// Why a call of the file system failed: a code the programs act on and word, and the system's
// own words for it (strerror's, or Windows' message on one line). Never a sentence of the
// programs.
struct FileFailure {
  enum class Code {
    kOther,         // only the system's words say what
    kNotFound,      // no such file or folder on the way
    kExists,        // a file must be new and is not
    kNotPlainFile,  // a pipe, device or socket where a plain file was expected
    kIsFolder,      // a folder where a file was expected
    kNoSpace,       // the disk is full
    kDenied,        // no permission
    kInUse,         // another program holds the file (Windows' sharing and lock violations)
    kBadName,       // a name the system cannot take
    kLink,          // a symbolic link (or junction) where a file of the folder itself was expected
    kReplaced,      // the name no longer leads to the file that was checked
  };
  Code code = Code::kOther;
  std::string reason;
};

// What a run needs of the file system: reading the data file and appending to the report files
// in the working folder. One implementation per platform; tests wrap it to inject faults.
// Every call that can fail returns false and says why in *failure.
class FileSystem {
 public:
  // Which file a name leads to: every name of one file (hard links, symbolic links to it) gives
  // the same identity. The device and inode numbers on a POSIX system, the volume's serial
  // number and the file index on Windows.
  struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;

    bool operator==(const FileIdentity& other) const {
      return device == other.device && inode == other.inode;
    }
    bool operator!=(const FileIdentity& other) const { return !(*this == other); }
  };

  struct FileState {
    bool exists = false;
    bool regular = false;    // a plain file, not a folder, device or pipe
    bool folder = false;     // a folder
    std::uint64_t size = 0;  // of a plain file
    // The name is a symbolic link to nothing (exists is then false): creating a file by that
    // name would fail.
    bool dangling_link = false;
    // The name itself is a symbolic link (on Windows a symbolic link or junction), whatever it
    // leads to.
    bool symbolic_link = false;
    // How many names the file has (hard links); 1 for most files.
    std::uint64_t links = 1;
    FileIdentity identity;  // of what the name leads to, when it exists
    // Owned by the user running the program and writable by no one else (always so on systems
    // without owners of files, such as Windows as the programs use it).
    bool private_to_user = true;
  };

  // How open_at opens a file of a folder, never through a symbolic link.
  enum class OpenAt {
    kRead,           // an existing plain file, for reading
    kAppend,         // an existing plain file, every write at its end
    kCreate,         // a new file, which must not exist yet, every write at its end
    kCreatePrivate,  // the same, readable and writable by its owner alone
    kRepair,         // an existing plain file, to read and to cut back
  };

  // Thrown by the stream of an opened file when the system cannot read the file; what() is the
  // system's reason.
  class ReadError : public std::runtime_error {
   public:
    using std::runtime_error::runtime_error;
  };

  virtual ~FileSystem() = default;

  // Opens a plain file for reading and gives its identity; null, with the failure (kNotPlainFile
  // for a pipe, device or socket), when it cannot be opened or is not a plain file. Never waits
  // for a writer or a device. Reading the stream throws ReadError when the system fails to read
  // the file.
  virtual std::unique_ptr<std::istream> open_for_reading(const std::string& name,
                                                         FileIdentity* identity,
                                                         FileFailure* failure) = 0;
  // The identity of the file a name leads to; none when there is no such file or it cannot be
  // examined.
  virtual std::optional<FileIdentity> identity_of(const std::string& name) = 0;
  // Reads up to `count` bytes of a plain file from `offset` into *bytes (fewer at its end).
  virtual bool read_at(const std::string& name, std::uint64_t offset, std::size_t count,
                       std::string* bytes, FileFailure* failure) = 0;

  // Takes the working folder's report lock, shared by every program of the family, waiting
  // while another run holds it (calling `waiting` once before it waits). Until end_append,
  // interrupts are held back (every signal that would end the program and can be held) and a
  // file-size limit makes writes fail instead of ending the program.
  virtual bool begin_append(const std::function<void()>& waiting, FileFailure* failure) = 0;
  virtual void end_append() = 0;

  virtual bool inspect(const std::string& name, FileState* state, FileFailure* failure) = 0;
  // Opens a report file for appending: an existing regular file, or (create) a new one that must
  // not exist yet. *size is the file's size when opened.
  virtual bool open_for_append(const std::string& name, bool create, int* handle,
                               std::uint64_t* size, FileFailure* failure) = 0;
  // Writes part or all of the bytes; *written says how many.
  virtual bool write_some(int handle, const char* bytes, std::size_t count, std::size_t* written,
                          FileFailure* failure) = 0;
  virtual bool close(int handle, FileFailure* failure) = 0;
  virtual bool truncate(const std::string& name, std::uint64_t size, FileFailure* failure) = 0;
  virtual bool remove(const std::string& name, FileFailure* failure) = 0;
  // Gives a file a new name, which must be free: never replaces a file (kExists when taken).
  virtual bool rename_to_new(const std::string& from, const std::string& to,
                             FileFailure* failure) = 0;

  // Folders and files by handle, for the append and its repair: a folder is opened once by its
  // path (the working folder is "."), and each file in it by its plain name, never through a
  // symbolic link (kLink), so that what is changed is what was checked. The numbers given out
  // are the file system's own. A file system that holds no report files (a browser's) need not
  // provide them: they then fail.
  virtual bool open_folder(const std::string& /*path*/, int* /*folder*/, FileIdentity* /*identity*/,
                           FileFailure* failure) {
    return unsupported(failure);
  }
  virtual void close_folder(int /*folder*/) {}
  // What the name in the folder is; a symbolic link is said to be one (symbolic_link) and not
  // followed for links, size and identity, which are then the target's when it exists.
  virtual bool inspect_at(int /*folder*/, const std::string& /*name*/, FileState* /*state*/,
                          FileFailure* failure) {
    return unsupported(failure);
  }
  // Opens the plain file `name` of the folder, as `how` says, and describes what it opened.
  virtual bool open_at(int /*folder*/, const std::string& /*name*/, OpenAt /*how*/, int* /*handle*/,
                       FileState* /*state*/, FileFailure* failure) {
    return unsupported(failure);
  }
  // Reads up to `count` bytes from `offset` of a file opened with kRead or kRepair.
  virtual bool read_handle(int /*handle*/, std::uint64_t /*offset*/, std::size_t /*count*/,
                           std::string* /*bytes*/, FileFailure* failure) {
    return unsupported(failure);
  }
  // Cuts a file opened with kRepair back to `size` bytes.
  virtual bool truncate_handle(int /*handle*/, std::uint64_t /*size*/, FileFailure* failure) {
    return unsupported(failure);
  }
  // Removes `name` from the folder only while it is the file `identity` (kReplaced otherwise,
  // the name then left as it was): never another file that took its name meanwhile.
  virtual bool remove_at(int /*folder*/, const std::string& /*name*/,
                         const FileIdentity& /*identity*/, FileFailure* failure) {
    return unsupported(failure);
  }
  // Whether a file could be created in the folder now, leaving nothing behind even when the
  // program is killed meanwhile.
  virtual bool folder_takes_new_files(int /*folder*/, FileFailure* failure) {
    return unsupported(failure);
  }

 private:
  static bool unsupported(FileFailure* failure) {
    *failure = {FileFailure::Code::kOther, "not supported by this file system"};
    return false;
  }
};

}  // namespace quorvane
