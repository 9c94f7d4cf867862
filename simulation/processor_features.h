#pragma once

namespace quorvane {

// What the processor offers the scoring kernels and the system lets them use, read once.
struct ProcessorFeatures {
  bool popcnt = false;
  bool avx2 = false;
  bool avx512_popcount = false;  // AVX-512 F and VPOPCNTDQ
};

const ProcessorFeatures& processor_features();

}  // namespace quorvane
