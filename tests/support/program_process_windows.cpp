#include <stdexcept>
#include <string>

#include "platform/windows_api.h"
#include "platform/windows_text.h"
#include "tests/support/program_process.h"

namespace quorvane::testing {
namespace {

std::wstring wide(const std::string& text) {
  std::wstring result;
  FileFailure failure;
  if (!wide_name(text, &result, &failure)) throw std::runtime_error(failure.reason + ": " + text);
  return result;
}

// A handle the child inherits as one of its standard streams.
HANDLE inheritable(const std::string& path, bool for_writing) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  const HANDLE file =
      CreateFileW(wide(path).c_str(), for_writing ? GENERIC_WRITE : GENERIC_READ,
                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                  for_writing ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot open " + path);
  return file;
}

}  // namespace

// Starts the program; the limits and the pipe of the options are POSIX's and not made here.
void ProgramProcess::start(const std::string& executable, const std::string& folder,
                           const Options& options) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput =
      inheritable(options.input_file == nullptr ? in_path_ : options.input_file, false);
  startup.hStdOutput = inheritable(out_path_, true);
  startup.hStdError = inheritable(err_path_, true);
  // Started from this one thread, each child inherits only its own three files: those of the
  // runs started before are closed here by then.
  std::wstring command = L"\"" + wide(executable) + L"\"";
  for (const std::string& argument : options.arguments) command += L" \"" + wide(argument) + L"\"";
  PROCESS_INFORMATION started{};
  // Without a console of its own: a program alone in a console would wait for Enter at its end.
  const BOOL ok = CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, DETACHED_PROCESS,
                                 nullptr, wide(folder).c_str(), &startup, &started);
  CloseHandle(startup.hStdInput);
  CloseHandle(startup.hStdOutput);
  CloseHandle(startup.hStdError);
  if (ok == 0) throw std::runtime_error("cannot start " + executable);
  CloseHandle(started.hThread);
  process_ = started.hProcess;
  pid_ = static_cast<long>(started.dwProcessId);
}

bool ProgramProcess::has_ended() {
  if (!ended_) ended_ = WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
  return ended_;
}

void ProgramProcess::kill_now() { TerminateProcess(process_, 137); }

void ProgramProcess::wait_for_end(ProgramResult* result) {
  WaitForSingleObject(process_, INFINITE);
  ended_ = true;
  DWORD code = 0;
  if (GetExitCodeProcess(process_, &code) != 0) result->exit_status = static_cast<int>(code);
  CloseHandle(process_);
  process_ = nullptr;
}

}  // namespace quorvane::testing
