#pragma once

#include <optional>
#include <set>
#include <string>
#include <string_view>

namespace vrx::cli {

// The programs `--only` names: numbers and ranges separated by commas, "1,3-5".
// No programs, and the reason, when the text is not such a list.
struct ProgramSelection {
    std::set<int> programs;
    std::string error;
};
ProgramSelection parseProgramSelection(std::string_view text);

}  // namespace vrx::cli
