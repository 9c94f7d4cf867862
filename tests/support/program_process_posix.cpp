#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <stdexcept>

#include "tests/support/program_process.h"

namespace quorvane::testing {

void ProgramProcess::start(const std::string& executable, const std::string& folder,
                           Options options) {
  const pid_t child = fork();
  if (child < 0) throw std::runtime_error("cannot start " + executable);
  if (child == 0) {
    const int in = open(in_path_.c_str(), O_RDONLY);
    const int out = open(out_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open(err_path_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in < 0 || out < 0 || err < 0 || dup2(in, 0) < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 ||
        chdir(folder.c_str()) != 0) {
      _exit(127);
    }
    // The program starts as from a shell: no signal held or ignored by the test runner.
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGXFSZ}) std::signal(signal, SIG_DFL);
    if (options.file_size_limit >= 0) {
      const rlimit limit{static_cast<rlim_t>(options.file_size_limit),
                         static_cast<rlim_t>(options.file_size_limit)};
      setrlimit(RLIMIT_FSIZE, &limit);
    }
    execl(executable.c_str(), executable.c_str(), static_cast<char*>(nullptr));
    _exit(127);
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
