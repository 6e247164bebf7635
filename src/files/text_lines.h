#pragma once

#include <string_view>
#include <vector>

namespace vrx {

// The lines of a text file written with LF or CR LF line ends, without those ends. Every
// carriage return at a line's end goes with it, so that a file reads the same whichever
// line end it is written back with. A last line without a line end counts too.
std::vector<std::string_view> textLines(std::string_view text);

}  // namespace vrx
