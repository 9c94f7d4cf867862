#include "simulation/processor_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>

#include <cstdint>
#endif

namespace quorvane {
namespace {

#if defined(__x86_64__) || defined(__i386__)
// The registers whose state the system saves and restores (XCR0).
std::uint64_t saved_registers() {
  std::uint32_t low;
  std::uint32_t high;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return low | std::uint64_t{high} << 32;
}

// Three leaves of cpuid, rather than the compiler's __builtin_cpu_supports, whose library reads
// a dozen when the program starts: under a hypervisor each cpuid is a trip out of the machine
// (about 10 microseconds where the programs were timed).
ProcessorFeatures read_features() {
  ProcessorFeatures features;
  // An int in some compilers' cpuid.h, unsigned in others.
  const auto highest = static_cast<unsigned>(__get_cpuid_max(0, nullptr));
  if (highest < 1) return features;
  unsigned eax = 0;
  unsigned ebx = 0;
  unsigned ecx = 0;
  unsigned edx = 0;
  __cpuid(1, eax, ebx, ecx, edx);
  features.popcnt = (ecx & bit_POPCNT) != 0;
  // The vector registers are usable once the system saves them: SSE and AVX state, and for
  // AVX-512 the mask registers and the upper halves and upper sixteen of the 512-bit ones.
  if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0 || highest < 7) return features;
  constexpr std::uint64_t kAvxState = 0x6;
  constexpr std::uint64_t kAvx512State = 0xE6;
  const std::uint64_t saved = saved_registers();
  if ((saved & kAvxState) != kAvxState) return features;
  __cpuid_count(7, 0, eax, ebx, ecx, edx);
  features.avx2 = (ebx & bit_AVX2) != 0;
  features.avx512_popcount = (saved & kAvx512State) == kAvx512State && (ebx & bit_AVX512F) != 0 &&
                             (ecx & bit_AVX512VPOPCNTDQ) != 0;
  return features;
}
#else
ProcessorFeatures read_features() { return {}; }
#endif

}  // namespace

const ProcessorFeatures& processor_features() {
  static const ProcessorFeatures features = read_features();
  return features;
}

}  // namespace quorvane
