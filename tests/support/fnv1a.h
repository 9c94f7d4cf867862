#pragma once

#include <cstdint>
#include <string_view>

namespace quorvane::testing {

// The 64-bit FNV-1a digest of the bytes: a short, stable fingerprint of a whole report text.
inline std::uint64_t fnv1a_64(std::string_view bytes) {
  std::uint64_t digest = 14695981039346656037ull;
  for (const char byte : bytes) {
    digest ^= static_cast<unsigned char>(byte);
    digest *= 1099511628211ull;
  }
  return digest;
}

}  // namespace quorvane::testing
