#include "simulation/response_matrix.h"

namespace quorvane {

ResponseMatrix::ResponseMatrix(int participants, int items)
    : participants_(participants),
      items_(items),
      mask_words_(items > 0 ? (items + 63) / 64 : 1),
      mask_stride_(mask_words_ <= 2 ? 2 : (mask_words_ + 7) / 8 * 8),
      missed_bits_(static_cast<std::size_t>(participants + 1) *
                   static_cast<std::size_t>(mask_stride_)) {}

ResponseMatrix ResponseMatrix::without_participants(int items, int room) {
  ResponseMatrix matrix(0, items);
  matrix.missed_bits_.reserve((static_cast<std::size_t>(room) + 1) *
                              static_cast<std::size_t>(matrix.mask_stride_));
  return matrix;
}

void ResponseMatrix::add_participant() {
  ++participants_;
  missed_bits_.resize(static_cast<std::size_t>(participants_ + 1) *
                      static_cast<std::size_t>(mask_stride_));
}

}  // namespace quorvane
