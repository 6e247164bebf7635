#include "cli/program_selection.h"

#include <charconv>

#include "protocol/messages.h"

namespace vrx::cli {
namespace {

constexpr int kHighestProgram = kMaxAddressableProgram;

std::optional<int> programNumber(std::string_view text) {
    int value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || value < 1 || value > kHighestProgram) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

ProgramSelection parseProgramSelection(std::string_view text) {
    ProgramSelection selection;
    while (!text.empty()) {
        const auto comma = text.find(',');
        const auto item = text.substr(0, comma);
        text = comma == std::string_view::npos ? std::string_view{} : text.substr(comma + 1);
        const auto dash = item.find('-');
        const auto first = programNumber(item.substr(0, dash));
        const auto last =
            dash == std::string_view::npos ? first : programNumber(item.substr(dash + 1));
        if (!first || !last || *last < *first) {
            selection.programs.clear();
            selection.error =
                "\"" + std::string(item) + "\" is not a program number or a range like 3-5";
            return selection;
        }
        for (int p = *first; p <= *last; ++p) {
            selection.programs.insert(p);
        }
    }
    if (selection.programs.empty()) {
        selection.error = "no program numbers given";
    }
    return selection;
}

}  // namespace vrx::cli
