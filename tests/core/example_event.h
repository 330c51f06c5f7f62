// The worked example incident the tests share (Day, January 1, 2000, ...).
#pragma once

#include "core/event.h"
#include "core/time_key.h"
#include "tests/core/test_files.h"

namespace valdrin::test {

inline Event example_event() {
  Event e;
  e.key = pack_time_key(1, 1, 1, 0);
  const std::pair<FieldId, uint32_t> fields[] = {
      {kCol, 10},   {kRow, 20},    {kZip, 3},   {kCouncil, 2}, {kDivision, 2}, {kSuccessful, 2},
      {kInjury, 1}, {kNumo, 2},    {kOrace, 4}, {kOgender, 1}, {kResponse, 1}, {kNums, 1},
      {kSrace, 2},  {kSgender, 1}, {kSage, 2},  {kReason, 1}};
  for (const auto& [field, code] : fields) set_field(e, field, code);
  return e;
}

// An event at a key and cell with the given location codes, other fields 0.
inline Event event_at(uint16_t key, uint32_t row, uint32_t col, uint32_t zip = 0,
                      uint32_t council = 0) {
  Event e;
  e.key = key;
  for (const auto& [field, code] :
       {std::pair{kRow, row}, {kCol, col}, {kZip, zip}, {kCouncil, council}})
    set_field(e, field, code);
  return e;
}

// The record's 16 bytes as "85 00 0A ...", the way files hold them.
inline std::string record_hex(const Event& e) {
  uint8_t bytes[kEventBytes];
  char text[3 * kEventBytes + 1];
  encode_event(e, bytes);
  for (size_t i = 0; i < kEventBytes; ++i) std::snprintf(text + 3 * i, 4, "%02X ", bytes[i]);
  return std::string(text, 3 * kEventBytes - 1);
}

}  // namespace valdrin::test
