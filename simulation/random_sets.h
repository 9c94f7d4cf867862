#pragma once

#include <vector>

#include "simulation/set_grid.h"

namespace quorvane {

// The participant order that every set is shuffled from: 1 to N once, then never reset, so
// each set starts from the ordering the previous one left.
using ParticipantOrder = std::vector<Participant>;
ParticipantOrder make_participant_order(int participants);

// next_draw() modulo n.
int random_below(int n);

// Shuffles positions 1 to N - 1 in turn, each swapped with a position drawn from 15-bit pieces
// of next_draw(): one draw per position for any order that fits in a set.
void shuffle_wide(ParticipantOrder& order);

// Shuffles positions 1 to N - 1 in turn, each swapped with the position gen(p + 1) modulo p + 1.
void shuffle_with_generator(ParticipantOrder& order, int (*gen)(int));

// Draws the 10,000 sets in grid order, each by shuffle_wide then shuffle_with_generator with
// random_below: 2(N - 1) draws per set. The caller seeds the draws (seed_draws).
void draw_sets(ParticipantOrder& order, SetGrid& grid);

}  // namespace quorvane
