#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "simulation/response_matrix.h"

namespace quorvane {

// About how much memory a run of a study needs at its peak, in bytes: the program itself, the
// study's masks, and the larger of the computation's tables and the result with its reports.
// Of a study of this size before its responses are known, without the computation's tables; of a
// loaded study with them, as the check before the computation and every "not enough memory" line
// give it.
inline constexpr std::uint64_t kProgramBytes = std::uint64_t{3400} << 10;
std::uint64_t memory_needed(int participants, int items, int group_size);
std::uint64_t memory_needed(const ResponseMatrix& matrix, int group_size);

// About how much memory reading a data file of `file_bytes` bytes needs, in bytes: the program,
// the file's bytes (mapped or read, all of them addressed at once) and the study's masks, which
// take at most a sixteenth of them (a response is a character and a separator, and a bit).
std::uint64_t reading_memory_needed(std::uint64_t file_bytes);

// A number of bytes as messages give it, in megabytes rounded up ("14 MB"), and the limit on the
// program's memory where one is set (ulimit -v).
std::string megabytes(std::uint64_t bytes);
std::string limit_words(const std::optional<std::uint64_t>& memory_limit);

}  // namespace quorvane
