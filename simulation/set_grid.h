#pragma once

#include <cstdint>
#include <vector>

#include "simulation/set_label.h"

namespace quorvane {

inline constexpr int kGridRows = 100;
inline constexpr int kGridColumns = 100;
inline constexpr int kSetCount = kGridRows * kGridColumns;

// Sets are numbered 0 to 9,999 in grid order: row 1 column 1 to 100, then row 2, and so on.
inline SetLabel label_of(int set) { return {set / kGridColumns + 1, set % kGridColumns + 1}; }

// A participant number in a set's ordering, and a group's allMissed count: both at most 255.
using Participant = std::uint8_t;
using AllMissed = std::uint8_t;
inline constexpr int kMostParticipants = 255;
inline constexpr int kMostItems = 255;

// The 10,000 random sets of one run. A set is an ordering of all N participants; its groups are
// the consecutive runs of k slots, and a partial last group (N not a multiple of k) is left out.
// Beside each ordering the grid keeps every group's allMissed count, once it has been scored.
// Holds at most kMostParticipants participants, scored against at most kMostItems items.
class SetGrid {
 public:
  SetGrid(int participants, int group_size);

  int participants() const { return participants_; }
  int group_size() const { return group_size_; }
  // G: the full groups of every set.
  int full_groups() const { return full_groups_; }

  // The set's ordering: slots 0 to N - 1.
  Participant* order(int set) { return &order_[slot_index(set)]; }
  const Participant* order(int set) const { return &order_[slot_index(set)]; }
  // The k members of the set's group that starts at slot s (0, k, 2k, ...).
  const Participant* members(int set, int s) const { return order(set) + s; }

  // The allMissed counts of the set's G groups, in slot order.
  AllMissed* all_missed_of(int set) { return &all_missed_[group_index(set, 0)]; }
  const AllMissed* all_missed_of(int set) const { return &all_missed_[group_index(set, 0)]; }
  int all_missed(int set, int group) const { return all_missed_[group_index(set, group)]; }
  void set_all_missed(int set, int group, int count) {
    all_missed_[group_index(set, group)] = static_cast<AllMissed>(count);
  }

 private:
  std::size_t slot_index(int set) const {
    return static_cast<std::size_t>(set) * static_cast<std::size_t>(participants_);
  }
  std::size_t group_index(int set, int group) const {
    return static_cast<std::size_t>(set) * static_cast<std::size_t>(full_groups_) +
           static_cast<std::size_t>(group);
  }

  int participants_;
  int group_size_;
  int full_groups_;
  std::vector<Participant> order_;
  std::vector<AllMissed> all_missed_;
};

}  // namespace quorvane
