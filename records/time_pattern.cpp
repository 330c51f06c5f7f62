// Pattern matching over the text, directive by directive. Neighbouring
// number directives without a separator ("%H%M" over "930") share the digits
// between them: the first takes what the others leave it.
#include "records/time_pattern.h"

#include <algorithm>

#include "core/time_key.h"

namespace valdrin::records {

namespace {

constexpr const char* kMonthNames[12] = {"january",   "february", "march",    "april",
                                         "may",       "june",     "july",     "august",
                                         "september", "october",  "november", "december"};

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_space(char c) { return c == ' ' || c == '\t'; }

// Fewest and most digits of a number directive; 0 most for any other.
struct Width {
  int low, high;
};
Width number_width(char d) {
  switch (d) {
    case 'Y': return {4, 4};
    case 'y': return {2, 2};
    case 'm':
    case 'd':
    case 'H':
    case 'I':
    case 'M':
    case 'S': return {1, 2};
    case 'j': return {1, 3};
    case 'f': return {1, 9};
    default: return {0, 0};
  }
}

bool leap(int year) { return year % 4 == 0 && (year % 100 != 0 || year % 400 == 0); }

int days_in(int month, int year) {
  static constexpr int kDays[13] = {0, 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && leap(year) ? 29 : kDays[month];
}

}  // namespace

int check_time_pattern(std::string_view pattern, std::string& error) {
  bool year = false, month = false, day = false, yday = false, hour12 = false, ampm = false;
  bool hour24 = false;
  for (size_t i = 0; i < pattern.size(); ++i) {
    if (pattern[i] != '%') continue;
    if (++i == pattern.size()) {
      error = "a pattern ends in a lone %";
      return 0;
    }
    switch (pattern[i]) {
      case 'Y':
      case 'y': year = true; break;
      case 'm':
      case 'b': month = true; break;
      case 'd': day = true; break;
      case 'j': yday = true; break;
      case 'H': hour24 = true; break;
      case 'I': hour12 = true; break;
      case 'p': ampm = true; break;
      case 'M':
      case 'S':
      case 'f':
      case '%': break;
      default:
        error = std::string("unknown directive %") + pattern[i] +
                " (known: %Y %y %m %d %j %b %H %I %M %S %p %f %%)";
        return 0;
    }
  }
  if (!year)
    error = "the pattern has no year (%Y or %y)";
  else if (!((month && day) || yday))
    error = "the pattern has no month and day (%m or %b, %d; or %j)";
  else if (ampm != hour12)
    error = "%I and %p go together";
  else if (hour12 && hour24)
    error = "the pattern has both %H and %I";
  else
    return 1;
  return 0;
}

int match_time_pattern(std::string_view pattern, std::string_view text, DateTime& out) {
  while (!text.empty() && is_space(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_space(text.back())) text.remove_suffix(1);
  DateTime t;
  int yday = 0, hour12 = -1, pm = -1;
  size_t p = 0, s = 0;
  while (p < pattern.size()) {
    const char c = pattern[p];
    if (c == ' ') {
      if (s == text.size() || !is_space(text[s])) return 0;
      while (s < text.size() && is_space(text[s])) ++s;
      ++p;
      continue;
    }
    if (c != '%' || p + 1 == pattern.size() || pattern[p + 1] == '%') {
      if (s == text.size() || lower(text[s]) != lower(c)) return 0;
      ++s;
      p += c == '%' ? 2 : 1;
      continue;
    }
    const char d = pattern[p + 1];
    p += 2;
    const Width w = number_width(d);
    if (w.high > 0) {
      size_t run = 0;
      while (s + run < text.size() && is_digit(text[s + run])) ++run;
      // The most digits the directives right behind this one can take:
      // this one takes what they leave, within its own widths.
      size_t after = 0;
      for (size_t q = p; q + 1 < pattern.size() && pattern[q] == '%'; q += 2) {
        const Width next = number_width(pattern[q + 1]);
        if (next.high == 0) break;
        after += static_cast<size_t>(next.high);
      }
      size_t take = run < static_cast<size_t>(w.high) ? run : static_cast<size_t>(w.high);
      if (after > 0 && run - take < after)
        take = std::max(run > after ? run - after : size_t{0}, static_cast<size_t>(w.low));
      if (take < static_cast<size_t>(w.low)) return 0;
      int value = 0;
      for (size_t k = 0; k < take; ++k) value = value * 10 + (text[s + k] - '0');
      s += take;
      switch (d) {
        case 'Y': t.year = value; break;
        case 'y': t.year = 2000 + value; break;
        case 'm': t.month = value; break;
        case 'd': t.day = value; break;
        case 'j': yday = value; break;
        case 'H': t.hour = value, t.has_time = true; break;
        case 'I': hour12 = value, t.has_time = true; break;
        case 'M': t.minute = value; break;
        case 'S': t.second = value; break;
        default: break;  // %f
      }
      continue;
    }
    if (d == 'b') {
      int found = 0;
      size_t length = 0;
      for (int m = 0; m < 12 && found == 0; ++m) {
        const std::string_view name = kMonthNames[m];
        // The full name, else its first three letters.
        for (size_t n : {name.size(), size_t{3}}) {
          if (s + n > text.size()) continue;
          bool same = true;
          for (size_t k = 0; k < n && same; ++k) same = lower(text[s + k]) == name[k];
          if (same) {
            found = m + 1, length = n;
            break;
          }
        }
      }
      if (found == 0) return 0;
      t.month = found;
      s += length;
      continue;
    }
    if (d == 'p') {
      if (s + 2 > text.size() || lower(text[s + 1]) != 'm') return 0;
      const char a = lower(text[s]);
      if (a != 'a' && a != 'p') return 0;
      pm = a == 'p' ? 1 : 0;
      s += 2;
      continue;
    }
    return 0;  // unknown directive: check_time_pattern refuses the pattern
  }
  if (s != text.size()) return 0;
  if (hour12 >= 0) {
    if (hour12 < 1 || hour12 > 12 || pm < 0) return 0;
    t.hour = hour12 % 12 + (pm == 1 ? 12 : 0);
  }
  if (yday > 0) {
    if (yday > (leap(t.year) ? 366 : 365)) return 0;
    t.month = 1;
    while (yday > days_in(t.month, t.year)) yday -= days_in(t.month++, t.year);
    t.day = yday;
  }
  if (t.month < 1 || t.month > 12 || t.day < 1 || t.day > days_in(t.month, t.year)) return 0;
  if (t.hour > 23 || t.minute > 59 || t.second > 60) return 0;
  out = t;
  return 1;
}

int time_key_of(const DateTime& when, const ShiftRule& rule, uint16_t& key) {
  int year = when.year, month = when.month, day = when.day;
  uint8_t shift = 0;
  if (when.has_time) {
    const int minute = when.hour * 60 + when.minute;
    if (minute >= rule.day_start && minute < rule.evening_start) {
      shift = 1;
    } else if (minute >= rule.evening_start && minute < rule.night_start) {
      shift = 2;
    } else {
      shift = 3;
      const bool early = minute < rule.day_start && minute < rule.night_start;
      if (early && rule.night_to_previous_day && --day == 0) {
        if (--month == 0) month = 12, --year;
        day = days_in(month, year);
      }
    }
  }
  if (year < 2000 || year > 2031) return 0;
  key = pack_time_key(shift, static_cast<uint8_t>(day), static_cast<uint8_t>(month),
                      static_cast<uint8_t>(year - 2000));
  return 1;
}

}  // namespace valdrin::records
