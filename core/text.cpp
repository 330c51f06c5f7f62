// Case-blind compare and strict number reading for labels and options.
#include "core/text.h"

#include <charconv>

namespace valdrin {

namespace {
char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
}  // namespace

bool equals_ignore_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

bool parse_unsigned(std::string_view text, uint32_t& value) {
  if (text.empty()) return false;
  uint64_t v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
    if (v > 0xFFFFFFFFu) return false;
  }
  value = static_cast<uint32_t>(v);
  return true;
}

FixedText::FixedText(double value, int digits) {
  const auto [end, error] =
      std::to_chars(text, text + sizeof text - 1, value, std::chars_format::fixed, digits);
  if (error == std::errc()) *end = '\0';
}

}  // namespace valdrin
