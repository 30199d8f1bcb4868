#include "Unit1/command_line.h"

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
    std::vector<std::string> arguments;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (true) {
        while (i < n && isSeparator(line[i]))
            ++i;
        if (i >= n || line[i] == '\0')
            break;
        // Two double quotes at the start of an argument are skipped.
        if (i + 1 < n && line[i] == '"' && line[i + 1] == '"')
            i += 2;
        std::string argument;
        while (i < n && line[i] != '\0' && !isSeparator(line[i])) {
            if (line[i] == '"') {
                ++i;
                while (i < n && line[i] != '\0' && line[i] != '"') {
                    if (argument.size() < maxArgumentLength)
                        argument.push_back(line[i]);
                    ++i;
                }
                if (i < n && line[i] == '"')
                    ++i;
            } else {
                if (argument.size() < maxArgumentLength)
                    argument.push_back(line[i]);
                ++i;
            }
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
