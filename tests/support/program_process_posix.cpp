#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>
#include <vector>

#include "tests/support/program_process.h"

namespace quorvane::testing {
namespace {

void limit(int resource, long bytes) {
  if (bytes < 0) return;
  const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
  setrlimit(resource, &limit);
}

}  // namespace

void ProgramProcess::start(const std::string& executable, const std::string& folder,
                           const Options& options) {
  // The program's words, made before the fork.
  std::string program = executable;
  std::vector<std::string> arguments = options.arguments;
  std::vector<char*> words{program.data()};
  for (std::string& argument : arguments) words.push_back(argument.data());
  words.push_back(nullptr);
  int output_pipe[2] = {-1, -1};
  if (options.output_reader_gone && pipe(output_pipe) != 0) {
    throw std::runtime_error("cannot make a pipe for " + executable);
  }
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start " + executable);
  if (child == 0) {
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
    limit(RLIMIT_FSIZE, options.file_size_limit);
    limit(RLIMIT_AS, options.address_space_limit);
    execv(program.c_str(), words.data());
    _exit(127);
  }
  if (options.output_reader_gone) {
    close(output_pipe[0]);
    close(output_pipe[1]);
  }
  pid_ = child;
}

bool ProgramProcess::has_ended() {
  if (!ended_) ended_ = waitpid(static_cast<pid_t>(pid_), &status_, WNOHANG) == pid_;
  return ended_;
}

void ProgramProcess::kill_now() { kill(static_cast<pid_t>(pid_), SIGKILL); }

void ProgramProcess::wait_for_end(ProgramResult* result) {
  while (!ended_) {
    ended_ = waitpid(static_cast<pid_t>(pid_), &status_, 0) == pid_;
    if (!ended_ && errno != EINTR) break;
  }
  ended_ = true;
  if (WIFEXITED(status_)) result->exit_status = WEXITSTATUS(status_);
  if (WIFSIGNALED(status_)) result->signal = WTERMSIG(status_);
}

}  // namespace quorvane::testing
