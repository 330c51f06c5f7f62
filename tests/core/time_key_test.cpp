// Calendar steps at every level, including keys that are no valid date,
// and Date labels both ways.
#include "core/time_key.h"

#include <gtest/gtest.h>

#include <string>

namespace valdrin {
namespace {

uint16_t key(int shift, int day, int month, int year) {
  return pack_time_key(static_cast<uint8_t>(shift), static_cast<uint8_t>(day),
                       static_cast<uint8_t>(month), static_cast<uint8_t>(year - 2000));
}

std::string label(uint16_t k) {
  char text[kDateLabelSize];
  format_time_key(k, text);
  return text;
}

TEST(Calendar, StepsLandOnTheExpectedKey) {
  struct Case {
    bool forward;
    unsigned level;
    uint16_t from, to;
    int result;
  };
  const Case cases[] = {
      {true, 0, key(3, 31, 12, 2031), key(1, 1, 1, 2000), 0},  // the range wraps
      {false, 0, key(1, 1, 1, 2000), key(3, 31, 12, 2031), 0},
      {true, 0, key(2, 5, 6, 2010), key(3, 5, 6, 2010), 1},
      {true, 0, key(3, 5, 6, 2010), key(1, 6, 6, 2010), 1},
      {true, 0, key(0, 5, 6, 2010), key(1, 6, 6, 2010), 1},  // no shift: next Day
      {false, 0, key(1, 5, 6, 2010), key(3, 4, 6, 2010), 1},
      {false, 0, key(0, 5, 6, 2010), key(3, 4, 6, 2010), 1},
      {true, 1, key(2, 28, 2, 2003), key(2, 1, 3, 2003), 1},
      {true, 1, key(2, 28, 2, 2004), key(2, 29, 2, 2004), 1},
      {true, 1, key(3, 31, 12, 2010), key(3, 1, 1, 2011), 1},
      {false, 1, key(1, 1, 3, 2004), key(1, 29, 2, 2004), 1},
      {false, 1, key(1, 1, 3, 2005), key(1, 28, 2, 2005), 1},
      {false, 1, key(0, 1, 1, 2005), key(0, 31, 12, 2004), 1},
      {true, 2, key(1, 31, 1, 2005), key(1, 28, 2, 2005), 1},
      {true, 2, key(1, 31, 1, 2004), key(1, 29, 2, 2004), 1},
      {true, 2, key(2, 15, 12, 2005), key(2, 15, 1, 2006), 1},
      {false, 2, key(1, 31, 3, 2004), key(1, 29, 2, 2004), 1},
      {true, 3, key(1, 29, 2, 2004), key(1, 28, 2, 2005), 1},
      {false, 3, key(1, 29, 2, 2004), key(1, 28, 2, 2003), 1},
      {true, 3, key(1, 10, 5, 2031), key(1, 10, 5, 2000), 0},
      {false, 3, key(1, 10, 5, 2000), key(1, 10, 5, 2031), 0},
      {true, 4, key(1, 10, 5, 2010), key(1, 10, 5, 2010), 0},  // no such level
      {false, 255, key(1, 10, 5, 2010), key(1, 10, 5, 2010), 0},
      {true, 0x101, key(1, 10, 5, 2010), key(1, 11, 5, 2010), 1},  // low 8 bits only
      // Keys that are no valid date.
      {true, 1, key(1, 0, 5, 2010), key(1, 1, 5, 2010), 1},
      {false, 1, key(1, 0, 5, 2010), key(1, 30, 4, 2010), 1},
      {true, 1, key(1, 30, 2, 2003), key(1, 1, 3, 2003), 1},
      {false, 1, key(1, 30, 2, 2003), key(1, 27, 2, 2003), 1},
      {true, 2, key(1, 9, 0, 2010), key(1, 9, 1, 2010), 1},
      {false, 2, key(1, 9, 0, 2010), key(1, 9, 12, 2009), 1},
      {true, 2, key(1, 9, 13, 2010), key(1, 9, 1, 2011), 1},
      {false, 2, key(1, 31, 15, 2010), key(1, 31, 12, 2010), 1},
      {true, 1, key(1, 31, 14, 2010), key(1, 1, 1, 2011), 1},
      {true, 3, key(1, 31, 13, 2010), key(1, 31, 13, 2011), 1},
  };
  for (const Case& c : cases) {
    uint16_t k = c.from;
    const int result = c.forward ? step_time_forward(k, c.level) : step_time_back(k, c.level);
    EXPECT_EQ(label(k), label(c.to)) << label(c.from) << " level " << c.level;
    EXPECT_EQ(k, c.to) << label(c.from);
    EXPECT_EQ(result, c.result) << label(c.from) << " level " << c.level;
  }
  // Steps above the shift level keep the shift, whatever it is.
  for (unsigned level = 1; level <= 3; ++level)
    for (int shift = 0; shift < 4; ++shift) {
      uint16_t k = key(shift, 31, 12, 2015);
      step_time_forward(k, level);
      EXPECT_EQ(unpack_time_key(k).shift, shift);
      step_time_back(k, level);
      EXPECT_EQ(unpack_time_key(k).shift, shift);
    }
}

// Walking every shift of the range forward visits valid dates only, in
// rising key order, and comes back to the start; back mirrors each step.
TEST(Calendar, ShiftWalkCoversTheRangeInOrder) {
  uint16_t k = kFirstValidKey;
  int steps = 1;
  for (uint16_t before = k; step_time_forward(k, kStepShift); before = k, ++steps) {
    ASSERT_GT(k, before);
    const TimeFields t = unpack_time_key(k);
    ASSERT_GE(t.day, 1);
    ASSERT_LE(t.day, month_length(t.month, t.year));
    uint16_t back = k;
    step_time_back(back, kStepShift);
    ASSERT_EQ(back, before);
  }
  EXPECT_EQ(k, kFirstValidKey);
  EXPECT_EQ(steps, (32 * 365 + 8) * 3);  // 8 leap years, three shifts a day
}

TEST(DateLabel, FormatsAndParsesBack) {
  EXPECT_EQ(label(pack_time_key(1, 1, 1, 0)), "Day,January,1,2000");
  EXPECT_EQ(label(pack_time_key(7, 63, 31, 63)), label(0xFFFF));  // each value masked
  EXPECT_EQ(label(0xFE7F), "Night,December,31,2031");
  EXPECT_EQ(label(0), "-NA-,,0,2000");
  EXPECT_EQ(label(key(2, 30, 9, 2031)), "Evening,September,30,2031");  // the longest: 25
  EXPECT_EQ(label(key(1, 5, 14, 2003)), "Day,,5,2003");
  for (uint32_t k = 0; k <= 0xFFFF; k += 7) {
    if (unpack_time_key(static_cast<uint16_t>(k)).month > 12) continue;  // print as no month
    uint16_t parsed = 0;
    ASSERT_EQ(parse_time_label(label(static_cast<uint16_t>(k)), parsed), 1) << k;
    ASSERT_EQ(parsed, k);
  }
  uint16_t k = 0;
  EXPECT_EQ(parse_time_label("night,december,31,2031", k), 1);
  EXPECT_EQ(k, 0xFE7F);
  for (const char* bad : {"", "Day,January,1", "Day,January,1,2000,", "Noon,January,1,2000",
                          "Day,Jan,1,2000", "Day,January,32,2000", "Day,January,1,2032",
                          "Day,January,1,1999", "Day,January,-1,2000", "Day,January, 1,2000"})
    EXPECT_EQ(parse_time_label(bad, k), 0) << bad;
}

}  // namespace
}  // namespace valdrin
