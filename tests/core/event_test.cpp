// The record's byte layout and field isolation.
#include "core/event.h"

#include <gtest/gtest.h>

#include <cstring>

#include "tests/core/example_event.h"
#include "tests/core/test_files.h"

namespace valdrin {
namespace {

TEST(EventRecord, ExampleEncodesByteForByte) {
  uint8_t bytes[kEventBytes];
  encode_event(test::example_event(), bytes);
  const auto expected = test::hex_bytes("85 00 00 00 0A CA 00 02 08 0A 42 09 21 21 02 00");
  ASSERT_EQ(expected.size(), kEventBytes);
  EXPECT_EQ(0, std::memcmp(bytes, expected.data(), kEventBytes));
}

TEST(EventRecord, DecodeKeepsEveryByteIncludingReserved) {
  uint8_t bytes[kEventBytes];
  for (size_t i = 0; i < kEventBytes; ++i) bytes[i] = static_cast<uint8_t>(0xF1 - 13 * i);
  uint8_t again[kEventBytes];
  encode_event(decode_event(bytes), again);
  EXPECT_EQ(0, std::memcmp(bytes, again, kEventBytes));
  EXPECT_EQ(decode_event(bytes).reserved, bytes[2] | (bytes[3] << 8));
}

// Writing the widest value into one field changes that field alone, and a
// value wider than the field is cut to its width.
TEST(EventRecord, EachFieldWritesOnlyItsOwnBits) {
  for (int f = 0; f < kFieldCount; ++f) {
    const FieldId field = static_cast<FieldId>(f);
    SCOPED_TRACE(kFields[f].name);
    Event e = test::example_event();
    const Event before = e;
    set_field(e, field, 0xFFFFFFFFu);
    EXPECT_EQ(get_field(e, field), (1u << kFields[f].width) - 1u);
    for (int g = 0; g < kFieldCount; ++g) {
      if (g == f) continue;
      EXPECT_EQ(get_field(e, static_cast<FieldId>(g)), get_field(before, static_cast<FieldId>(g)))
          << kFields[g].name;
    }
    EXPECT_EQ(e.reserved, before.reserved);
    set_field(e, field, get_field(before, field));
    EXPECT_EQ(0, std::memcmp(&e, &before, sizeof e));
  }
}

}  // namespace
}  // namespace valdrin
