// Calendar steps at every level, including keys that are no valid date,
// and Date labels both ways.
#include "core/time_key.h"

#include <gtest/gtest.h>

#include <cstdio>
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
  // "+level shift/day/month/year-2000 to-key result"; '-' steps back. The
  // range wraps; no shift steps to the next Day; 256 is level 0 (low 8 bits);
  // the last ten start from keys that are no valid date.
  const char* cases[] = {
      "+0 3/31/12/31 1/1/1/0 0",   "-0 1/1/1/0 3/31/12/31 0",    "+0 2/5/6/10 3/5/6/10 1",
      "+0 3/5/6/10 1/6/6/10 1",    "+0 0/5/6/10 1/6/6/10 1",     "-0 1/5/6/10 3/4/6/10 1",
      "-0 0/5/6/10 3/4/6/10 1",    "+1 2/28/2/3 2/1/3/3 1",      "+1 2/28/2/4 2/29/2/4 1",
      "+1 3/31/12/10 3/1/1/11 1",  "-1 1/1/3/4 1/29/2/4 1",      "-1 1/1/3/5 1/28/2/5 1",
      "-1 0/1/1/5 0/31/12/4 1",    "+2 1/31/1/5 1/28/2/5 1",     "+2 1/31/1/4 1/29/2/4 1",
      "+2 2/15/12/5 2/15/1/6 1",   "-2 1/31/3/4 1/29/2/4 1",     "+3 1/29/2/4 1/28/2/5 1",
      "-3 1/29/2/4 1/28/2/3 1",    "+3 1/10/5/31 1/10/5/0 0",    "-3 1/10/5/0 1/10/5/31 0",
      "+4 1/10/5/10 1/10/5/10 0",  "-255 1/10/5/10 1/10/5/10 0", "+257 1/10/5/10 1/11/5/10 1",
      "+1 1/0/5/10 1/1/5/10 1",    "-1 1/0/5/10 1/30/4/10 1",    "+1 1/30/2/3 1/1/3/3 1",
      "-1 1/30/2/3 1/27/2/3 1",    "+2 1/9/0/10 1/9/1/10 1",     "-2 1/9/0/10 1/9/12/9 1",
      "+2 1/9/13/10 1/9/1/11 1",   "-2 1/31/15/10 1/31/12/10 1", "+1 1/31/14/10 1/1/1/11 1",
      "+3 1/31/13/10 1/31/13/11 1"};
  for (const char* c : cases) {
    char dir;
    unsigned level, from[4], to[4];
    int result;
    ASSERT_EQ(std::sscanf(c, "%c%u %u/%u/%u/%u %u/%u/%u/%u %d", &dir, &level, &from[0], &from[1],
                          &from[2], &from[3], &to[0], &to[1], &to[2], &to[3], &result),
              11);
    uint16_t k = key(from[0], from[1], from[2], 2000 + from[3]);
    EXPECT_EQ(dir == '+' ? step_time_forward(k, level) : step_time_back(k, level), result) << c;
    EXPECT_EQ(k, key(to[0], to[1], to[2], 2000 + to[3])) << c << ": " << label(k);
  }
  // Steps above the shift level keep the shift, whatever it is.
  for (unsigned level = 1; level <= 3; ++level)
    for (int shift = 0; shift < 4; ++shift) {
      uint16_t k = key(shift, 31, 12, 2015), back = k;
      step_time_forward(k, level);
      step_time_back(back, level);
      EXPECT_EQ(std::pair(unpack_time_key(k).shift, unpack_time_key(back).shift),
                std::pair(uint8_t(shift), uint8_t(shift)));
    }
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
  EXPECT_EQ(std::pair(parse_time_label("night,december,31,2031", k), k),
            std::pair(1, uint16_t(0xFE7F)));
  for (const char* bad : {"", "Day,January,1", "Day,January,1,2000,", "Noon,January,1,2000",
                          "Day,Jan,1,2000", "Day,January,32,2000", "Day,January,1,2032",
                          "Day,January,1,1999", "Day,January,-1,2000", "Day,January, 1,2000"})
    EXPECT_EQ(parse_time_label(bad, k), 0) << bad;
}

}  // namespace
}  // namespace valdrin
