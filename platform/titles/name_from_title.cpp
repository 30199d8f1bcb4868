#include "platform/titles/name_from_title.h"

#include "platform/base/name_length.h"

namespace {

constexpr std::size_t kLongestName = 255;

bool isRefused(QChar c)
{
    return c.category() == QChar::Other_Control || QStringView(u"\\/:*?\"<>|").contains(c);
}

// Without spaces or dots at either end.
std::string trimmedName(std::string name)
{
    const std::size_t first = name.find_first_not_of(" .");
    if (first == std::string::npos)
        return {};
    return name.substr(first, name.find_last_not_of(" .") - first + 1);
}

} // namespace

std::string nameFromTitle(const QString& title, const std::string& currentName)
{
    QString stem;
    for (QChar c : title) {
        const QChar kept = isRefused(c) || c.isSpace() ? QChar(u' ') : c;
        if (kept != u' ' || !stem.endsWith(u' '))
            stem += kept;
    }
    const std::size_t dot = currentName.rfind('.');
    const std::string extension =
        dot == std::string::npos ? std::string() : currentName.substr(dot);
    if (extension.size() >= kLongestName)
        return currentName;
    // Cutting may leave a space or a dot at the end of what is kept: trimmed after the cut too.
    const std::string kept =
        trimmedName(cutToFit(trimmedName(stem.toStdString()), kLongestName - extension.size()));
    if (kept.empty())
        return currentName;
    return kept + extension;
}
