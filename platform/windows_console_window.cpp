#include "platform/console_window.h"
#include "platform/windows_api.h"

namespace quorvane {

void wait_before_console_closes(std::ostream& out) {
  // A console opened by the user holds its shell too; Explorer's double click makes a console
  // for the program alone, which closes with it.
  DWORD processes[2];
  if (GetConsoleProcessList(processes, 2) != 1) return;
  out << "\nPress Enter to close this window." << std::flush;
  const HANDLE input =
      CreateFileW(L"CONIN$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                  nullptr, OPEN_EXISTING, 0, nullptr);
  if (input == INVALID_HANDLE_VALUE) return;
  // Only a key pressed from now on: what was typed ahead of the last question is dropped.
  FlushConsoleInputBuffer(input);
  wchar_t typed = 0;
  DWORD count = 0;
  while (ReadConsoleW(input, &typed, 1, &count, nullptr) != 0 && count == 1 && typed != L'\r' &&
         typed != L'\n') {
  }
  CloseHandle(input);
}

}  // namespace quorvane
