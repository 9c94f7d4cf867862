#pragma once

#include <vector>

namespace quorvane {

// The study's results: for every participant and item, counted from 1, the response read from
// the data file and whether the participant missed the item. Participant 0 is the null
// participant, who has no missed items.
class ResponseMatrix {
 public:
  ResponseMatrix(int participants, int items);

  int participants() const { return participants_; }
  int items() const { return items_; }

  // Records a response: exactly 0 is a miss, every other value counts as correct.
  void set_response(int participant, int item, int value);
  int response(int participant, int item) const { return responses_[index(participant, item)]; }
  int missed(int participant, int item) const { return missed_[index(participant, item)]; }

 private:
  std::size_t index(int participant, int item) const {
    return static_cast<std::size_t>(participant) * static_cast<std::size_t>(items_ + 1) +
           static_cast<std::size_t>(item);
  }

  int participants_;
  int items_;
  std::vector<int> responses_;
  std::vector<int> missed_;
};

}  // namespace quorvane
