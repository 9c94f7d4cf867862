#pragma once

#include <vector>

#include "simulation/random_generator.h"
#include "simulation/set_grid.h"

namespace quorvane {

// The participant order that every set is shuffled from: 1 to N once, then never reset, so
// each set starts from the ordering the previous one left.
using ParticipantOrder = std::vector<Participant>;
ParticipantOrder make_participant_order(int participants);

// The generator's next draw modulo n.
inline int random_below(RandomGenerator& generator, int n) { return generator.next() % n; }

// Shuffles positions 1 to N - 1 in turn, each swapped with a position drawn from 15-bit pieces
// of the generator's draws: one draw per position for any order that fits in a set.
void shuffle_wide(ParticipantOrder& order, RandomGenerator& generator);

// Shuffles positions 1 to N - 1 in turn, each swapped with the position
// random_below(generator, p + 1).
void shuffle_with_generator(ParticipantOrder& order, RandomGenerator& generator);

// Draws the 10,000 sets in grid order, each by shuffle_wide then shuffle_with_generator:
// 2(N - 1) draws per set, the generator left after the last.
void draw_sets(ParticipantOrder& order, SetGrid& grid, RandomGenerator& generator);

}  // namespace quorvane
