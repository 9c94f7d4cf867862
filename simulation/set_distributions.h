#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// The sets' distributions in grid order, each the number of its groups scoring each NumCorrect,
// packed in about a byte per value scored, up to a number of bytes: once a set does not fit,
// neither it nor any later set is kept.
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

  explicit SetDistributions(int items, std::size_t most_bytes = kMostBytes);

  // Keeps the distribution of the next set, whose G groups' allMissed counts are all_missed[0]
  // to [G - 1], if it fits; returns whether it was kept.
  bool keep(const int* all_missed, int groups);
  // The sets kept, 0 to kept() - 1.
  int kept() const { return static_cast<int>(starts_.size()) - 1; }
  std::size_t bytes() const { return bytes_.size(); }
  // Writes a kept set's count of groups scoring v to counts[stride x v], for every v its groups
  // scored; leaves the other counts alone.
  void get(int set, unsigned* counts, std::size_t stride) const;

 private:
  int items_;
  std::size_t most_bytes_;
  bool full_ = false;
  std::vector<int> groups_by_missed_;  // the set being kept; 0 between sets
  std::vector<std::uint8_t> packed_;   // the set being kept
  std::vector<std::uint8_t> bytes_;
  std::vector<std::size_t> starts_;  // where each kept set starts in bytes_, and the end
};

}  // namespace quorvane
