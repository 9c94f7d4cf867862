#pragma once

#include <cstdint>
#include <vector>

namespace quorvane::bench {

// The floor under any run of N participants: seeds a RandomGenerator, then makes exactly the run's
// 2(N - 1) x 10,000 draws, each swapping two places of `order` (N entries), at a place found as
// the run finds it.
void draws_alone(std::uint32_t seed, std::vector<int>& order);

}  // namespace quorvane::bench
