// What starting a program for a test does on every system; the system calls are in
// program_process_posix.cpp and program_process_windows.cpp.
#include "tests/support/program_process.h"

#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

namespace quorvane::testing {
namespace {

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Console files live beside the run's folder, so that they are not among its files; the
// folder's name is unique, and the counter tells the runs in it apart.
std::string console_path(const std::string& folder, const char* what) {
  static std::atomic<int> counter{0};
  return folder + ".console-" + std::to_string(counter++) + "." + what;
}

// What the program wrote to a console file. Windows programs write their console streams in text
// mode, each line feed as CR LF; the tests compare the lines.
std::string console_text(const std::string& path) {
  std::string text = read_file(path);
#if defined(_WIN32)
  std::string lines;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) lines += text[i];
  }
  text = lines;
#endif
  return text;
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
  start(executable, folder, options);
}

ProgramProcess::~ProgramProcess() {
  if (!collected_) {
    if (!has_ended()) kill_now();
    ProgramResult ignored;
    wait_for_end(&ignored);
  }
  std::remove(out_path_.c_str());
  std::remove(err_path_.c_str());
  std::remove(in_path_.c_str());
}

std::string ProgramProcess::err_so_far() const { return console_text(err_path_); }

ProgramResult ProgramProcess::wait() {
  ProgramResult result;
  wait_for_end(&result);
  collected_ = true;
  result.out = console_text(out_path_);
  result.err = console_text(err_path_);
  return result;
}

bool ProgramProcess::ends_within(std::chrono::milliseconds time) {
  const auto give_up = std::chrono::steady_clock::now() + time;
  while (!has_ended()) {
    if (std::chrono::steady_clock::now() > give_up) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

ProgramResult run_in(const std::string& executable, const std::string& folder,
                     const std::string& input, ProgramProcess::Options options) {
  ProgramProcess process(executable, folder, input, options);
  return process.wait();
}

}  // namespace quorvane::testing
