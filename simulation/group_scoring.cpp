#include "simulation/group_scoring.h"

#include <cstddef>

#include "simulation/processor_features.h"

#if defined(__x86_64__) && !defined(_WIN32) && !defined(__EMSCRIPTEN__)
// Kernels for the vector units of x86-64 processors, compiled for them alone and chosen at run
// time. Not on Windows, where GCC cannot align the stack for 256-bit and wider values.
#define QUORVANE_VECTOR_KERNELS 1
#include <immintrin.h>
#else
#define QUORVANE_VECTOR_KERNELS 0
#endif
#if defined(__wasm_simd128__)
// WebAssembly's 128-bit vectors, in a module built with -msimd128 for engines that have them.
#define QUORVANE_WASM_SIMD_KERNEL 1
#include <wasm_simd128.h>
#else
#define QUORVANE_WASM_SIMD_KERNEL 0
#endif
#if defined(__x86_64__) || defined(__i386__)
#define QUORVANE_POPCOUNT_KERNEL 1
#else
// Elsewhere the compiler counts bits with the processor's instruction, if it has one, anyway.
#define QUORVANE_POPCOUNT_KERNEL 0
#endif

namespace quorvane {
namespace {

// What every kernel reads: the masks, mask_stride words per participant, and how many words
// hold items.
struct Masks {
  const std::uint64_t* words;
  std::size_t stride;
  int word_count;

  const std::uint64_t* of(Participant participant) const { return words + participant * stride; }
};

// The items every member of a group missed, when they fit in two words.
template <int kGroupSize>
[[gnu::always_inline]] inline int two_words(const Masks& masks, const Participant* members) {
  const std::uint64_t* first = masks.of(members[0]);
  std::uint64_t low = first[0];
  std::uint64_t high = first[1];
  for (int m = 1; m < kGroupSize; ++m) {
    low &= masks.of(members[m])[0];
    high &= masks.of(members[m])[1];
  }
  return __builtin_popcountll(low) + __builtin_popcountll(high);
}

// The same for masks of any number of words: groups of kGroupSize, or of group_size where
// kGroupSize is 0 (a size known when compiling lets the members' loop be unrolled).
template <int kGroupSize>
[[gnu::always_inline]] inline int any_words(const Masks& masks, const Participant* members,
                                            int group_size) {
  const int size = kGroupSize > 0 ? kGroupSize : group_size;
  int count = 0;
  for (int w = 0; w < masks.word_count; ++w) {
    std::uint64_t missed_by_all = masks.of(members[0])[w];
    for (int m = 1; m < size; ++m) missed_by_all &= masks.of(members[m])[w];
    count += __builtin_popcountll(missed_by_all);
  }
  return count;
}

template <int kGroupSize>
[[gnu::always_inline]] inline void score_two_words(const Masks& masks, int groups,
                                                   const Participant* members, int* out) {
  for (int group = 0; group < groups; ++group, members += kGroupSize) {
    out[group] = two_words<kGroupSize>(masks, members);
  }
}

template <int kGroupSize>
[[gnu::always_inline]] inline void score_any_words(const Masks& masks, int group_size, int groups,
                                                   const Participant* members, int* out) {
  for (int group = 0; group < groups; ++group, members += group_size) {
    out[group] = any_words<kGroupSize>(masks, members, group_size);
  }
}

#if QUORVANE_VECTOR_KERNELS
// 256 bits at a time: the members' words ANDed, their bits counted by nibbles from a table of 16
// and the bytes added up per 64-bit lane.
template <int kGroupSize>
[[gnu::target("avx2")]] void score_avx2(const Masks& masks, int groups, const Participant* members,
                                        int* out) {
  const __m256i nibble_bits = _mm256_setr_epi8(0, 1, 1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4, 0, 1,
                                               1, 2, 1, 2, 2, 3, 1, 2, 2, 3, 2, 3, 3, 4);
  const __m256i low_nibbles = _mm256_set1_epi8(0x0F);
  const int words = (masks.word_count + 3) / 4 * 4;
  for (int group = 0; group < groups; ++group, members += kGroupSize) {
    const std::uint64_t* member[std::size_t{kGroupSize}];
    for (int m = 0; m < kGroupSize; ++m) member[m] = masks.of(members[m]);
    __m256i total = _mm256_setzero_si256();
    for (int w = 0; w < words; w += 4) {
      __m256i missed_by_all = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(member[0] + w));
      for (int m = 1; m < kGroupSize; ++m) {
        missed_by_all = _mm256_and_si256(
            missed_by_all, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(member[m] + w)));
      }
      const __m256i low = _mm256_and_si256(missed_by_all, low_nibbles);
      const __m256i high = _mm256_and_si256(_mm256_srli_epi16(missed_by_all, 4), low_nibbles);
      const __m256i bytes = _mm256_add_epi8(_mm256_shuffle_epi8(nibble_bits, low),
                                            _mm256_shuffle_epi8(nibble_bits, high));
      total = _mm256_add_epi64(total, _mm256_sad_epu8(bytes, _mm256_setzero_si256()));
    }
    const __m128i halves =
        _mm_add_epi64(_mm256_castsi256_si128(total), _mm256_extracti128_si256(total, 1));
    out[group] = static_cast<int>(_mm_cvtsi128_si64(halves) + _mm_extract_epi64(halves, 1));
  }
}

// 512 bits at a time, counted by the processor per 64-bit lane.
template <int kGroupSize>
[[gnu::target("avx512f,avx512vpopcntdq")]] void score_avx512(const Masks& masks, int groups,
                                                             const Participant* members, int* out) {
  const int words = (masks.word_count + 7) / 8 * 8;
  for (int group = 0; group < groups; ++group, members += kGroupSize) {
    const std::uint64_t* member[std::size_t{kGroupSize}];
    for (int m = 0; m < kGroupSize; ++m) member[m] = masks.of(members[m]);
    __m512i total = _mm512_setzero_si512();
    for (int w = 0; w < words; w += 8) {
      __m512i missed_by_all = _mm512_loadu_si512(member[0] + w);
      for (int m = 1; m < kGroupSize; ++m) {
        missed_by_all = _mm512_and_si512(missed_by_all, _mm512_loadu_si512(member[m] + w));
      }
      total = _mm512_add_epi64(total, _mm512_popcnt_epi64(missed_by_all));
    }
    std::uint64_t lanes[8];
    _mm512_storeu_si512(lanes, total);
    std::uint64_t count = 0;
    for (const std::uint64_t lane : lanes) count += lane;
    out[group] = static_cast<int>(count);
  }
}
#endif

#if QUORVANE_WASM_SIMD_KERNEL
// 128 bits (two words) at a time: the bits every member missed in the words from w, counted per
// byte (0 to 8 each).
template <int kGroupSize>
[[gnu::always_inline]] inline v128_t piece_counts(const std::uint64_t* const* member, int w) {
  v128_t missed_by_all = wasm_v128_load(member[0] + w);
  for (int m = 1; m < kGroupSize; ++m) {
    missed_by_all = wasm_v128_and(missed_by_all, wasm_v128_load(member[m] + w));
  }
  return wasm_i8x16_popcnt(missed_by_all);
}

// The eight words from w, four pieces, counted per 16-bit lane (0 to 64 each).
template <int kGroupSize>
[[gnu::always_inline]] inline v128_t block_counts(const std::uint64_t* const* member, int w) {
  const v128_t bytes = wasm_i8x16_add(
      wasm_i8x16_add(piece_counts<kGroupSize>(member, w), piece_counts<kGroupSize>(member, w + 2)),
      wasm_i8x16_add(piece_counts<kGroupSize>(member, w + 4),
                     piece_counts<kGroupSize>(member, w + 6)));
  return wasm_u16x8_extadd_pairwise_u8x16(bytes);
}

[[gnu::always_inline]] inline int sum_of_lanes(v128_t counts) {
  const v128_t quarters = wasm_u32x4_extadd_pairwise_u16x8(counts);
  return static_cast<int>(
      wasm_u32x4_extract_lane(quarters, 0) + wasm_u32x4_extract_lane(quarters, 1) +
      wasm_u32x4_extract_lane(quarters, 2) + wasm_u32x4_extract_lane(quarters, 3));
}

// One group's count over the `words` words of its masks, a block at a time.
template <int kGroupSize>
[[gnu::always_inline]] inline int group_count(const std::uint64_t* const* member, int words) {
  v128_t counts = block_counts<kGroupSize>(member, 0);
  for (int w = 8; w < words; w += 8) {
    counts = wasm_i16x8_add(counts, block_counts<kGroupSize>(member, w));
  }
  return sum_of_lanes(counts);
}

template <int kGroupSize>
[[gnu::always_inline]] inline void members_of(const Masks& masks, const Participant* members,
                                              const std::uint64_t** member) {
  for (int m = 0; m < kGroupSize; ++m) member[m] = masks.of(members[m]);
}

// Masks of two words are one piece. Longer masks are read in blocks of eight words, which their
// stride (a multiple of 8, the words past the items zeros) holds whole, two groups at a time, so
// that the loads of one group overlap the counting of the other. A 16-bit lane adds up at most
// 64 per block, 1,280 for the 20 blocks of 10,000 items.
template <int kGroupSize>
void score_wasm_simd(const Masks& masks, int groups, const Participant* members, int* out) {
  const std::uint64_t* first[std::size_t{kGroupSize}];
  const std::uint64_t* second[std::size_t{kGroupSize}];
  if (masks.stride == 2) {
    for (int group = 0; group < groups; ++group, members += kGroupSize) {
      members_of<kGroupSize>(masks, members, first);
      out[group] =
          sum_of_lanes(wasm_u16x8_extadd_pairwise_u8x16(piece_counts<kGroupSize>(first, 0)));
    }
    return;
  }
  const int words = (masks.word_count + 7) / 8 * 8;
  int group = 0;
  for (; group + 1 < groups; group += 2, members += 2 * kGroupSize) {
    members_of<kGroupSize>(masks, members, first);
    members_of<kGroupSize>(masks, members + kGroupSize, second);
    v128_t first_counts = block_counts<kGroupSize>(first, 0);
    v128_t second_counts = block_counts<kGroupSize>(second, 0);
    for (int w = 8; w < words; w += 8) {
      first_counts = wasm_i16x8_add(first_counts, block_counts<kGroupSize>(first, w));
      second_counts = wasm_i16x8_add(second_counts, block_counts<kGroupSize>(second, w));
    }
    out[group] = sum_of_lanes(first_counts);
    out[group + 1] = sum_of_lanes(second_counts);
  }
  if (group < groups) {
    members_of<kGroupSize>(masks, members, first);
    out[group] = group_count<kGroupSize>(first, words);
  }
}
#endif

}  // namespace

// Each kernel for one group size, chosen once per scorer.
struct GroupScoring {
  static Masks masks_of(const GroupScorer& scorer) {
    return {scorer.masks_, static_cast<std::size_t>(scorer.mask_stride_), scorer.mask_words_};
  }

  // Word by word: the portable kernel, and compiled again for processors that count a word's
  // bits with one instruction (popcnt), which the portable one may not assume.
  template <int kGroupSize>
  [[gnu::always_inline]] static void by_words(const GroupScorer& scorer, const Participant* order,
                                              int* out) {
    if (kGroupSize > 0 && scorer.mask_stride_ == 2) {
      score_two_words<kGroupSize == 0 ? 2 : kGroupSize>(masks_of(scorer), scorer.full_groups_,
                                                        order, out);
    } else {
      score_any_words<kGroupSize>(masks_of(scorer), scorer.group_size_, scorer.full_groups_, order,
                                  out);
    }
  }
  template <int kGroupSize>
  static void portable(const GroupScorer& scorer, const Participant* order, int* out) {
    by_words<kGroupSize>(scorer, order, out);
  }
#if QUORVANE_POPCOUNT_KERNEL
  template <int kGroupSize>
  [[gnu::target("popcnt")]] static void popcount(const GroupScorer& scorer,
                                                 const Participant* order, int* out) {
    by_words<kGroupSize>(scorer, order, out);
  }
#endif
#if QUORVANE_VECTOR_KERNELS
  template <int kGroupSize>
  static void avx2(const GroupScorer& scorer, const Participant* order, int* out) {
    score_avx2<kGroupSize>(masks_of(scorer), scorer.full_groups_, order, out);
  }
  template <int kGroupSize>
  static void avx512(const GroupScorer& scorer, const Participant* order, int* out) {
    score_avx512<kGroupSize>(masks_of(scorer), scorer.full_groups_, order, out);
  }
#endif
#if QUORVANE_WASM_SIMD_KERNEL
  template <int kGroupSize>
  static void wasm_simd(const GroupScorer& scorer, const Participant* order, int* out) {
    score_wasm_simd<kGroupSize>(masks_of(scorer), scorer.full_groups_, order, out);
  }
#endif

  // The kernel that scores in place of the one asked for: group sizes other than 2 to 4 are
  // scored word by word, and so are masks of two words (up to 128 items) but with WebAssembly's
  // vectors, which take them whole.
  static ScoringKernel used_for(ScoringKernel kernel, int group_size, int mask_stride) {
    const bool vector = kernel == ScoringKernel::kAvx2 || kernel == ScoringKernel::kAvx512;
    if (vector && (mask_stride == 2 || group_size < 2 || group_size > 4)) {
      return ScoringKernel::kPopcount;
    }
    if (kernel == ScoringKernel::kWasmSimd && (group_size < 2 || group_size > 4)) {
      return ScoringKernel::kPortable;
    }
    return kernel;
  }

  // kGroupSize 0 stands for any group size, word by word.
  template <int kGroupSize>
  static GroupScorer::Scoring pick(ScoringKernel kernel) {
#if QUORVANE_VECTOR_KERNELS || QUORVANE_WASM_SIMD_KERNEL
    // The vector kernels score groups of 2 to 4 alone (used_for); 2 only gives the other sizes'
    // instances, never called, a vector kernel to name.
    constexpr int kVectorGroupSize = kGroupSize == 0 ? 2 : kGroupSize;
#endif
    switch (kernel) {
#if QUORVANE_POPCOUNT_KERNEL
      case ScoringKernel::kPopcount:
        return &popcount<kGroupSize>;
#endif
#if QUORVANE_VECTOR_KERNELS
      case ScoringKernel::kAvx2:
        return &avx2<kVectorGroupSize>;
      case ScoringKernel::kAvx512:
        return &avx512<kVectorGroupSize>;
#endif
#if QUORVANE_WASM_SIMD_KERNEL
      case ScoringKernel::kWasmSimd:
        return &wasm_simd<kVectorGroupSize>;
#endif
      default:
        return &portable<kGroupSize>;
    }
  }
};

std::vector<ScoringKernel> available_scoring_kernels() {
  std::vector<ScoringKernel> kernels = {ScoringKernel::kPortable};
#if QUORVANE_POPCOUNT_KERNEL || QUORVANE_VECTOR_KERNELS
  const ProcessorFeatures& features = processor_features();
#endif
#if QUORVANE_POPCOUNT_KERNEL
  if (features.popcnt) kernels.push_back(ScoringKernel::kPopcount);
#endif
#if QUORVANE_VECTOR_KERNELS
  if (features.avx2) kernels.push_back(ScoringKernel::kAvx2);
  if (features.avx512_popcount) kernels.push_back(ScoringKernel::kAvx512);
#endif
#if QUORVANE_WASM_SIMD_KERNEL
  kernels.push_back(ScoringKernel::kWasmSimd);
#endif
  return kernels;
}

const char* name_of(ScoringKernel kernel) {
  switch (kernel) {
    case ScoringKernel::kPortable:
      return "portable";
    case ScoringKernel::kPopcount:
      return "popcount";
    case ScoringKernel::kAvx2:
      return "avx2";
    case ScoringKernel::kAvx512:
      return "avx512";
    case ScoringKernel::kWasmSimd:
      return "wasm-simd128";
  }
  return "?";
}

GroupScorer::GroupScorer(const ResponseMatrix& matrix, int group_size)
    : GroupScorer(matrix, group_size, available_scoring_kernels().back()) {}

GroupScorer::GroupScorer(const ResponseMatrix& matrix, int group_size, ScoringKernel kernel)
    : items_(matrix.items()),
      group_size_(group_size),
      full_groups_(matrix.participants() / group_size),
      mask_words_(matrix.mask_words()),
      mask_stride_(matrix.mask_stride()),
      masks_(matrix.missed_items(0)),
      kernel_(GroupScoring::used_for(kernel, group_size, matrix.mask_stride())) {
  switch (group_size) {
    case 2:
      score_ = GroupScoring::pick<2>(kernel_);
      return;
    case 3:
      score_ = GroupScoring::pick<3>(kernel_);
      return;
    case 4:
      score_ = GroupScoring::pick<4>(kernel_);
      return;
    default:
      score_ = GroupScoring::pick<0>(kernel_);
      return;
  }
}

}  // namespace quorvane
