#include "simulation/set_distributions.h"

#include <algorithm>

namespace quorvane {
namespace {

// A value whose gap from the one before (less one) and count are both below 16 takes one byte,
// gap x 16 + count; any other takes a 0 byte, then the gap and the count in 7-bit pieces, lowest
// first, each piece but the last with the high bit set.
constexpr unsigned kSmall = 16;

void put_piecewise(std::vector<std::uint8_t>& out, unsigned number) {
  while (number >= 0x80u) {
    out.push_back(static_cast<std::uint8_t>(number | 0x80u));
    number >>= 7;
  }
  out.push_back(static_cast<std::uint8_t>(number));
}

unsigned get_piecewise(const std::uint8_t*& in) {
  unsigned number = 0;
  for (int shift = 0;; shift += 7) {
    const unsigned piece = *in++;
    number |= (piece & 0x7Fu) << shift;
    if (piece < 0x80u) return number;
  }
}

}  // namespace

DistributionCounter::DistributionCounter(int items)
    : items_(items), groups_by_missed_(static_cast<std::size_t>(items) + 1) {}

void DistributionCounter::count(const int* all_missed, int groups, SetDistribution& distribution) {
  distribution.clear();
  if (groups == 0) return;
  int fewest = all_missed[0];
  int most = all_missed[0];
  for (int group = 0; group < groups; ++group) {
    const int w = all_missed[group];
    groups_by_missed_[static_cast<std::size_t>(w)] += 1;
    fewest = std::min(fewest, w);
    most = std::max(most, w);
  }
  // NumCorrect ascending is allMissed descending.
  for (int w = most; w >= fewest; --w) {
    int& count = groups_by_missed_[static_cast<std::size_t>(w)];
    if (count == 0) continue;
    distribution.push_back({items_ - w, count});
    count = 0;
  }
}

SetDistributions::SetDistributions(std::size_t most_bytes) : most_bytes_(most_bytes) {
  // Room for all at once, so that growing never holds two copies; pages never written are not
  // taken from the system.
  bytes_.reserve(most_bytes_);
  starts_.push_back(0);
}

bool SetDistributions::keep(const SetDistribution& distribution) {
  if (full_) return false;
  packed_.clear();
  int previous = -1;
  for (const ValueCount& entry : distribution) {
    const auto gap = static_cast<unsigned>(entry.value - previous - 1);
    const auto count = static_cast<unsigned>(entry.count);
    previous = entry.value;
    if (gap < kSmall && count < kSmall) {
      packed_.push_back(static_cast<std::uint8_t>(gap * kSmall + count));
    } else {
      packed_.push_back(0);
      put_piecewise(packed_, gap);
      put_piecewise(packed_, count);
    }
  }
  if (bytes_.size() + packed_.size() > most_bytes_) {
    full_ = true;
    return false;
  }
  bytes_.insert(bytes_.end(), packed_.begin(), packed_.end());
  starts_.push_back(bytes_.size());
  return true;
}

void SetDistributions::get(int set, SetDistribution& distribution) const {
  distribution.clear();
  const std::uint8_t* in = bytes_.data() + starts_[static_cast<std::size_t>(set)];
  const std::uint8_t* const end = bytes_.data() + starts_[static_cast<std::size_t>(set) + 1];
  int previous = -1;
  while (in != end) {
    const unsigned byte = *in++;
    unsigned gap = byte / kSmall;
    unsigned count = byte % kSmall;
    if (byte == 0) {
      gap = get_piecewise(in);
      count = get_piecewise(in);
    }
    previous += static_cast<int>(gap) + 1;
    distribution.push_back({previous, static_cast<int>(count)});
  }
}

}  // namespace quorvane
