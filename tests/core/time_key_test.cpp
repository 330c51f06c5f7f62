// Calendar steps, month lengths and Date labels.
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

struct StepCase {
  const char* name;
  bool forward;
  unsigned level;
  uint16_t from;
  uint16_t to;
  int result;
};

void PrintTo(const StepCase& c, std::ostream* os) { *os << c.name; }

class Steps : public ::testing::TestWithParam<StepCase> {};

TEST_P(Steps, LandOnTheExpectedKey) {
  const StepCase& c = GetParam();
  uint16_t k = c.from;
  const int result = c.forward ? step_time_forward(k, c.level) : step_time_back(k, c.level);
  EXPECT_EQ(label(k), label(c.to));
  EXPECT_EQ(k, c.to);
  EXPECT_EQ(result, c.result);
}

INSTANTIATE_TEST_SUITE_P(
    Calendar, Steps,
    ::testing::Values(
        StepCase{"shift_wraps_the_range_forward", true, 0, key(3, 31, 12, 2031), key(1, 1, 1, 2000),
                 0},
        StepCase{"shift_wraps_the_range_back", false, 0, key(1, 1, 1, 2000), key(3, 31, 12, 2031),
                 0},
        StepCase{"evening_to_night", true, 0, key(2, 5, 6, 2010), key(3, 5, 6, 2010), 1},
        StepCase{"night_to_next_day", true, 0, key(3, 5, 6, 2010), key(1, 6, 6, 2010), 1},
        StepCase{"no_shift_to_next_day", true, 0, key(0, 5, 6, 2010), key(1, 6, 6, 2010), 1},
        StepCase{"day_back_to_night_before", false, 0, key(1, 5, 6, 2010), key(3, 4, 6, 2010), 1},
        StepCase{"no_shift_back_to_night_before", false, 0, key(0, 5, 6, 2010), key(3, 4, 6, 2010),
                 1},
        StepCase{"feb_28_2003_to_mar_1", true, 1, key(2, 28, 2, 2003), key(2, 1, 3, 2003), 1},
        StepCase{"feb_28_2004_to_feb_29", true, 1, key(2, 28, 2, 2004), key(2, 29, 2, 2004), 1},
        StepCase{"dec_31_2010_to_jan_1", true, 1, key(3, 31, 12, 2010), key(3, 1, 1, 2011), 1},
        StepCase{"mar_1_2004_back_to_feb_29", false, 1, key(1, 1, 3, 2004), key(1, 29, 2, 2004), 1},
        StepCase{"mar_1_2005_back_to_feb_28", false, 1, key(1, 1, 3, 2005), key(1, 28, 2, 2005), 1},
        StepCase{"jan_1_2005_back_to_dec_31", false, 1, key(0, 1, 1, 2005), key(0, 31, 12, 2004),
                 1},
        StepCase{"jan_31_2005_month_to_feb_28", true, 2, key(1, 31, 1, 2005), key(1, 28, 2, 2005),
                 1},
        StepCase{"jan_31_2004_month_to_feb_29", true, 2, key(1, 31, 1, 2004), key(1, 29, 2, 2004),
                 1},
        StepCase{"dec_15_2005_month_to_jan_15", true, 2, key(2, 15, 12, 2005), key(2, 15, 1, 2006),
                 1},
        StepCase{"mar_31_month_back_to_feb_29", false, 2, key(1, 31, 3, 2004), key(1, 29, 2, 2004),
                 1},
        StepCase{"feb_29_year_to_feb_28", true, 3, key(1, 29, 2, 2004), key(1, 28, 2, 2005), 1},
        StepCase{"feb_29_year_back_to_feb_28", false, 3, key(1, 29, 2, 2004), key(1, 28, 2, 2003),
                 1},
        StepCase{"year_wraps_forward", true, 3, key(1, 10, 5, 2031), key(1, 10, 5, 2000), 0},
        StepCase{"year_wraps_back", false, 3, key(1, 10, 5, 2000), key(1, 10, 5, 2031), 0},
        StepCase{"level_4_changes_nothing", true, 4, key(1, 10, 5, 2010), key(1, 10, 5, 2010), 0},
        StepCase{"level_255_changes_nothing", false, 255, key(1, 10, 5, 2010), key(1, 10, 5, 2010),
                 0},
        StepCase{"only_low_8_bits_of_level", true, 0x101, key(1, 10, 5, 2010), key(1, 11, 5, 2010),
                 1},
        // Keys that are no valid date.
        StepCase{"day_0_forward_is_the_1st", true, 1, key(1, 0, 5, 2010), key(1, 1, 5, 2010), 1},
        StepCase{"day_0_back_is_end_of_last_month", false, 1, key(1, 0, 5, 2010),
                 key(1, 30, 4, 2010), 1},
        StepCase{"feb_30_forward_is_mar_1", true, 1, key(1, 30, 2, 2003), key(1, 1, 3, 2003), 1},
        StepCase{"feb_30_back_is_feb_27", false, 1, key(1, 30, 2, 2003), key(1, 27, 2, 2003), 1},
        StepCase{"month_0_forward_is_january", true, 2, key(1, 9, 0, 2010), key(1, 9, 1, 2010), 1},
        StepCase{"month_0_back_is_december_before", false, 2, key(1, 9, 0, 2010),
                 key(1, 9, 12, 2009), 1},
        StepCase{"month_13_forward_is_next_january", true, 2, key(1, 9, 13, 2010),
                 key(1, 9, 1, 2011), 1},
        StepCase{"month_15_back_is_december", false, 2, key(1, 31, 15, 2010), key(1, 31, 12, 2010),
                 1},
        StepCase{"month_14_day_31_forward_day", true, 1, key(1, 31, 14, 2010), key(1, 1, 1, 2011),
                 1},
        StepCase{"month_13_keeps_day_on_year_step", true, 3, key(1, 31, 13, 2010),
                 key(1, 31, 13, 2011), 1}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::string(info.param.name); });

TEST(Calendar, StepsBelowShiftNeverChangeTheShift) {
  for (unsigned level = 1; level <= 3; ++level) {
    for (int shift = 0; shift < 4; ++shift) {
      uint16_t k = key(shift, 31, 12, 2015);
      step_time_forward(k, level);
      EXPECT_EQ(unpack_time_key(k).shift, shift);
      step_time_back(k, level);
      EXPECT_EQ(unpack_time_key(k).shift, shift);
    }
  }
}

// Walking every shift of the whole range forward visits valid dates only, in
// rising key order, and comes back to the start; back mirrors it.
TEST(Calendar, ShiftWalkCoversTheRangeInOrder) {
  uint16_t k = kFirstValidKey;
  int steps = 0;
  int wraps = 0;
  for (;;) {
    const uint16_t before = k;
    const int ok = step_time_forward(k, kStepShift);
    ++steps;
    if (!ok) {
      ++wraps;
      break;
    }
    ASSERT_GT(k, before);
    const TimeFields t = unpack_time_key(k);
    ASSERT_GE(t.day, 1);
    ASSERT_LE(t.day, month_length(t.month, t.year));
    uint16_t back = k;
    step_time_back(back, kStepShift);
    ASSERT_EQ(back, before);
  }
  EXPECT_EQ(k, kFirstValidKey);
  EXPECT_EQ(wraps, 1);
  // 32 years, 8 of them leap years, three shifts a day.
  EXPECT_EQ(steps, (32 * 365 + 8) * 3);
}

TEST(Calendar, MonthLength) {
  EXPECT_EQ(month_length(2, 0), 29);  // 2000
  EXPECT_EQ(month_length(2, 1), 28);
  EXPECT_EQ(month_length(2, 4), 29);
  EXPECT_EQ(month_length(4, 4), 30);
  EXPECT_EQ(month_length(12, 31), 31);
  EXPECT_EQ(month_length(0, 0), 0);
  EXPECT_EQ(month_length(13, 0), 0);
  EXPECT_EQ(month_length(15, 0), 0);
}

TEST(Calendar, PackAndUnpackMaskEachValue) {
  EXPECT_EQ(pack_time_key(1, 1, 1, 0), 0x0085);
  EXPECT_EQ(pack_time_key(3, 31, 12, 31), 0xFE7F);
  EXPECT_EQ(pack_time_key(7, 63, 31, 63), 0xFFFF);
  const TimeFields t = unpack_time_key(0xFE7F);
  EXPECT_EQ(t.shift, 3);
  EXPECT_EQ(t.day, 31);
  EXPECT_EQ(t.month, 12);
  EXPECT_EQ(t.year, 31);
}

TEST(DateLabel, FormatsTheFourFields) {
  EXPECT_EQ(label(0x0085), "Day,January,1,2000");
  EXPECT_EQ(label(0xFE7F), "Night,December,31,2031");
  EXPECT_EQ(label(0), "-NA-,,0,2000");
  EXPECT_EQ(label(key(2, 30, 9, 2031)), "Evening,September,30,2031");
  EXPECT_EQ(label(key(2, 30, 9, 2031)).size(), 25u);
  EXPECT_EQ(label(key(1, 5, 14, 2003)), "Day,,5,2003");
}

TEST(DateLabel, ParsesWhatItFormats) {
  for (uint32_t k = 0; k <= 0xFFFF; k += 7) {
    uint16_t parsed = 0;
    const std::string text = label(static_cast<uint16_t>(k));
    const TimeFields t = unpack_time_key(static_cast<uint16_t>(k));
    if (t.month > 12) continue;  // months 13-15 print as no month at all
    ASSERT_EQ(parse_time_label(text, parsed), 1) << text;
    ASSERT_EQ(parsed, k) << text;
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
