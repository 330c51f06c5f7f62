// The record's byte layout and field isolation.
#include "core/event.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/core/example_event.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

// The example encodes byte for byte; any 16 bytes, reserved ones included,
// survive a decode and encode.
TEST(EventRecord, EncodesTheExampleAndKeepsEveryByte) {
  uint8_t bytes[kEventBytes], again[kEventBytes];
  encode_event(test::example_event(), bytes);
  EXPECT_EQ(std::vector<uint8_t>(bytes, bytes + kEventBytes),
            test::hex_bytes("85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00"));
  for (size_t i = 0; i < kEventBytes; ++i) bytes[i] = static_cast<uint8_t>(0xF1 - 13 * i);
  encode_event(decode_event(bytes), again);
  EXPECT_EQ(0, std::memcmp(bytes, again, kEventBytes));
  EXPECT_EQ(decode_event(bytes).reserved, bytes[2] | (bytes[3] << 8));
}

// Writing the widest value into one field changes that field alone, and a
// value wider than the field is cut to its width.
TEST(EventRecord, EachFieldWritesOnlyItsOwnBits) {
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldId field = static_cast<FieldId>(f);
    const Event before = test::example_event();
    Event e = before;
    set_field(e, field, 0xFFFFFFFFu);
    EXPECT_EQ(get_field(e, field), (1u << kFields[f].width) - 1u) << kFields[f].name;
    for (int g = 0; g < kFieldCount; ++g)
      EXPECT_TRUE(g == f || get_field(e, FieldId(g)) == get_field(before, FieldId(g)))
          << kFields[f].name << " changed " << kFields[g].name;
    set_field(e, field, get_field(before, field));
    EXPECT_EQ(0, std::memcmp(&e, &before, sizeof e)) << kFields[f].name;
  }
}

}  // namespace
}  // namespace valdrin
