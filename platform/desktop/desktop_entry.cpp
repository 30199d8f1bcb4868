#include "platform/desktop/desktop_entry.h"

#include "platform/base/ascii_text.h"

#include <sstream>
#include <string_view>

namespace {

constexpr std::string_view entryBlanks = " \t\r";

std::string unescapeValue(const std::string& value)
{
    std::string result;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            result += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            result += ' ';
            break;
        case 'n':
            result += '\n';
            break;
        case 't':
            result += '\t';
            break;
        case 'r':
            result += '\r';
            break;
        case '\\':
            result += '\\';
            break;
        // Other escapes belong to the Exec quoting rules and are kept for them.
        default:
            result += '\\';
            result += value[i];
            break;
        }
    }
    return result;
}

bool isFileCode(char code)
{
    return code == 'f' || code == 'F' || code == 'u' || code == 'U';
}

} // namespace

std::optional<DesktopEntry> parseDesktopEntry(const std::string& text)
{
    std::istringstream lines(text);
    std::string line;
    bool inGroup = false;
    bool found = false;
    DesktopEntry entry;
    while (std::getline(lines, line)) {
        line = std::string(trimmed(line, entryBlanks));
        if (line.empty() || line[0] == '#')
            continue;
        if (line[0] == '[') {
            inGroup = line == "[Desktop Entry]";
            found = found || inGroup;
            continue;
        }
        const auto equals = line.find('=');
        if (!inGroup || equals == std::string::npos)
            continue;
        const std::string key(trimmed(std::string_view(line).substr(0, equals), entryBlanks));
        const std::string value = unescapeValue(
            std::string(trimmed(std::string_view(line).substr(equals + 1), entryBlanks)));
        if (key == "Type")
            entry.type = value;
        else if (key == "Exec")
            entry.exec = value;
        else if (key == "TryExec")
            entry.tryExec = value;
        else if (key == "Terminal")
            entry.terminal = value == "true";
        else if (key == "Hidden")
            entry.hidden = value == "true";
    }
    if (!found)
        return std::nullopt;
    return entry;
}

std::optional<std::vector<std::string>> splitExecLine(const std::string& exec)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument)
                arguments.push_back(current);
            current.clear();
            inArgument = false;
            continue;
        }
        inArgument = true;
        if (c == '"') {
            for (++i; i < exec.size() && exec[i] != '"'; ++i) {
                if (exec[i] == '\\' && i + 1 < exec.size() &&
                    std::string_view("\"`$\\").find(exec[i + 1]) != std::string_view::npos)
                    ++i;
                current += exec[i];
            }
            if (i == exec.size())
                return std::nullopt;
        } else if (c == '\'') {
            const auto close = exec.find('\'', i + 1);
            if (close == std::string::npos)
                return std::nullopt;
            current += exec.substr(i + 1, close - i - 1);
            i = close;
        } else if (c == '\\' && i + 1 < exec.size()) {
            current += exec[++i];
        } else {
            current += c;
        }
    }
    if (inArgument)
        arguments.push_back(current);
    return arguments;
}

std::vector<std::string> expandExecArguments(const std::vector<std::string>& arguments,
                                             const std::string& file)
{
    std::vector<std::string> command;
    bool fileGiven = false;
    for (const std::string& argument : arguments) {
        std::string expanded;
        bool onlyDroppedCodes = !argument.empty();
        for (std::size_t i = 0; i < argument.size(); ++i) {
            if (argument[i] != '%' || i + 1 == argument.size()) {
                expanded += argument[i];
                onlyDroppedCodes = false;
                continue;
            }
            const char code = argument[++i];
            if (code == '%') {
                expanded += '%';
                onlyDroppedCodes = false;
            } else if (isFileCode(code) && !fileGiven) {
                expanded += file;
                fileGiven = true;
                onlyDroppedCodes = false;
            }
        }
        if (!onlyDroppedCodes)
            command.push_back(expanded);
    }
    if (!fileGiven)
        command.push_back(file);
    return command;
}
