#include "platform/files/trash_info.h"

#include "platform/base/name_length.h"

#include <QByteArray>

namespace {

constexpr std::size_t kLongestName = 255 - sizeof(".trashinfo") + 1;

} // namespace

std::string percentEncodePath(const std::string& path)
{
    return QByteArray::fromStdString(path).toPercentEncoding("/").toStdString();
}

std::string deletionDateText(std::time_t when)
{
    std::tm local{};
    localtime_r(&when, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &local);
    return text;
}

std::string trashInfoText(const std::string& pathField, std::time_t when)
{
    return "[Trash Info]\nPath=" + percentEncodePath(pathField) +
           "\nDeletionDate=" + deletionDateText(when) + "\n";
}

std::string trashEntryName(const std::string& name, unsigned attempt)
{
    const auto dot = name.rfind('.');
    const bool hasExtension = dot != std::string::npos && dot > 0;
    std::string stem = hasExtension ? name.substr(0, dot) : name;
    std::string extension = hasExtension ? name.substr(dot) : std::string();
    // Appended, not "." + number: that trips a false -Wrestrict of GCC 12 at -O3.
    std::string number;
    if (attempt > 1)
        number.append(1, '.').append(std::to_string(attempt));
    // A long extension is no extension worth keeping whole.
    if (extension.size() > 16) {
        stem = name;
        extension.clear();
    }
    stem = cutToFit(stem, kLongestName - number.size() - extension.size());
    return stem + number + extension;
}
