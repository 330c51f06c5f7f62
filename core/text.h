// Small text helpers shared by the parsers of the core: case-blind compare
// and strict unsigned decimal reading.
#pragma once

#include <cstdint>
#include <string_view>

namespace valdrin {

bool equals_ignore_case(std::string_view a, std::string_view b);

// All-digit decimal text (at least one digit, no sign, no spaces) that fits
// 32 bits. Return true with the value, false otherwise.
bool parse_unsigned(std::string_view text, uint32_t& value);

}  // namespace valdrin
