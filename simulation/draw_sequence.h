#pragma once

#include <cstdint>

namespace quorvane {

// The random draws of every run, the same on every system: the sequence that the GNU C library's
// rand() gives after srand(seed), whole numbers from 0 to 2^31 - 1. Other C libraries (Windows',
// macOS') have generators of their own, so the runs draw from this one instead of rand(). One
// sequence for the process, as rand()'s is; not for several threads at once.
void seed_draws(std::uint32_t seed);
int next_draw();

}  // namespace quorvane
