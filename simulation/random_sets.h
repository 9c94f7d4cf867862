#pragma once

#include <cstdint>
#include <vector>

#include "simulation/random_generator.h"

namespace quorvane {

// A participant number in a set's ordering.
using Participant = std::uint16_t;

// The participant order that every set is shuffled from: 1 to N once, then never reset, so
// each set starts from the ordering the previous one left.
using ParticipantOrder = std::vector<Participant>;
ParticipantOrder make_participant_order(int participants);

// The generator's next draw modulo n.
inline int random_below(RandomGenerator& generator, int n) { return generator.next() % n; }

// Shuffles positions 1 to N - 1 in turn, each swapped with a position drawn from 15-bit pieces
// of the generator's draws: one draw per position while N is at most 32,768.
void shuffle_wide(ParticipantOrder& order, RandomGenerator& generator);

// Shuffles positions 1 to N - 1 in turn, each swapped with the position
// random_below(generator, p + 1).
void shuffle_with_generator(ParticipantOrder& order, RandomGenerator& generator);

// Draws the next set from the order: shuffle_wide, then shuffle_with_generator, 2(N - 1) draws
// in all.
void draw_next_set(ParticipantOrder& order, RandomGenerator& generator);

}  // namespace quorvane
