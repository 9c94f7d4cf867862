#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>

#include "platform/console_window.h"
#include "platform/windows_api.h"
#include "platform/windows_text.h"

namespace quorvane {
namespace {

// Writes UTF-8 text to a console window in UTF-16, whatever the console's code page. A character
// cut by the end of the buffer waits there for its last bytes.
class ConsoleOutput : public std::streambuf {
 public:
  explicit ConsoleOutput(HANDLE console) : console_(console) { setp(buffer_, buffer_ + kSize); }

 protected:
  int_type overflow(int_type c) override {
    if (!write(false)) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return write(true) ? 0 : -1; }

 private:
  static constexpr int kSize = 4096;

  bool write(bool all) {
    const auto size = static_cast<std::size_t>(pptr() - pbase());
    std::size_t whole = size;
    for (std::size_t back = 1; !all && back <= 3 && back <= size; ++back) {
      const auto byte = static_cast<unsigned char>(pbase()[size - back]);
      if ((byte & 0xC0) == 0x80) continue;
      const std::size_t needs = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
      if (needs > back) whole = size - back;
      break;
    }
    bool written = true;
    if (whole > 0) {
      const int length =
          MultiByteToWideChar(CP_UTF8, 0, pbase(), static_cast<int>(whole), nullptr, 0);
      std::vector<wchar_t> wide(static_cast<std::size_t>(length > 0 ? length : 0));
      if (length > 0) {
        MultiByteToWideChar(CP_UTF8, 0, pbase(), static_cast<int>(whole), wide.data(), length);
      }
      for (std::size_t at = 0; at < wide.size();) {
        DWORD count = 0;
        if (WriteConsoleW(console_, wide.data() + at, static_cast<DWORD>(wide.size() - at), &count,
                          nullptr) == 0 ||
            count == 0) {
          written = false;
          break;
        }
        at += count;
      }
    }
    const std::size_t left = size - whole;
    std::memmove(buffer_, pbase() + whole, left);
    setp(buffer_, buffer_ + kSize);
    pbump(static_cast<int>(left));
    return written;
  }

  HANDLE console_;
  char buffer_[kSize];
};

// Reads what is typed in a console window as UTF-16 and gives it as UTF-8. Ctrl-Z at the start
// of a line ends the input, as it does for the C library's console input.
class ConsoleInput : public std::streambuf {
 public:
  explicit ConsoleInput(HANDLE console) : console_(console) {}

 protected:
  int_type underflow() override {
    while (!ended_) {
      wchar_t typed[512];
      DWORD count = 0;
      if (ReadConsoleW(console_, typed, 512, &count, nullptr) == 0 || count == 0) break;
      std::wstring text = pending_ + std::wstring(typed, count);
      pending_.clear();
      // A character beyond U+FFFF may come in two reads.
      if (text.back() >= 0xD800 && text.back() <= 0xDBFF) {
        pending_ = text.back();
        text.pop_back();
      }
      const std::size_t end_mark = text.find(L'\x1A');
      if (end_mark != std::wstring::npos) {
        text.resize(end_mark);
        ended_ = true;
      }
      bytes_ = utf8_of(text);
      if (!bytes_.empty()) {
        setg(&bytes_[0], &bytes_[0], &bytes_[0] + bytes_.size());
        return traits_type::to_int_type(bytes_[0]);
      }
    }
    return traits_type::eof();
  }

 private:
  HANDLE console_;
  std::wstring pending_;
  std::string bytes_;
  bool ended_ = false;
};

bool is_console(HANDLE handle) {
  DWORD mode = 0;
  return handle != INVALID_HANDLE_VALUE && handle != nullptr && GetConsoleMode(handle, &mode) != 0;
}

}  // namespace

SystemConsole system_console() {
  const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
  static ConsoleInput typed(input);
  static ConsoleOutput shown(output);
  static ConsoleOutput shown_errors(error);
  static std::istream in(is_console(input) ? &typed : std::cin.rdbuf());
  static std::ostream out(is_console(output) ? &shown : std::cout.rdbuf());
  static std::ostream err(is_console(error) ? &shown_errors : std::cerr.rdbuf());
  return {in, out, err, is_console(input) && is_console(output)};
}

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
