#pragma once

#include <cstdint>
#include <optional>

namespace quorvane {

// Readies the process for a run, before anything else: a console that goes away while the run
// computes or writes (its output piped into a program that has ended) must not end the run
// before its reports are written. Implemented beside the file system of each platform.
void prepare_process();

// The most memory the system lets this process have, in bytes (the limit of ulimit -v), or none
// where it sets none or does not say.
std::optional<std::uint64_t> memory_limit();

}  // namespace quorvane
