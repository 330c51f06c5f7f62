// The draw sequence of the generator.
#include "core/generator.h"

#include "core/message.h"
#include "core/time_key.h"

namespace valdrin {

uint32_t draw_random(RandomState& random) {
  random.s = random.s * 214013u + 2531011u;
  return (random.s >> 16) & 0x7FFFu;
}

int generate_events(uint32_t n, const CellTable& cells, RandomState& random, EventStore& store,
                    TimeState& time) {
  bool any_zip = false;
  for (const auto& entry : cells.words) any_zip = any_zip || first_zip(entry[0]) != 0;
  if (!any_zip) {
    // Without this check the placement loop below would never end.
    show_message("ERROR", "generate_events(): no cell has a zip area");
    return 0;
  }
  if (n > kGenerateCapacity) n = kGenerateCapacity;
  store.count = 0;
  while (store.count < n) {
    Event e;
    uint32_t col;
    uint32_t row;
    uint32_t word0;
    do {
      col = draw_random(random) % 84;
      row = draw_random(random) % 66;
      word0 = cells.words[row * kGridCols + col][0];
    } while (first_zip(word0) == 0);
    e.location = col | (row << 7) | (first_zip(word0) << 14) | (first_council(word0) << 24);

    const uint32_t shift = draw_random(random) % 4;
    uint32_t day = draw_random(random) % 31 + 1;
    const uint32_t month = draw_random(random) % 12 + 1;
    // The plain table, without the leap rule: no February 29 is generated.
    if (day >= kDaysPerMonth[month]) day = kDaysPerMonth[month];
    const uint32_t year = draw_random(random) % 32;
    e.key = pack_time_key(static_cast<uint8_t>(shift), static_cast<uint8_t>(day),
                          static_cast<uint8_t>(month), static_cast<uint8_t>(year));

    uint32_t r = draw_random(random);
    e.incident = static_cast<uint16_t>(r & ~3u);
    set_field(e, kDivision, ((r >> 2) & 63u) % 20);
    set_field(e, kSuccessful, ((r >> 8) & 7u) % 3);
    set_field(e, kInjury, ((r >> 11) & 15u) % 5);

    r = draw_random(random);
    e.officer = static_cast<uint16_t>(r);
    set_field(e, kNumo, (r & 15u) % 6);
    set_field(e, kOrace, ((r >> 4) & 15u) % 5);
    set_field(e, kOgender, ((r >> 8) & 7u) % 3);
    set_field(e, kResponse, ((r >> 11) & 15u) % 4);

    const uint32_t high = draw_random(random);
    const uint32_t low = draw_random(random);
    const uint32_t w = (high << 8) | low;  // the two overlap in bits 8-14
    e.suspect = w;
    set_field(e, kNums, (w & 15u) % 10);
    set_field(e, kSrace, ((w >> 4) & 15u) % 7);
    set_field(e, kSgender, ((w >> 8) & 15u) % 5);
    set_field(e, kSage, ((w >> 12) & 31u) % 9);
    set_field(e, kReason, ((w >> 17) & 15u) % 7);

    store.records[store.count++] = e;
  }
  sort_store(store);
  set_data_keys(store, time);
  return 1;
}

}  // namespace valdrin
