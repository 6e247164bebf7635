#pragma once

#include <string_view>
#include <vector>

namespace vrx {

// The lines of a text file without their ends. Editors on every desktop end lines with
// LF, CR LF or a lone CR; CRs before an LF all go with it, so that a file reads the same
// whichever line end it is written back with. A UTF-8 byte-order mark some editors put
// first (once or more) is no part of the first line. A last line without a line end counts too.
std::vector<std::string_view> textLines(std::string_view text);

}  // namespace vrx
