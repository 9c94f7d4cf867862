#include "reports/stored_zip.h"

#include <array>
#include <cstdint>

namespace quorvane {
namespace {

std::array<std::uint32_t, 256> crc_table() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1u) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

// Little-endian fields, as zip writes every number.
void put16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFFu));
  out.push_back(static_cast<char>((value >> 8) & 0xFFu));
}
void put32(std::string& out, std::uint32_t value) {
  put16(out, value & 0xFFFFu);
  put16(out, value >> 16);
}

constexpr std::uint32_t kVersion = 20;       // 2.0: stored entries and folders
constexpr std::uint32_t kUtf8Names = 0x800;  // general purpose flag 11: names are UTF-8
constexpr std::uint32_t kDosDate = (0u << 9) | (1u << 5) | 1u;  // 1980-01-01
constexpr std::uint32_t kDosTime = 0;

// The fields a local header and a central directory entry share, from "version needed" on.
void common_fields(std::string& out, const ZipEntry& entry, std::uint32_t crc) {
  put16(out, kVersion);
  put16(out, kUtf8Names);
  put16(out, 0);  // stored
  put16(out, kDosTime);
  put16(out, kDosDate);
  put32(out, crc);
  put32(out, static_cast<std::uint32_t>(entry.bytes.size()));  // compressed
  put32(out, static_cast<std::uint32_t>(entry.bytes.size()));  // uncompressed
  put16(out, static_cast<std::uint32_t>(entry.name.size()));
  put16(out, 0);  // no extra field
}

}  // namespace

unsigned long crc32_of(const std::string& bytes) {
  static const std::array<std::uint32_t, 256> table = crc_table();
  std::uint32_t c = 0xFFFFFFFFu;
  for (const char byte : bytes)
    c = table[(c ^ static_cast<unsigned char>(byte)) & 0xFFu] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::string stored_zip(const std::vector<ZipEntry>& entries) {
  std::string out;
  std::string directory;
  for (const ZipEntry& entry : entries) {
    const auto crc = static_cast<std::uint32_t>(crc32_of(entry.bytes));
    const auto offset = static_cast<std::uint32_t>(out.size());
    put32(out, 0x04034B50u);
    common_fields(out, entry, crc);
    out.append(entry.name).append(entry.bytes);

    put32(directory, 0x02014B50u);
    put16(directory, kVersion);  // made by: MS-DOS attributes, version 2.0
    common_fields(directory, entry, crc);
    put16(directory, 0);  // no comment
    put16(directory, 0);  // disk 0
    put16(directory, 0);  // internal attributes
    put32(directory, 0);  // external attributes
    put32(directory, offset);
    directory.append(entry.name);
  }
  const auto directory_offset = static_cast<std::uint32_t>(out.size());
  out.append(directory);
  put32(out, 0x06054B50u);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put16(out, static_cast<std::uint32_t>(entries.size()));
  put32(out, static_cast<std::uint32_t>(directory.size()));
  put32(out, directory_offset);
  put16(out, 0);  // no comment
  return out;
}

}  // namespace quorvane
