#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// The sets' distributions in grid order, each the number of its groups scoring each NumCorrect,
// up to a number of bytes: once a set does not fit, neither it nor any later set is kept. Sets of
// few groups are kept as their groups' allMissed counts themselves, in a byte or two each, which
// is quickest; others are packed in about a byte per value scored.
class SetDistributions {
 public:
  // About 900 bytes a set for 10,000 sets: every set of studies up to a few thousand
  // participants, or of 10,000 by up to 1,000 items.
  static constexpr std::size_t kMostBytes = std::size_t{9} << 20;
  // The distributions and the masks of the study together take at most this much, so that the
  // largest studies run in 24 MiB, keeping fewer sets; but at least kLeastBytes.
  static constexpr std::size_t kMostWithMasks = std::size_t{18} << 20;
  static constexpr std::size_t kLeastBytes = std::size_t{1} << 20;

  // The bytes to keep distributions in beside masks of mask_bytes.
  static std::size_t most_bytes_beside(std::size_t mask_bytes) {
    const std::size_t room = mask_bytes < kMostWithMasks ? kMostWithMasks - mask_bytes : 0;
    return room < kLeastBytes ? kLeastBytes : room > kMostBytes ? kMostBytes : room;
  }

  // The 10,000 sets' groups' allMissed counts are kept as they are if they take at most this.
  static constexpr std::size_t kMostUnpacked = std::size_t{4} << 20;

  // For sets of G groups scoring 0 to M.
  SetDistributions(int items, int groups, std::size_t most_bytes = kMostBytes);

  // Keeps the distribution of the next set, whose G groups' allMissed counts are all_missed[0]
  // to [G - 1], if it fits; returns whether it was kept.
  bool keep(const int* all_missed);
  // The sets kept, 0 to kept() - 1.
  int kept() const { return static_cast<int>(starts_.size()) - 1; }
  std::size_t bytes() const { return bytes_.size(); }
  // Adds a kept set's count of groups scoring v to counts[stride x v], for every v its groups
  // scored; leaves the other counts alone.
  void add(int set, unsigned* counts, std::size_t stride) const;
  // Whether the sets are kept as their groups' allMissed counts.
  bool unpacked() const { return unpacked_width_ > 0; }

 private:
  int items_;
  int groups_;
  std::size_t unpacked_width_;  // bytes per allMissed count when unpacked, else 0
  std::size_t most_bytes_;
  bool full_ = false;
  std::vector<int> groups_by_missed_;  // the set being kept; 0 between sets
  std::vector<std::uint8_t> packed_;   // the set being kept
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> starts_;  // where each kept set starts in bytes_, and the end
};

}  // namespace quorvane
