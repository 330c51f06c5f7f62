// Time keys: the 16-bit packed shift/day/month/year value whose unsigned
// order is chronological, the month-length rule, the calendar steps that
// move the Window end, and the Date label ("Day,January,1,2000").
#pragma once

#include <cstdint>
#include <string_view>

namespace valdrin {

constexpr uint16_t kFirstValidKey = 0x0085;  // Day, January 1, 2000
constexpr uint16_t kLastValidKey = 0xFE7F;   // Night, December 31, 2031

// Step units, in the order of the Timeline Panel's list.
enum StepUnit : uint8_t { kStepShift = 0, kStepDay = 1, kStepMonth = 2, kStepYear = 3 };

struct TimeFields {
  uint8_t shift = 0;  // 0 none, 1 Day, 2 Evening, 3 Night
  uint8_t day = 0;
  uint8_t month = 0;
  uint8_t year = 0;  // year - 2000
};

extern const uint8_t kDaysPerMonth[13];

uint16_t pack_time_key(uint8_t shift, uint8_t day, uint8_t month, uint8_t year);
TimeFields unpack_time_key(uint16_t key);

// Days in month 1-12 of year field `year`; 0 for a month outside 1-12, which
// no valid date has.
uint8_t month_length(uint8_t month, uint8_t year);

// Whether `key` names a real day: key 0 and the like ("-NA-,,0,2000") and
// February 30 name none, and a window bounded by one would silently count
// nothing or everything.
bool names_a_day(uint16_t key);

// Step `key` by one unit of `level` (only its low 8 bits count), carrying
// into coarser units. Return 1, or 0 when the step wrapped past the end of
// 2031 (the key keeps its wrapped value) or the level was not 0-3.
//
// Keys that hold no valid date (day 0, a day past the month's end, month 0
// or 13-15; the CSV import can make them) step by this rule: a day past the
// month's end counts as its last day, day 0 counts as the day before the
// 1st, month 0 as the month before January and months 13-15 as months after
// December; a day is clamped only to the length of a real month.
int step_time_forward(uint16_t& key, unsigned level);
// The mirror of step_time_forward; 0 when it wrapped back past the start of
// 2000 or the level was not 0-3.
int step_time_back(uint16_t& key, unsigned level);

constexpr int kDateLabelSize = 26;  // longest label has 25 characters

// Writes the Date label of `key` into `out` (at least kDateLabelSize bytes).
void format_time_key(uint16_t key, char* out);

// Reads a Date label as format_time_key writes it ("-NA-,,0,2000" included)
// back into a key. Return 1 on success, 0 when the text is no such label or
// its day or year does not fit the key.
int parse_time_label(std::string_view text, uint16_t& key);

}  // namespace valdrin
