#include "platform/file_read_stream.h"

#include <streambuf>
#include <utility>

namespace quorvane {
namespace {

class ReadBuffer final : public std::streambuf {
 public:
  explicit ReadBuffer(std::unique_ptr<FileReader> file) : file_(std::move(file)) {}

 protected:
  int_type underflow() override {
    if (gptr() < egptr()) return traits_type::to_int_type(*gptr());
    const std::size_t count = file_->read_some(bytes_, sizeof bytes_);
    if (count == 0) return traits_type::eof();
    setg(bytes_, bytes_, bytes_ + count);
    return traits_type::to_int_type(*gptr());
  }

 private:
  std::unique_ptr<FileReader> file_;
  char bytes_[1 << 16];
};

class ReadStream final : public std::istream {
 public:
  explicit ReadStream(std::unique_ptr<FileReader> file)
      : std::istream(nullptr), buffer_(std::move(file)) {
    rdbuf(&buffer_);
  }

 private:
  ReadBuffer buffer_;
};

}  // namespace

std::unique_ptr<std::istream> file_read_stream(std::unique_ptr<FileReader> file) {
  return std::make_unique<ReadStream>(std::move(file));
}

}  // namespace quorvane
