#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorvane {

// A NumCorrect v and how many of a set's groups scored it.
struct ValueCount {
  int value;
  int count;

  bool operator==(const ValueCount& other) const {
    return value == other.value && count == other.count;
  }
};

// A set's distribution: the values its groups scored, ascending, each with its count.
using SetDistribution = std::vector<ValueCount>;

// Turns a set's groups' allMissed counts into its distribution.
class DistributionCounter {
 public:
  explicit DistributionCounter(int items);

  // The distribution of the G groups whose allMissed counts are all_missed[0] to [G - 1].
  void count(const int* all_missed, int groups, SetDistribution& distribution);

 private:
  int items_;
  std::vector<int> groups_by_missed_;  // 0 between calls
};

// The distributions of the sets in grid order, packed in a byte or two per value, up to a
// number of bytes: once a set does not fit, neither it nor any later set is kept.
class SetDistributions {
 public:
  // About 900 bytes a set for 10,000 sets: every set of studies up to a few thousand
  // participants, or of 10,000 by up to 1,000 items.
  static constexpr std::size_t kMostBytes = std::size_t{9} << 20;

  explicit SetDistributions(std::size_t most_bytes = kMostBytes);

  // Keeps the next set's distribution if it fits; returns whether it was kept.
  bool keep(const SetDistribution& distribution);
  // The sets kept, 0 to kept() - 1.
  int kept() const { return static_cast<int>(starts_.size()) - 1; }
  std::size_t bytes() const { return bytes_.size(); }
  // A kept set's distribution, as given to keep().
  void get(int set, SetDistribution& distribution) const;

 private:
  std::size_t most_bytes_;
  bool full_ = false;
  std::vector<std::uint8_t> bytes_;
  std::vector<std::uint8_t> packed_;  // the set being kept
  std::vector<std::size_t> starts_;   // where each kept set starts in bytes_, and the end
};

}  // namespace quorvane
