#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvane {

// The sets' distributions in grid order, each the number of its groups scoring each NumCorrect,
// up to a number of bytes: once a set does not fit, neither it nor any later set is kept. Sets of
// few groups are kept as their groups' allMissed counts themselves, in a byte or two each, which
// is quickest; others are packed in about a byte per value scored. The bytes are kept in pieces
// that are never moved, so that growing never holds two copies.
class SetDistributions {
 public:
  static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
  // The 10,000 sets' groups' allMissed counts are kept as they are if they take at most this.
  static constexpr std::size_t kMostUnpacked = std::size_t{4} << 20;
  // Packed sets are kept in pieces of this many bytes, or of the largest set where that is more.
  static constexpr std::size_t kPieceBytes = std::size_t{1} << 20;

  // For sets of G groups scoring 0 to M.
  SetDistributions(int items, int groups, std::size_t most_bytes = kNoLimit,
                   std::size_t piece_bytes = kPieceBytes);

  // Keeps the distribution of the next set, whose G groups' allMissed counts are all_missed[0]
  // to [G - 1], if it fits; returns whether it was kept.
  bool keep(const int* all_missed);
  // The sets kept, 0 to kept() - 1.
  int kept() const { return unpacked() ? unpacked_kept_ : static_cast<int>(sets_.size()); }
  // The bytes the kept sets take, and the bytes taken from the system for them.
  std::size_t bytes() const { return bytes_; }
  std::size_t reserved_bytes() const;
  // The bytes taken from the system for `sets` sets of the mean size of those kept so far.
  std::size_t reserved_for(int sets) const;
  // Adds a kept set's count of groups scoring v to counts[stride x v], for every v its groups
  // scored; leaves the other counts alone.
  void add(int set, unsigned* counts, std::size_t stride) const;
  // Whether the sets are kept as their groups' allMissed counts.
  bool unpacked() const { return unpacked_width_ > 0; }

 private:
  struct Kept {
    const std::uint8_t* start;
    std::size_t size;
  };
  // Room for `size` more bytes at the end of the last piece, in a new piece if need be.
  std::uint8_t* room_for(std::size_t size);

  int items_;
  int groups_;
  std::size_t unpacked_width_;  // bytes per allMissed count when unpacked, else 0
  std::size_t most_bytes_;
  std::size_t piece_bytes_;
  bool full_ = false;
  std::size_t bytes_ = 0;
  std::vector<int> groups_by_missed_;  // the set being kept; 0 between sets
  std::vector<std::uint8_t> packed_;   // the set being kept
  // Unpacked sets, all of one size, one after another in a block taken at the first, whose pages
  // the system gives as they are first written.
  std::unique_ptr<std::uint8_t[]> unpacked_;
  int unpacked_kept_ = 0;
  // Packed sets.
  std::vector<std::vector<std::uint8_t>> pieces_;
  std::vector<Kept> sets_;
};

}  // namespace quorvane
