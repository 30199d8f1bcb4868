#include "platform/files/folder_pages.h"

#include "platform/base/page_names.h"

#include <QByteArray>
#include <QCollator>
#include <QList>
#include <QLocale>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>
#include <dirent.h>
#include <string_view>
#include <sys/stat.h>

namespace {

// Numbers by value and letters without case, whatever the locale of the process (the C locale
// would compare code points). Made once, used on the GUI thread only.
const QCollator& nameCollator()
{
    static const QCollator collator = [] {
        QCollator made{QLocale(QLocale::French, QLocale::France)};
        made.setNumericMode(true);
        made.setCaseSensitivity(Qt::CaseInsensitive);
        return made;
    }();
    return collator;
}

QString decoded(const std::string& name)
{
    // Bytes that are not UTF-8 compare as the replacement character; the bytes then settle ties.
    return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
}

// Whether a folder entry is a regular file, or a link to one. The folder's own record of the
// entry's type spares a look at the file itself, except for links and file systems that keep none.
bool isRegularFile(const std::string& prefix, const dirent& entry)
{
    if (entry.d_type == DT_REG)
        return true;
    if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN)
        return false;
    struct stat info;
    return stat((prefix + entry.d_name).c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// The names of the pages in a folder, as the folder gives them.
std::vector<std::string> pageNamesIn(const std::string& folder)
{
    std::vector<std::string> pages;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return pages;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (isPageName(name) && isRegularFile(prefix, *entry))
            pages.push_back(name);
    }
    closedir(dir);
    return pages;
}

// Compares two names already decoded, as comparePageNames does.
int compareDecodedNames(QStringView left, QStringView right, const std::string& a,
                        const std::string& b)
{
    // The collator sorts a dot after spaces and most punctuation: compared piece by piece between
    // the dots, a name whose piece ends first comes first, as if the dot sorted before all else.
    for (;;) {
        const qsizetype leftDot = left.indexOf(u'.');
        const qsizetype rightDot = right.indexOf(u'.');
        const int order = nameCollator().compare(leftDot < 0 ? left : left.first(leftDot),
                                                 rightDot < 0 ? right : right.first(rightDot));
        if (order != 0)
            return order < 0 ? -1 : 1;
        if (leftDot < 0 && rightDot < 0)
            break;
        if (leftDot < 0 || rightDot < 0)
            return leftDot < 0 ? -1 : 1;
        left = left.sliced(leftDot + 1);
        right = right.sliced(rightDot + 1);
    }
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : bytes > 0 ? 1 : 0;
}

} // namespace

int comparePageNames(const std::string& a, const std::string& b)
{
    return compareDecodedNames(decoded(a), decoded(b), a, b);
}

std::vector<std::string> pagesOfFolder(const std::string& folder)
{
    std::vector<std::string> pages = pageNamesIn(folder);
    std::sort(pages.begin(), pages.end(), [](const std::string& a, const std::string& b) {
        return comparePageNames(a, b) < 0;
    });
    return pages;
}

std::optional<std::string> folderOfPlace(const std::string& place)
{
    if (place.empty() || place.front() != '/')
        return std::nullopt;
    struct stat info;
    if (place.back() != '/' && stat(place.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return place + "/";
    return place.substr(0, place.rfind('/') + 1);
}

std::optional<std::string> neighbourPage(const std::string& place, PageStep step)
{
    const std::optional<std::string> where = folderOfPlace(place);
    if (!where)
        return std::nullopt;
    const std::string& folder = *where;
    const std::string name = place.size() > folder.size() ? place.substr(folder.size()) : "";
    // The nearest page on the asked side of where the name sorts, in one pass: the place's own
    // name need not be a page, nor exist any more.
    const int side = step == PageStep::Next ? 1 : -1;
    const QString placeName = decoded(name);
    std::optional<std::string> nearest;
    QString nearestName;
    for (const std::string& page : pageNamesIn(folder)) {
        const QString pageName = decoded(page);
        if (compareDecodedNames(pageName, placeName, page, name) * side > 0 &&
            (!nearest || compareDecodedNames(pageName, nearestName, page, *nearest) * side < 0)) {
            nearest = page;
            nearestName = pageName;
        }
    }
    if (!nearest)
        return std::nullopt;
    return folder + *nearest;
}
