#pragma once

#include <cstring>
#include <string>
#include <string_view>

#include "reports/number_text.h"
#include "simulation/set_label.h"

namespace quorvane {

// A number that a report line writes as "%.4f".
struct FourDecimals {
  double value;
};

// One line of a report, put together piece by piece as the C library's "%s", "%d", "%.4f" and
// "%d-%d" (a set label) write them, and added to the end of the report's text when the line is
// destroyed.
class ReportLine {
 public:
  // The first character is set only so that compilers' flow analysis, which cannot follow size_,
  // does not take the buffer for unwritten.
  explicit ReportLine(std::string& report) : report_(report) { text_[0] = '\0'; }
  ReportLine(const ReportLine&) = delete;
  ReportLine& operator=(const ReportLine&) = delete;
  ~ReportLine() { flush(); }

  ReportLine& operator<<(std::string_view text) {
    if (text.size() > kRoom - size_) {
      flush();
      if (text.size() > kRoom) {
        report_.append(text);
        return *this;
      }
    }
    std::memcpy(text_ + size_, text.data(), text.size());
    size_ += text.size();
    return *this;
  }
  ReportLine& operator<<(int value) {
    make_room_for_number();
    size_ = static_cast<std::size_t>(write_whole_number(text_ + size_, value) - text_);
    return *this;
  }
  ReportLine& operator<<(FourDecimals number) {
    make_room_for_number();
    size_ = static_cast<std::size_t>(write_four_decimals(text_ + size_, number.value) - text_);
    return *this;
  }
  ReportLine& operator<<(SetLabel set) { return *this << set.row << "-" << set.column; }

 private:
  static constexpr std::size_t kRoom = 1024;

  void make_room_for_number() {
    if (kRoom - size_ < kNumberTextRoom) flush();
  }
  void flush() {
    if (size_ == 0) return;
    report_.append(text_, size_);
    size_ = 0;
  }

  std::string& report_;
  std::size_t size_ = 0;
  char text_[kRoom];
};

}  // namespace quorvane
