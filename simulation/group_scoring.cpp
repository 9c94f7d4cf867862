#include "simulation/group_scoring.h"

namespace quorvane {
namespace {

// x86's instruction for counting bits is chosen at run time, where the processor has it; other
// processors (WebAssembly included) count bits with their own instructions in every build.
#if defined(__x86_64__) || defined(__i386__)
#define QUORVANE_POPCNT_TARGET [[gnu::target("popcnt")]]
bool has_popcount_instruction() { return __builtin_cpu_supports("popcnt"); }
#else
#define QUORVANE_POPCNT_TARGET
bool has_popcount_instruction() { return false; }
#endif

// A participant's missed items when there are at most 128.
struct TwoWordMasks {
  const std::uint64_t* words;  // two per participant
};

// Masks of any number of words.
struct WideMasks {
  const std::uint64_t* words;
  int word_count;
};

// The items every member of a group of kGroupSize missed.
template <int kGroupSize>
[[gnu::always_inline]] inline int all_missed(TwoWordMasks masks, const Participant* members,
                                             int /*group_size*/) {
  std::uint64_t low = masks.words[2 * members[0]];
  std::uint64_t high = masks.words[2 * members[0] + 1];
  for (int m = 1; m < kGroupSize; ++m) {
    low &= masks.words[2 * members[m]];
    high &= masks.words[2 * members[m] + 1];
  }
  return __builtin_popcountll(low) + __builtin_popcountll(high);
}

template <int>
[[gnu::always_inline]] inline int all_missed(WideMasks masks, const Participant* members,
                                             int group_size) {
  int count = 0;
  for (int w = 0; w < masks.word_count; ++w) {
    std::uint64_t missed_by_all = masks.words[members[0] * masks.word_count + w];
    for (int m = 1; m < group_size; ++m) {
      missed_by_all &= masks.words[members[m] * masks.word_count + w];
    }
    count += __builtin_popcountll(missed_by_all);
  }
  return count;
}

template <int kGroupSize, typename Masks>
[[gnu::always_inline]] inline void score_groups(Masks masks, int group_size, int groups,
                                                const Participant* members, int* out) {
  for (int group = 0; group < groups; ++group, members += group_size) {
    out[group] = all_missed<kGroupSize>(masks, members, group_size);
  }
}

template <typename Masks>
Masks masks_of(const std::vector<std::uint64_t>& words, int word_count);
template <>
TwoWordMasks masks_of<TwoWordMasks>(const std::vector<std::uint64_t>& words, int /*word_count*/) {
  return {words.data()};
}
template <>
WideMasks masks_of<WideMasks>(const std::vector<std::uint64_t>& words, int word_count) {
  return {words.data(), word_count};
}

}  // namespace

// The scoring of one group size and mask width, with and without the processor's instruction for
// counting bits.
template <int kGroupSize, typename Masks>
struct GroupScoring {
  static void portable(const GroupScorer& scorer, const Participant* order, int* out) {
    score_groups<kGroupSize>(masks_of<Masks>(scorer.masks_, scorer.mask_words_), scorer.group_size_,
                             scorer.full_groups_, order, out);
  }
  QUORVANE_POPCNT_TARGET static void with_popcnt(const GroupScorer& scorer,
                                                 const Participant* order, int* out) {
    score_groups<kGroupSize>(masks_of<Masks>(scorer.masks_, scorer.mask_words_), scorer.group_size_,
                             scorer.full_groups_, order, out);
  }
  static GroupScorer::Scoring pick(bool popcount_instruction) {
    return popcount_instruction ? &with_popcnt : &portable;
  }
};

GroupScorer::GroupScorer(const ResponseMatrix& matrix, int group_size, bool popcount_instruction)
    : items_(matrix.items()),
      group_size_(group_size),
      full_groups_(matrix.participants() / group_size),
      mask_words_(matrix.mask_words() <= 2 ? 2 : matrix.mask_words()) {
  const int source_words = matrix.mask_words();
  masks_.resize(static_cast<std::size_t>(matrix.participants() + 1) *
                static_cast<std::size_t>(mask_words_));
  for (int participant = 0; participant <= matrix.participants(); ++participant) {
    const std::uint64_t* words = matrix.missed_items(participant);
    for (int w = 0; w < source_words; ++w) {
      masks_[static_cast<std::size_t>(participant * mask_words_ + w)] = words[w];
    }
  }
  popcount_instruction = popcount_instruction && has_popcount_instruction();
  if (mask_words_ == 2) {
    switch (group_size) {
      case 2:
        score_ = GroupScoring<2, TwoWordMasks>::pick(popcount_instruction);
        return;
      case 3:
        score_ = GroupScoring<3, TwoWordMasks>::pick(popcount_instruction);
        return;
      case 4:
        score_ = GroupScoring<4, TwoWordMasks>::pick(popcount_instruction);
        return;
      default:
        break;
    }
  }
  score_ = GroupScoring<0, WideMasks>::pick(popcount_instruction);
}

}  // namespace quorvane
