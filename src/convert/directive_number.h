// Reading a whole number from report text the way the line directives do:
// blanks, tabs and line feeds are skipped wherever they stand, then an
// optional sign, digits, an optional decimal point with fraction and an
// optional exponent; reading stops at the first other character. No digits
// read as 0. A fraction is rounded to the nearest whole number, a half to the
// even neighbour. Any length of text is read in one pass.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace quillet {

// The number, or nullopt when it does not fit in 16 bits.
std::optional<std::int16_t> read_directive_number(std::string_view text);

}  // namespace quillet
