#include "files/number_text.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vrx {
namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

struct Scanned {
    std::optional<double> number;
    std::size_t length = 0;  // characters taken, blanks before the number included
};

// Sign, digits with an optional fraction (at least one digit), then an exponent only
// when digits follow it, so that "2e" reads as 2.
Scanned scanNumber(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && isBlank(text[pos])) {
        ++pos;
    }
    std::string digits;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        if (text[pos] == '-') {
            digits += '-';
        }
        ++pos;
    }
    std::size_t mantissaDigits = 0;
    auto takeDigits = [&] {
        while (pos < text.size() && isDigit(text[pos])) {
            digits += text[pos++];
            ++mantissaDigits;
        }
    };
    takeDigits();
    if (pos < text.size() && text[pos] == '.') {
        digits += text[pos++];
        takeDigits();
    }
    if (mantissaDigits == 0) {
        return {};
    }
    if (pos < text.size() && (text[pos] == 'e' || text[pos] == 'E')) {
        auto exponentEnd = pos + 1;
        if (exponentEnd < text.size() && (text[exponentEnd] == '+' || text[exponentEnd] == '-')) {
            ++exponentEnd;
        }
        if (exponentEnd < text.size() && isDigit(text[exponentEnd])) {
            digits += text.substr(pos, exponentEnd - pos);
            pos = exponentEnd;
            while (pos < text.size() && isDigit(text[pos])) {
                digits += text[pos++];
            }
        }
    }
    double number = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc{} || end != digits.data() + digits.size() || !std::isfinite(number)) {
        return {std::nullopt, pos};
    }
    return {number, pos};
}

}  // namespace

std::optional<std::int32_t> roundToInt32(double number) {
    if (!std::isfinite(number)) {
        return std::nullopt;
    }
    double rounded = std::floor(number);
    const double fraction = number - rounded;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(rounded, 2.0) != 0.0)) {
        rounded += 1.0;
    }
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(rounded);
}

std::optional<double> parseNumber(std::string_view text) {
    const auto scanned = scanNumber(text);
    if (!scanned.number) {
        return std::nullopt;
    }
    for (auto pos = scanned.length; pos < text.size(); ++pos) {
        if (!isBlank(text[pos])) {
            return std::nullopt;
        }
    }
    return scanned.number;
}

double leadingNumber(std::string_view text) {
    return scanNumber(text).number.value_or(0.0);
}

}  // namespace vrx
