// The synthetic data generator behind "Generate Data": events in cells that
// have a zip area, every other field drawn from one fixed pseudo-random
// sequence, so a fresh run with the same cell table always makes the same
// data set and each later run of the command continues the sequence.
#pragma once

#include <cstdint>

#include "core/cell_table.h"
#include "core/store.h"

namespace valdrin {

// The program holds one RandomState for its whole run; it starts at 1 and is
// never reseeded.
struct RandomState {
  uint32_t s = 1;
};

// s := s * 214013 + 2531011; yields (s >> 16) & 0x7FFF, 0 to 32767.
uint32_t draw_random(RandomState& random);

constexpr uint32_t kGenerateCount = 1200;  // what "Generate Data" asks for

// Fills the store with n events (at most the store's capacity), sorts it with
// equal keys in draw order and sets the data keys. Each event costs ten
// draws, plus two for every cell without a zip area that was drawn first.
// Return 1; 0 when no cell of the table has a zip area: then nothing is
// drawn, the store is unchanged and "generate_events(): no cell has a zip
// area" is shown.
int generate_events(uint32_t n, const CellTable& cells, RandomState& random, EventStore& store,
                    TimeState& time);

}  // namespace valdrin
