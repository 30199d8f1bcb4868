#include "Unit1/command_line.h"

#include <string_view>

namespace {
constexpr std::size_t maxArgumentLength = 4096;

bool isSeparator(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}
} // namespace

std::vector<std::string> splitCommandLine(const std::string& line)
{
    // The line is a C string: a NUL ends it.
    const std::string_view text(line.c_str());
    std::vector<std::string> arguments;
    std::size_t i = 0;
    while (true) {
        // Separators and pairs of double quotes in front of an argument are skipped.
        while (true) {
            while (i < text.size() && isSeparator(text[i]))
                ++i;
            if (text.substr(i, 2) != "\"\"")
                break;
            i += 2;
        }
        std::string argument;
        while (i < text.size() && !isSeparator(text[i])) {
            if (text[i] == '"') {
                const std::size_t close = text.find('"', i + 1);
                const std::size_t end = close == std::string_view::npos ? text.size() : close;
                argument.append(text.substr(i + 1, end - i - 1));
                i = close == std::string_view::npos ? end : close + 1;
            } else {
                argument.push_back(text[i++]);
            }
        }
        // Only the end of the line leaves an argument empty.
        if (argument.empty())
            break;
        if (argument.size() > maxArgumentLength)
            argument.resize(maxArgumentLength);
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
