#pragma once

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "platform/file_system.h"

namespace quorvane::testing {

// Passes every call to another file system, except the k-th call of one kind, which fails the
// way a full disk, a broken share or a file-size limit would (or, for kShortWrite, writes only
// part of its bytes and succeeds, as a system may), or the k-th call of any kind, at which the
// run is killed (kKill). Counts the calls of each kind.
class FaultyFileSystem final : public FileSystem {
 public:
  enum class Fault {
    kNone,
    kInspect,       // the k-th inspect fails
    kOpen,          // the k-th open_for_append fails, opening nothing
    kWrite,         // the k-th write fails, writing nothing
    kPartialWrite,  // the k-th write writes half its bytes, then fails
    kShortWrite,    // the k-th write writes half its bytes and succeeds
    kClose,         // the k-th close of a file written to releases it, then reports a failure
    kRemove,        // the k-th remove fails, removing nothing
    // The run is killed at its k-th call of any kind (a write first writes what the system
    // would of half its bytes: up to the last page end of the file they reach): its files are
    // closed as the system would, nothing is put back, and Killed is thrown.
    kKill,
  };
  struct Killed {};
  // The calls a fault can strike, counted one by one, and opens for reading (never struck).
  enum class Call { kInspect, kOpen, kWrite, kClose, kRemove, kRead };
  static Call call_of(Fault fault);
  static constexpr const char* kReason = "injected fault";

  FaultyFileSystem(FileSystem& inner, Fault fault, int k) : inner_(inner), fault_(fault), k_(k) {}

  // From now on, putting a file back (truncate or remove) fails too.
  void fail_restoring() { fail_restoring_ = true; }
  // Called with the file's name when the fault strikes, before it fails the call: another
  // program acting on the file at that moment.
  void at_fault(std::function<void(const std::string& name)> meanwhile) {
    meanwhile_ = std::move(meanwhile);
  }
  // Called before every counted call, with its kind and file's name, as the call goes on: another
  // program acting between two of the run's calls.
  void before_each_call(std::function<void(Call call, const std::string& name)> meanwhile) {
    before_each_ = std::move(meanwhile);
  }

  int calls(Call call) const;
  // Every call but begin_append and end_append, of any kind, as kKill counts them.
  int all_calls() const { return all_calls_; }
  bool injected() const { return !injected_file_.empty(); }
  // The report file the fault hit.
  const std::string& injected_file() const { return injected_file_; }

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
  // Counts a call on the file `name`; true when the fault strikes it.
  bool strikes(Call call, const std::string& name);
  // The failure of an injected fault.
  static bool injected_failure(FileFailure* failure);
  // Counts a call of any kind; true when the run is to be killed at it.
  bool killed_at(const std::string& name);
  [[noreturn]] void die();

  FileSystem& inner_;
  Fault fault_;
  int k_;
  bool fail_restoring_ = false;
  std::function<void(const std::string& name)> meanwhile_;
  std::function<void(Call call, const std::string& name)> before_each_;
  std::map<Call, int> calls_;
  int all_calls_ = 0;
  std::map<int, std::string> names_;      // by handle
  std::map<int, std::uint64_t> offsets_;  // by handle: where its next write goes
  std::set<int> readers_;                 // handles opened only to read
  std::set<int> folders_;                 // open folders, which a killed run's system closes
  std::string injected_file_;
};

}  // namespace quorvane::testing
