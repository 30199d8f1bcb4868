#include "settings/profile_file.h"

#include "settings/file_bytes.h"
#include "settings/profile_text.h"

namespace profile {
namespace {

// One enclosing pair of the same quote, single or double, is removed.
std::string_view unquoted(std::string_view value)
{
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

std::string_view withoutTrailingSpaces(std::string_view text)
{
    const auto last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? std::string_view() : text.substr(0, last + 1);
}

} // namespace

std::string readString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, std::size_t bufferSize,
                       const std::string& filePath)
{
    const std::optional<FileBytes> file = readFileBytes(filePath);
    std::optional<std::string_view> value;
    if (file && file->exists)
        value = findValue(file->bytes, section, key);
    const std::string_view result = value ? unquoted(*value) : withoutTrailingSpaces(defaultValue);
    // The buffer keeps one place for the terminating zero.
    const std::size_t room = bufferSize == 0 ? 0 : bufferSize - 1;
    return std::string(result.substr(0, room));
}

bool writeString(const std::string& section, const std::string& key, const std::string& value,
                 const std::string& filePath)
{
    const std::optional<FileBytes> file = readFileBytes(filePath);
    if (!file)
        return false;
    return replaceFileBytes(filePath, withValue(file->bytes, section, key, value));
}

} // namespace profile
