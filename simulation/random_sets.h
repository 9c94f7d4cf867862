#pragma once

#include <cstdint>
#include <vector>

namespace quorvane {

// A participant number in a set's ordering.
using Participant = std::uint16_t;

// The participant order that every set is shuffled from: 1 to N once, then never reset, so
// each set starts from the ordering the previous one left.
using ParticipantOrder = std::vector<Participant>;
ParticipantOrder make_participant_order(int participants);

// rand() modulo n.
int random_below(int n);

// Shuffles positions 1 to N - 1 in turn, each swapped with a position drawn from 15-bit pieces
// of rand(): one draw per position while N is at most 32,768.
void shuffle_wide(ParticipantOrder& order);

// Shuffles positions 1 to N - 1 in turn, each swapped with the position gen(p + 1) modulo p + 1.
void shuffle_with_generator(ParticipantOrder& order, int (*gen)(int));

// Draws the next set from the order: shuffle_wide, then shuffle_with_generator with random_below,
// 2(N - 1) calls of rand() in all.
void draw_next_set(ParticipantOrder& order);

}  // namespace quorvane
