// The worked example incident used across the tests: Day, January 1, 2000,
// column 10, row 20, zip 77002, district B, Central, ...
#pragma once

#include "core/event.h"
#include "core/time_key.h"

namespace valdrin::test {

inline Event example_event() {
  Event e;
  e.key = pack_time_key(1, 1, 1, 0);
  set_field(e, kCol, 10);
  set_field(e, kRow, 20);
  set_field(e, kZip, 3);
  set_field(e, kCouncil, 2);
  set_field(e, kDivision, 2);
  set_field(e, kSuccessful, 2);
  set_field(e, kInjury, 1);
  set_field(e, kNumo, 2);
  set_field(e, kOrace, 4);
  set_field(e, kOgender, 1);
  set_field(e, kResponse, 1);
  set_field(e, kNums, 1);
  set_field(e, kSrace, 2);
  set_field(e, kSgender, 1);
  set_field(e, kSage, 2);
  set_field(e, kReason, 1);
  return e;
}

// An event at a key and cell with the given location codes, other fields 0.
inline Event event_at(uint16_t key, uint32_t row, uint32_t col, uint32_t zip = 0,
                      uint32_t council = 0) {
  Event e;
  e.key = key;
  set_field(e, kRow, row);
  set_field(e, kCol, col);
  set_field(e, kZip, zip);
  set_field(e, kCouncil, council);
  return e;
}

}  // namespace valdrin::test
