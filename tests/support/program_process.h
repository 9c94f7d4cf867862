#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace quorvane::testing {

// How one run of a real program ended.
struct ProgramResult {
  int exit_status = -1;  // -1 when ended by a signal
  int signal = 0;        // POSIX only
  std::string out;
  std::string err;
};

// One of the real programs, started in a folder with its console input given in full (a file
// as its standard input: fork and exec on POSIX, CreateProcessW with redirected handles on
// Windows). One still running when this goes is killed, so that a failed test cannot leave it
// waiting for a lock.
class ProgramProcess {
 public:
  struct Options {
    long file_size_limit = -1;           // bytes, for RLIMIT_FSIZE (POSIX only); -1 for none
    std::vector<std::string> arguments;  // the words after the program's name
    long address_space_limit = -1;       // bytes, for RLIMIT_AS (POSIX only); -1 for none
    const char* input_file = nullptr;    // read as console input instead of the text given
    // Standard output a pipe whose reader has gone before the program starts, as when piped
    // into `head` that has ended: each write fails, or raises SIGPIPE. ProgramResult::out is
    // then empty. POSIX only.
    bool output_reader_gone = false;
  };

  ProgramProcess(const std::string& executable, const std::string& folder, const std::string& input,
                 Options options);
  ~ProgramProcess();
  ProgramProcess(const ProgramProcess&) = delete;
  ProgramProcess& operator=(const ProgramProcess&) = delete;

  // The process id (POSIX), to send it a signal.
  long pid() const { return pid_; }
  // What the program has written to its error stream so far.
  std::string err_so_far() const;
  // Whether the program has ended, without waiting for it.
  bool has_ended();
  // Whether the program ends within the time, checking every few milliseconds.
  bool ends_within(std::chrono::milliseconds time);
  ProgramResult wait();

 private:
  // Starts the program with the console files as its standard streams.
  void start(const std::string& executable, const std::string& folder, const Options& options);
  // Waits for the end and fills in how it ended; nothing else.
  void wait_for_end(ProgramResult* result);
  void kill_now();

  long pid_ = -1;
#if defined(_WIN32)
  void* process_ = nullptr;  // the process handle
#endif
  bool ended_ = false;      // the process has ended
  bool collected_ = false;  // and wait_for_end has run
  int status_ = 0;
  std::string out_path_;
  std::string err_path_;
  std::string in_path_;
};

// Runs a program to its end.
ProgramResult run_in(const std::string& executable, const std::string& folder,
                     const std::string& input, ProgramProcess::Options options = {});

}  // namespace quorvane::testing
