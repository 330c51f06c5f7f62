// Dates and times as exports write them, read with strptime-like patterns
// ("%m/%d/%Y %I:%M:%S %p", "%Y-%m-%dT%H:%M:%S", "%d-%b-%y %H%M"), and the
// shift of the day a time of day falls in. Matching is our own and
// locale-free: month names are English whatever the user's locale says.
//
// Directives: %Y (4 digits), %y (2 digits, 20yy), %m %d %H %I %M %S (1 or 2
// digits), %j (day of the year, 1-3 digits), %b (an English month name, "Jan"
// or "January", any case), %p (AM or PM, any case), %f (fraction digits,
// ignored), %% (a percent sign). A space matches any run of spaces; other
// characters match themselves, letters in any case. Spaces around the text
// are ignored.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace valdrin::records {

struct DateTime {
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0;
  bool has_time = false;  // the pattern had %H or %I
};

// Whether `pattern` is usable: known directives only, a year, a month and
// day (or %j), %p only with %I. Return 1; 0 with `error` saying what is wrong.
int check_time_pattern(std::string_view pattern, std::string& error);

// Reads `text` with `pattern` (checked). Return 1 when the whole text matches
// and names a real date and time of day; 0 otherwise.
int match_time_pattern(std::string_view pattern, std::string_view text, DateTime& out);

// Where the shifts begin, in minutes after midnight. A time before the day
// shift's start is a night: of the date it happened on, or, when
// `night_to_previous_day`, of the date before (the night that began then).
struct ShiftRule {
  int day_start = 7 * 60;
  int evening_start = 15 * 60;
  int night_start = 23 * 60;
  bool night_to_previous_day = false;
};

// The Time key of a date and time: shift 0 (not recorded) when there is no
// time. Return 1; 0 when the date (after a night moved to the day before)
// lies outside 2000-2031.
int time_key_of(const DateTime& when, const ShiftRule& rule, uint16_t& key);

}  // namespace valdrin::records
