#include "settings/integer_text.h"

#include "platform/base/ascii_text.h"

#include <cstdint>

namespace {

std::optional<int> parseHex(std::string_view digits)
{
    if (digits.empty())
        return std::nullopt;
    std::uint32_t value = 0;
    int significant = 0;
    for (char c : digits) {
        const int d = hexValue(c);
        if (d < 0)
            return std::nullopt;
        if (significant > 0 || d != 0)
            ++significant;
        if (significant > 8)
            return std::nullopt;
        value = (value << 4) | static_cast<std::uint32_t>(d);
    }
    return static_cast<int>(static_cast<std::int32_t>(value));
}

std::optional<int> parseDecimal(std::string_view digits, bool negative)
{
    if (digits.empty())
        return std::nullopt;
    const std::int64_t limit = negative ? 2147483648LL : 2147483647LL;
    std::int64_t value = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

} // namespace

std::optional<int> parseSettingsInteger(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    if (text.empty())
        return std::nullopt;
    const char first = text.front();
    if (first == '-' || first == '+')
        return parseDecimal(text.substr(1), first == '-');
    if (first == '$' || first == 'x' || first == 'X')
        return parseHex(text.substr(1));
    if (text.size() >= 2 && first == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseHex(text.substr(2));
    return parseDecimal(text, false);
}
