#include "protocol/text_lines.h"

namespace vrx {
namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

// Where the line ending at `end` is followed by the next one: CR LF (with any extra CRs
// before the LF) is one line end, and so are a lone LF and a lone CR.
std::size_t nextLineStart(std::string_view text, std::size_t end) {
    if (text[end] == '\r') {
        const auto afterReturns = text.find_first_not_of('\r', end);
        if (afterReturns != std::string_view::npos && text[afterReturns] == '\n') {
            return afterReturns + 1;
        }
    }
    return end + 1;
}

}  // namespace

std::vector<std::string_view> textLines(std::string_view text) {
    // Marks doubled by editors that add one to whatever they open go as well, so the
    // text reads the same once written back without them.
    while (text.starts_with(kUtf8ByteOrderMark)) {
        text.remove_prefix(kUtf8ByteOrderMark.size());
    }
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        auto end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(text.substr(pos));
            break;
        }
        lines.push_back(text.substr(pos, end - pos));
        pos = nextLineStart(text, end);
    }
    return lines;
}

}  // namespace vrx
