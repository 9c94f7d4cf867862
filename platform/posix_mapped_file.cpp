#include "platform/posix_mapped_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>

namespace quorvane {
namespace {

// The one file mapped, for the handler of SIGBUS, which the system raises when a page of the
// mapping lies past the file's end.
std::atomic<bool> mapping_taken{false};
std::atomic<std::uintptr_t> mapping_start{0};
std::atomic<std::uintptr_t> mapping_end{0};
std::atomic<bool> mapping_cut{false};
std::atomic<std::uintptr_t> page_size{4096};
struct sigaction earlier_action;

// A fault within the mapping: the rest of it from the faulting page on becomes zeros, so that the
// read that faulted, tried again, reads 0; a fault elsewhere goes to the action set before.
void on_bus_error(int signal, siginfo_t* info, void* context) {
  const auto at = reinterpret_cast<std::uintptr_t>(info->si_addr);
  const std::uintptr_t start = mapping_start.load();
  const std::uintptr_t end = mapping_end.load();
  if (at >= start && at < end) {
    const std::uintptr_t page = page_size.load();
    const std::uintptr_t from = at / page * page;
    void* const zeros = ::mmap(reinterpret_cast<void*>(from), end - from, PROT_READ,
                               MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1, 0);
    if (zeros != MAP_FAILED) {
      mapping_cut.store(true);
      return;
    }
  }
  if ((earlier_action.sa_flags & SA_SIGINFO) != 0 && earlier_action.sa_sigaction != nullptr) {
    earlier_action.sa_sigaction(signal, info, context);
  } else if (earlier_action.sa_handler != SIG_IGN && earlier_action.sa_handler != SIG_DFL) {
    earlier_action.sa_handler(signal);
  } else {
    // The fault happens again once this returns, and ends the program as it would have.
    ::sigaction(SIGBUS, &earlier_action, nullptr);
  }
}

// A file mapped read-only and private: the run never writes to it, and the pages it has read are
// let go of as the reading goes on, so that they are not all held at once.
class MappedBytes final : public FileBytes {
 public:
  MappedBytes(int fd, void* start, std::size_t size) : fd_(fd), start_(start), size_(size) {
    bytes_ = std::string_view(static_cast<const char*>(start), size);
  }
  MappedBytes(const MappedBytes&) = delete;
  MappedBytes& operator=(const MappedBytes&) = delete;
  ~MappedBytes() override {
    ::sigaction(SIGBUS, &earlier_action, nullptr);
    mapping_start.store(0);
    mapping_end.store(0);
    ::munmap(start_, size_);
    ::close(fd_);
    mapping_taken.store(false);
  }
  // The pages of a private mapping that was never written to are the file's: dropped, they are
  // read again from it.
  void let_go() override { ::madvise(start_, size_, MADV_DONTNEED); }
  // Cut within a page read, the file's last page reads as zeros past its end without a fault.
  bool cut_short() const override {
    struct stat info {};
    return mapping_cut.load() ||
           (::fstat(fd_, &info) == 0 && static_cast<std::uint64_t>(info.st_size) < size_);
  }

 private:
  int fd_;  // the file's own descriptor, which tells its size now
  void* start_;
  std::size_t size_;
};

}  // namespace

std::unique_ptr<FileBytes> map_file(int fd, std::size_t size) {
  // Files that say they are empty are read: those of /proc hold bytes all the same.
  if (size == 0 || mapping_taken.exchange(true)) return nullptr;
  const int own = ::fcntl(fd, F_DUPFD_CLOEXEC, 0);
  void* const start = own < 0 ? MAP_FAILED : ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, own, 0);
  struct sigaction action {};
  action.sa_sigaction = on_bus_error;
  action.sa_flags = SA_SIGINFO;
  sigemptyset(&action.sa_mask);
  if (start == MAP_FAILED || ::sigaction(SIGBUS, &action, &earlier_action) != 0) {
    if (start != MAP_FAILED) ::munmap(start, size);
    if (own >= 0) ::close(own);
    mapping_taken.store(false);
    return nullptr;
  }
  ::madvise(start, size, MADV_SEQUENTIAL);
  // Asked here, as the handler may ask the system only what a handler may.
  if (const long page = ::sysconf(_SC_PAGESIZE); page > 0) {
    page_size.store(static_cast<std::uintptr_t>(page));
  }
  mapping_cut.store(false);
  mapping_start.store(reinterpret_cast<std::uintptr_t>(start));
  mapping_end.store(reinterpret_cast<std::uintptr_t>(start) + size);
  return std::make_unique<MappedBytes>(own, start, size);
}

}  // namespace quorvane
