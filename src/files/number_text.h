#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vrx {

// Numbers in the settings file are decimal text, possibly with a fraction or an
// exponent ("12", "-3", "2.5", "1e3"); they are read the way the program always read them.

// The nearest integer, a half going to the even neighbour (2.5 gives 2, 3.5 gives 4);
// nothing when that lies outside 32 bits.
std::optional<std::int32_t> roundToInt32(double number);

// The whole text as a number, blanks around it allowed; nothing when it is empty, holds
// anything else, or is too large to represent.
std::optional<double> parseNumber(std::string_view text);

// The number the text begins with, after leading blanks; 0 when it begins with none.
double leadingNumber(std::string_view text);

}  // namespace vrx
