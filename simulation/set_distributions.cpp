#include "simulation/set_distributions.h"

#include <algorithm>

#include "simulation/set_label.h"

namespace quorvane {
namespace {

// Each value a set's groups scored, NumCorrect ascending: when its gap from the one before (less
// one) and its count are both below 16, one byte, gap x 16 + count; else a 0 byte, then the gap
// and the count in 7-bit pieces, lowest first, each piece but the last with the high bit set.
constexpr unsigned kSmall = 16;
// The most bytes a value takes: the 0 byte and two numbers below 2^21 in three pieces each.
constexpr std::size_t kMostBytesPerValue = 7;

std::uint8_t* put_piecewise(std::uint8_t* out, unsigned number) {
  while (number >= 0x80u) {
    *out++ = static_cast<std::uint8_t>(number | 0x80u);
    number >>= 7;
  }
  *out++ = static_cast<std::uint8_t>(number);
  return out;
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

SetDistributions::SetDistributions(int items, int groups, std::size_t most_bytes,
                                   std::size_t piece_bytes)
    : items_(items),
      groups_(groups),
      unpacked_width_(items < 256 ? 1 : 2),
      most_bytes_(most_bytes),
      groups_by_missed_(static_cast<std::size_t>(items) + 1),
      packed_(kMostBytesPerValue * (static_cast<std::size_t>(items) + 1)) {
  const std::size_t unpacked = unpacked_width_ * static_cast<std::size_t>(groups) * kSetCount;
  if (unpacked > kMostUnpacked || unpacked > most_bytes_) unpacked_width_ = 0;
  // Unpacked sets all have one size: one piece holds them all.
  piece_bytes_ = unpacked_width_ > 0 ? unpacked : std::max(piece_bytes, packed_.size());
  if (unpacked_width_ == 0) sets_.reserve(kSetCount);
}

std::size_t SetDistributions::reserved_bytes() const {
  std::size_t reserved = sets_.capacity() * sizeof(Kept) + (unpacked_ ? piece_bytes_ : 0);
  for (const std::vector<std::uint8_t>& piece : pieces_) reserved += piece.capacity();
  return reserved;
}

std::size_t SetDistributions::reserved_for(int sets) const {
  if (unpacked()) return piece_bytes_;
  const auto count = static_cast<std::size_t>(sets);
  const std::size_t each = kept() > 0 ? (bytes_ + sets_.size() - 1) / sets_.size() : 0;
  const std::size_t sets_per_piece =
      each > 0 ? std::max<std::size_t>(piece_bytes_ / each, 1) : count;
  const std::size_t pieces = sets_per_piece > 0 ? (count + sets_per_piece - 1) / sets_per_piece : 0;
  return pieces * piece_bytes_ + count * sizeof(Kept);
}

std::uint8_t* SetDistributions::room_for(std::size_t size) {
  if (pieces_.empty() || pieces_.back().capacity() - pieces_.back().size() < size) {
    // Pages of a piece never written are not taken from the system.
    pieces_.emplace_back().reserve(piece_bytes_);
  }
  std::vector<std::uint8_t>& piece = pieces_.back();
  const std::size_t start = piece.size();
  piece.resize(start + size);
  return piece.data() + start;
}

bool SetDistributions::keep(const int* all_missed) {
  if (full_) return false;
  const int groups = groups_;
  std::uint8_t* out = packed_.data();
  if (unpacked_width_ > 0) {
    const std::size_t size = unpacked_width_ * static_cast<std::size_t>(groups);
    if (!unpacked_) unpacked_.reset(new std::uint8_t[piece_bytes_]);
    out = unpacked_.get() + static_cast<std::size_t>(unpacked_kept_) * size;
    ++unpacked_kept_;
    bytes_ += size;
    // One loop per width, so that the one-byte loop is a plain narrowing copy.
    if (unpacked_width_ == 1) {
      for (int group = 0; group < groups; ++group) {
        out[group] = static_cast<std::uint8_t>(all_missed[group]);
      }
      return true;
    }
    for (int group = 0; group < groups; ++group, out += 2) {
      const auto w = static_cast<unsigned>(all_missed[group]);
      out[0] = static_cast<std::uint8_t>(w);
      out[1] = static_cast<std::uint8_t>(w >> 8);
    }
    return true;
  }
  int fewest = groups > 0 ? all_missed[0] : 0;
  int most = groups > 0 ? all_missed[0] : -1;
  for (int group = 0; group < groups; ++group) {
    const int w = all_missed[group];
    groups_by_missed_[static_cast<std::size_t>(w)] += 1;
    fewest = std::min(fewest, w);
    most = std::max(most, w);
  }
  // NumCorrect ascending is allMissed descending.
  int previous = -1;
  for (int w = most; w >= fewest; --w) {
    int& count = groups_by_missed_[static_cast<std::size_t>(w)];
    if (count == 0) continue;
    const int value = items_ - w;
    const auto gap = static_cast<unsigned>(value - previous - 1);
    const auto small_count = static_cast<unsigned>(count);
    previous = value;
    count = 0;
    if (gap < kSmall && small_count < kSmall) {
      *out++ = static_cast<std::uint8_t>(gap * kSmall + small_count);
    } else {
      *out++ = 0;
      out = put_piecewise(out, gap);
      out = put_piecewise(out, small_count);
    }
  }
  const auto size = static_cast<std::size_t>(out - packed_.data());
  if (size > most_bytes_ - bytes_) {
    full_ = true;
    return false;
  }
  std::uint8_t* const start = room_for(size);
  std::copy(packed_.data(), out, start);
  sets_.push_back({start, size});
  bytes_ += size;
  return true;
}

void SetDistributions::add(int set, unsigned* counts, std::size_t stride) const {
  const auto items = static_cast<std::size_t>(items_);
  if (unpacked()) {
    const std::size_t size = unpacked_width_ * static_cast<std::size_t>(groups_);
    const std::uint8_t* in = unpacked_.get() + static_cast<std::size_t>(set) * size;
    const std::uint8_t* const end = in + size;
    if (unpacked_width_ == 1) {
      for (; in != end; ++in) counts[stride * (items - *in)] += 1;
      return;
    }
    for (; in != end; in += 2) counts[stride * (items - (in[0] | std::size_t{in[1]} << 8))] += 1;
    return;
  }
  const Kept& kept = sets_[static_cast<std::size_t>(set)];
  const std::uint8_t* in = kept.start;
  const std::uint8_t* const end = kept.start + kept.size;
  std::size_t value = 0;  // one above the previous value
  while (in != end) {
    const unsigned byte = *in++;
    unsigned gap = byte / kSmall;
    unsigned count = byte % kSmall;
    if (byte == 0) {
      gap = get_piecewise(in);
      count = get_piecewise(in);
    }
    value += gap;
    counts[stride * value] += count;
    ++value;
  }
}

}  // namespace quorvane
