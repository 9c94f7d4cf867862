#include "tests/support/program_process.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quorvane::testing {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Console files live beside the run's folder, so that they are not among its files.
std::string console_path(const std::string& folder, const char* what) {
  static std::atomic<int> counter{0};
  return folder + ".console-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "." +
         what;
}

}  // namespace

ProgramProcess::ProgramProcess(const std::string& executable, const std::string& folder,
                               const std::string& input, Options options)
    : out_path_(console_path(folder, "out")),
      err_path_(console_path(folder, "err")),
      in_path_(console_path(folder, "in")) {
  {
    std::ofstream in(in_path_, std::ios::binary);
    in << input;
  }
  // The program's words, made before the fork.
  std::string program = executable;
  std::vector<char*> words{program.data()};
  for (std::string& argument : options.arguments) words.push_back(argument.data());
  words.push_back(nullptr);
  int output_pipe[2] = {-1, -1};
  if (options.output_reader_gone && pipe(output_pipe) != 0) {
    throw std::runtime_error("cannot make a pipe for " + executable);
  }
  pid_ = fork();
  if (pid_ < 0) throw std::runtime_error("cannot start " + executable);
  if (pid_ == 0) {
    const int in =
        open(options.input_file == nullptr ? in_path_.c_str() : options.input_file, O_RDONLY);
    if (options.output_reader_gone) close(output_pipe[0]);
    const int out = options.output_reader_gone
                        ? output_pipe[1]
                        : open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    // The program starts as from a shell: no signal held or ignored by the test runner.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGPIPE, SIGXFSZ}) {
      std::signal(signal, SIG_DFL);
    }
    if (options.file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    if (options.address_space_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.address_space_limit),
                         static_cast<rlim_t>(options.address_space_limit)};
      setrlimit(RLIMIT_AS, &limit);
    }
    execv(program.c_str(), words.data());
    _exit(127);
  }
  if (options.output_reader_gone) {
    close(output_pipe[0]);
    close(output_pipe[1]);
  }
}

ProgramProcess::~ProgramProcess() {
  if (pid_ > 0) {
    if (!has_ended()) kill(pid_, SIGKILL);
    wait();
  }
  std::remove(out_path_.c_str());
  std::remove(err_path_.c_str());
  std::remove(in_path_.c_str());
}

std::string ProgramProcess::err_so_far() const { return read_file(err_path_); }

bool ProgramProcess::has_ended() {
  if (!reaped_) reaped_ = waitpid(pid_, &status_, WNOHANG) == pid_;
  return reaped_;
}

bool ProgramProcess::ends_within(std::chrono::milliseconds time) {
  const auto give_up = std::chrono::steady_clock::now() + time;
  while (!has_ended()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

ProgramResult ProgramProcess::wait() {
  ProgramResult result;
  while (!reaped_) {
    reaped_ = waitpid(pid_, &status_, 0) == pid_;
    if (!reaped_ && errno != EINTR) break;
  }
  const int status = status_;
  pid_ = -1;
  if (WIFEXITED(status)) result.exit_status = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
  result.out = read_file(out_path_);
  result.err = read_file(err_path_);
  return result;
}

ProgramResult run_in(const std::string& executable, const std::string& folder,
                     const std::string& input, ProgramProcess::Options options) {
  ProgramProcess process(executable, folder, input, options);
  return process.wait();
}

}  // namespace quorvane::testing
