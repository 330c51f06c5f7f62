// Time key packing, calendar steps and Date labels.
#include "core/time_key.h"

#include <cstdio>
#include <cstring>

#include "core/text.h"

namespace valdrin {

const uint8_t kDaysPerMonth[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

namespace {

constexpr const char* kShiftNames[4] = {"-NA-", "Day", "Evening", "Night"};
constexpr const char* kMonthNames[13] = {"",        "January",  "February", "March",  "April",
                                         "May",     "June",     "July",     "August", "September",
                                         "October", "November", "December"};

uint16_t pack(const TimeFields& t) { return pack_time_key(t.shift, t.day, t.month, t.year); }

// A day past the end of a real month is taken as its last day.
void clamp_day(TimeFields& t) {
  const uint8_t length = month_length(t.month, t.year);
  if (length != 0 && t.day > length) t.day = length;
}

}  // namespace

uint16_t pack_time_key(uint8_t shift, uint8_t day, uint8_t month, uint8_t year) {
  return static_cast<uint16_t>((shift & 3u) | ((day & 31u) << 2) | ((month & 15u) << 7) |
                               ((year & 31u) << 11));
}

TimeFields unpack_time_key(uint16_t key) {
  TimeFields t;
  t.shift = key & 3u;
  t.day = (key >> 2) & 31u;
  t.month = (key >> 7) & 15u;
  t.year = (key >> 11) & 31u;
  return t;
}

uint8_t month_length(uint8_t month, uint8_t year) {
  if (month < 1 || month > 12) return 0;
  if (month == 2 && (year & 3u) == 0) return 29;
  return kDaysPerMonth[month];
}

bool names_a_day(uint16_t key) {
  const TimeFields f = unpack_time_key(key);
  return f.day >= 1 && f.day <= month_length(f.month, f.year);
}

int step_time_forward(uint16_t& key, unsigned level) {
  level &= 0xFFu;
  if (level > kStepYear) return 0;
  TimeFields t = unpack_time_key(key);
  bool carry = true;
  if (level == kStepShift) {
    // From Night, and from "no shift", the next shift is Day of the next day.
    t.shift = t.shift == 3 ? 1 : static_cast<uint8_t>(t.shift + 1);
    carry = t.shift == 1;
  }
  if (carry && level <= kStepDay) {
    clamp_day(t);
    const uint8_t length = month_length(t.month, t.year);
    const uint8_t last = length != 0 ? length : 31;
    carry = t.day >= last;
    t.day = carry ? 1 : static_cast<uint8_t>(t.day + 1);
  }
  if (carry && level <= kStepMonth) {
    carry = t.month >= 12;
    t.month = carry ? 1 : static_cast<uint8_t>(t.month + 1);
    clamp_day(t);
  }
  int result = 1;
  if (carry) {
    t.year = t.year == 31 ? 0 : static_cast<uint8_t>(t.year + 1);
    clamp_day(t);
    result = t.year != 0;
  }
  key = pack(t);
  return result;
}

int step_time_back(uint16_t& key, unsigned level) {
  level &= 0xFFu;
  if (level > kStepYear) return 0;
  TimeFields t = unpack_time_key(key);
  bool borrow = true;
  if (level == kStepShift) {
    // Before Day, and before "no shift", comes Night of the day before.
    borrow = t.shift <= 1;
    t.shift = borrow ? 3 : static_cast<uint8_t>(t.shift - 1);
  }
  if (borrow && level <= kStepDay) {
    clamp_day(t);
    // 31 is brought down to the month's real end by the month step's clamp.
    borrow = t.day <= 1;
    t.day = borrow ? 31 : static_cast<uint8_t>(t.day - 1);
  }
  if (borrow && level <= kStepMonth) {
    borrow = t.month <= 1;
    t.month = borrow ? 12 : (t.month > 12 ? 12 : static_cast<uint8_t>(t.month - 1));
    clamp_day(t);
  }
  int result = 1;
  if (borrow) {
    result = t.year != 0;
    t.year = t.year == 0 ? 31 : static_cast<uint8_t>(t.year - 1);
    clamp_day(t);
  }
  key = pack(t);
  return result;
}

void format_time_key(uint16_t key, char* out) {
  const TimeFields t = unpack_time_key(key);
  std::snprintf(out, kDateLabelSize, "%s,%s,%hu,%hu", kShiftNames[t.shift],
                t.month <= 12 ? kMonthNames[t.month] : "", static_cast<unsigned short>(t.day),
                static_cast<unsigned short>(2000 + t.year));
}

int parse_time_label(std::string_view text, uint16_t& key) {
  std::string_view parts[4];
  size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    const size_t comma = text.find(',', start);
    if ((comma == std::string_view::npos) != (i == 3)) return 0;
    parts[i] = text.substr(start, i == 3 ? std::string_view::npos : comma - start);
    start = comma + 1;
  }
  int shift = -1;
  for (int s = 0; s < 4; ++s)
    if (equals_ignore_case(parts[0], kShiftNames[s])) shift = s;
  int month = -1;
  for (int m = 0; m <= 12; ++m)
    if (equals_ignore_case(parts[1], kMonthNames[m])) month = m;
  uint32_t day = 0;
  uint32_t year = 0;
  if (shift < 0 || month < 0 || !parse_unsigned(parts[2], day) || !parse_unsigned(parts[3], year) ||
      day > 31 || year < 2000 || year > 2031)
    return 0;
  key = pack_time_key(static_cast<uint8_t>(shift), static_cast<uint8_t>(day),
                      static_cast<uint8_t>(month), static_cast<uint8_t>(year - 2000));
  return 1;
}

}  // namespace valdrin
