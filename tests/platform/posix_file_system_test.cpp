// What the POSIX file system promises for the length of an append: interrupts wait for its end,
// and a file-size limit fails a write instead of ending the program.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/system_file_system.h"
#include "tests/support/temp_folder.h"
#include "tests/support/working_folder.h"

namespace quorvane {
namespace {

// Signals that end a program by default, sent from outside: a user's keys or kill, a terminal
// that closes, timers, a CPU-time limit, and the real-time signals at both ends of their range.
const std::vector<int>& held_signals() {
  static const std::vector<int> signals = {SIGINT,  SIGTERM,  SIGHUP,    SIGQUIT, SIGUSR1,
                                           SIGUSR2, SIGALRM,  SIGVTALRM, SIGPROF, SIGXCPU,
                                           SIGIO,   SIGRTMIN, SIGRTMAX};
  return signals;
}

constexpr int kMostSignals = 128;
volatile sig_atomic_t caught[kMostSignals];

void record(int signal) {
  if (signal >= 0 && signal < kMostSignals) caught[signal] = 1;
}

void no_wait() { ADD_FAILURE() << "waited for a lock nobody holds"; }

TEST(PosixAppend, InterruptsArriveOnlyOnceTheAppendIsOver) {
  testing::TempFolder folder;
  testing::WorkingFolder here(folder.path());
  // Catches a signal left out of those held: SIGQUIT (Ctrl-\) or SIGUSR1 once cut sections.
  struct sigaction recording {};
  recording.sa_handler = record;
  sigemptyset(&recording.sa_mask);
  std::vector<struct sigaction> saved(held_signals().size());
  for (std::size_t i = 0; i < held_signals().size(); ++i) {
    caught[held_signals()[i]] = 0;
    sigaction(held_signals()[i], &recording, &saved[i]);
  }
  {
    const auto system = make_system_file_system();
    FileSystem& files = *system;
    FileFailure failure;
    ASSERT_TRUE(files.begin_append(no_wait, &failure)) << failure.reason;
    for (const int signal : held_signals()) raise(signal);
    for (const int signal : held_signals()) {
      EXPECT_FALSE(caught[signal]) << strsignal(signal) << " came through";
    }
    files.end_append();
    for (const int signal : held_signals()) {
      EXPECT_TRUE(caught[signal]) << strsignal(signal) << " was lost";
    }
  }
  for (std::size_t i = 0; i < held_signals().size(); ++i) {
    sigaction(held_signals()[i], &saved[i], nullptr);
  }
}

// In a child process, since the limit and the signal it sends apply to the whole process.
TEST(PosixAppend, AFileSizeLimitFailsTheWriteThatCrossesIt) {
  testing::TempFolder folder;
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{10, 10};
    if (chdir(folder.path().c_str()) != 0 || setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(10);
    const auto system = make_system_file_system();
    FileSystem& files = *system;
    FileFailure failure;
    int handle = -1;
    std::uint64_t size = 0;
    std::size_t written = 0;
    const std::string text(100, 'x');
    if (!files.begin_append([] {}, &failure) ||
        !files.open_for_append("report.txt", true, &handle, &size, &failure)) {
      _exit(11);
    }
    if (!files.write_some(handle, text.data(), text.size(), &written, &failure) || written != 10) {
      _exit(12);
    }
    if (files.write_some(handle, text.data() + 10, 90, &written, &failure)) _exit(13);
    if (failure.reason != "File too large") _exit(14);
    files.end_append();
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  EXPECT_FALSE(WIFSIGNALED(status)) << "ended by " << strsignal(WTERMSIG(status));
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
      << "step " << WEXITSTATUS(status) << " went wrong";
  EXPECT_EQ(folder.read("report.txt"), std::string(10, 'x'));
}

}  // namespace
}  // namespace quorvane
