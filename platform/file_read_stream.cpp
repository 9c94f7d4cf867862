#include "platform/file_read_stream.h"

#include <streambuf>
#include <utility>

namespace quorvane {
namespace {

class ReadBuffer final : public std::streambuf {
 public:
  explicit ReadBuffer(std::unique_ptr<FileReader> file) : file_(std::move(file)) {}

  // The file's reader while nothing has been read from it.
  FileReader* unread() { return eback() == nullptr ? file_.get() : nullptr; }

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

  FileReader* unread() { return rdbuf() == &buffer_ ? buffer_.unread() : nullptr; }

 private:
  ReadBuffer buffer_;
};

class ReadBytes final : public FileBytes {
 public:
  explicit ReadBytes(std::string text) : text_(std::move(text)) { bytes_ = text_; }

 private:
  std::string text_;
};

}  // namespace

std::unique_ptr<std::istream> file_read_stream(std::unique_ptr<FileReader> file) {
  return std::make_unique<ReadStream>(std::move(file));
}

bool file_size_of(std::istream& stream, std::uint64_t* size) {
  auto* const file_stream = dynamic_cast<ReadStream*>(&stream);
  FileReader* const file = file_stream != nullptr ? file_stream->unread() : nullptr;
  return file != nullptr && file->size(size);
}

std::unique_ptr<FileBytes> bytes_of(std::istream& stream, std::size_t most, bool* too_large) {
  *too_large = false;
  auto* const file_stream = dynamic_cast<ReadStream*>(&stream);
  FileReader* const file = file_stream != nullptr ? file_stream->unread() : nullptr;
  std::uint64_t size = 0;
  if (file != nullptr && file->size(&size)) {
    if (size > most) {
      *too_large = true;
      return nullptr;
    }
    if (std::unique_ptr<FileBytes> mapped = file->map()) return mapped;
  }
  std::string text;
  std::streambuf& buffer = *stream.rdbuf();
  char chunk[1 << 16];
  for (std::streamsize got = 0; (got = buffer.sgetn(chunk, sizeof chunk)) > 0;) {
    if (text.size() + static_cast<std::size_t>(got) > most) {
      *too_large = true;
      return nullptr;
    }
    text.append(chunk, static_cast<std::size_t>(got));
  }
  return std::make_unique<ReadBytes>(std::move(text));
}

}  // namespace quorvane
