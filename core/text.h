// Small text helpers shared by the core: case-blind compare, strict
// unsigned decimal reading, and numbers written the same in every locale.
#pragma once

#include <cstdint>
#include <string_view>

namespace valdrin {

bool equals_ignore_case(std::string_view a, std::string_view b);

// All-digit decimal text (at least one digit, no sign, no spaces) that fits
// 32 bits. Return true with the value, false otherwise.
bool parse_unsigned(std::string_view text, uint32_t& value);

// `value` with `digits` decimals after a point, rounded as printf's "%.Nf"
// rounds in the "C" locale. The viewer runs under the user's locale, whose
// decimal mark may be a comma; what the program writes reads the same
// whatever it is, so such numbers are never formatted by printf.
struct FixedText {
  char text[48] = {};  // 2^32 * 100 with its decimals fits with room to spare
  FixedText(double value, int digits);
};

}  // namespace valdrin
