#pragma once

#include <string>
#include <vector>

namespace quorvane {

// A zip archive whose entries are stored as they are (method 0, no compression), as the formats
// built on zip (OOXML workbooks) accept: the same entries give the same bytes, since every entry
// carries the same fixed date (1980-01-01 00:00) and no other varying field.
struct ZipEntry {
  std::string name;  // the path inside the archive, with '/' between folders
  std::string bytes;
};

// The archive of the entries, in their order. Each entry and the whole archive must stay under
// 4 GiB (no Zip64), which an export of at most 10,000 sets and participants always does.
std::string stored_zip(const std::vector<ZipEntry>& entries);

// The CRC-32 of the bytes (ISO 3309, as zip and PNG use it).
unsigned long crc32_of(const std::string& bytes);

}  // namespace quorvane
