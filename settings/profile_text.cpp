#include "settings/profile_text.h"

#include "platform/base/ascii_text.h"

#include <algorithm>

namespace profile {
namespace {

constexpr std::string_view newLine = "\r\n";

// Blanks around names and values in the file; spaces around the names asked for.
constexpr std::string_view blanks = " \t\v";
constexpr std::string_view spaces = " ";

bool isBlank(char c)
{
    return blanks.find(c) != std::string_view::npos;
}

// One line of the text: where it starts, its content without the line end, and where the next
// starts.
struct Line {
    std::size_t start = 0;
    std::string_view content;
    std::size_t next = 0;

    std::size_t contentEnd() const { return start + content.size(); }
    bool hasEnd() const { return next > contentEnd(); }
};

// Steps through the lines; CR, LF and CRLF each end a line.
class Lines {
public:
    explicit Lines(std::string_view text) : text(text) {}

    bool next(Line& line)
    {
        if (position >= text.size())
            return false;
        std::size_t end = position;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        line.start = position;
        line.content = text.substr(position, end - position);
        position = end;
        if (position < text.size() && text[position] == '\r')
            ++position;
        if (position < text.size() && text[position] == '\n')
            ++position;
        line.next = position;
        return true;
    }

private:
    std::string_view text;
    std::size_t position = 0;
};

// What a line holds: a section header, a key, or nothing that counts (blank, comment, other text).
struct Entry {
    enum class Kind { Other, Header, Key };
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
};

Entry entryOf(std::string_view content)
{
    const auto first = std::find_if_not(content.begin(), content.end(), isBlank);
    const std::string_view rest = content.substr(static_cast<std::size_t>(first - content.begin()));
    if (rest.empty() || rest.front() == ';')
        return {};
    if (rest.front() == '[') {
        // The name runs to the first "]", or to the end when there is none; the rest is ignored.
        const std::string_view inside = rest.substr(1);
        return {Entry::Kind::Header, trimmed(inside.substr(0, inside.find(']')), blanks), {}};
    }
    const auto equals = rest.find('=');
    if (equals == std::string_view::npos)
        return {};
    return {Entry::Kind::Key, trimmed(rest.substr(0, equals), blanks),
            trimmed(rest.substr(equals + 1), blanks)};
}

// Where a key stands: the first matching section, the first matching key in it, and the line after
// which a new key of that section goes (its last key line, else its header).
struct Location {
    bool sectionFound = false;
    std::optional<Line> keyLine;
    std::string_view keyName;
    std::string_view value;
    Line lastLine;
};

Location locate(std::string_view text, std::string_view section, std::string_view key)
{
    section = trimmed(section, spaces);
    key = trimmed(key, spaces);
    Location where;
    Lines lines(text);
    Line line;
    while (lines.next(line)) {
        const Entry entry = entryOf(line.content);
        if (!where.sectionFound) {
            if (entry.kind == Entry::Kind::Header && equalsIgnoringCase(entry.name, section)) {
                where.sectionFound = true;
                where.lastLine = line;
            }
            continue;
        }
        // Only the first section of that name is searched.
        if (entry.kind == Entry::Kind::Header)
            break;
        if (entry.kind == Entry::Kind::Key) {
            where.lastLine = line;
            if (equalsIgnoringCase(entry.name, key)) {
                where.keyLine = line;
                where.keyName = entry.name;
                where.value = entry.value;
                break;
            }
        }
    }
    return where;
}

} // namespace

std::optional<std::string_view> findValue(std::string_view text, std::string_view section,
                                          std::string_view key)
{
    const Location where = locate(text, section, key);
    if (!where.keyLine)
        return std::nullopt;
    return where.value;
}

std::string withValue(std::string_view text, std::string_view section, std::string_view key,
                      std::string_view value)
{
    const Location where = locate(text, section, key);
    std::string result;
    result.reserve(text.size() + section.size() + key.size() + value.size() + 8);
    if (where.keyLine) {
        // The key keeps its spelling in the file and its line end (CRLF when it had none).
        const Line& line = *where.keyLine;
        const std::string_view end = text.substr(line.contentEnd(), line.next - line.contentEnd());
        result.append(text.substr(0, line.start));
        result.append(where.keyName).append("=").append(value);
        result.append(end.empty() ? newLine : end);
        result.append(text.substr(line.next));
    } else if (where.sectionFound) {
        const Line& after = where.lastLine;
        result.append(text.substr(0, after.next));
        if (!after.hasEnd())
            result.append(newLine);
        result.append(trimmed(key, spaces)).append("=").append(value).append(newLine);
        result.append(text.substr(after.next));
    } else {
        result.append(text);
        if (!text.empty() && text.back() != '\r' && text.back() != '\n')
            result.append(newLine);
        result.append("[").append(trimmed(section, spaces)).append("]").append(newLine);
        result.append(trimmed(key, spaces)).append("=").append(value).append(newLine);
    }
    return result;
}

} // namespace profile
