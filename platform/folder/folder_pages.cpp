#include "platform/folder/folder_pages.h"

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

constexpr std::array<std::string_view, 7> kPageExtensions = {"htm", "html", "shtml", "xhtml",
                                                             "xht", "mht",  "mhtml"};

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

} // namespace

bool isPageName(const std::string& name)
{
    const std::size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return false;
    const std::string_view extension = std::string_view(name).substr(dot + 1);
    return std::any_of(kPageExtensions.begin(), kPageExtensions.end(), [&](std::string_view page) {
        return qstrnicmp(extension.data(), qsizetype(extension.size()), page.data(),
                         qsizetype(page.size())) == 0;
    });
}

int comparePageNames(const std::string& a, const std::string& b)
{
    // The collator sorts a dot after spaces and most punctuation: compared piece by piece between
    // the dots, a name whose piece ends first comes first, as if the dot sorted before all else.
    const QString left = decoded(a);
    const QString right = decoded(b);
    const QList<QStringView> leftPieces = QStringView(left).split(u'.');
    const QList<QStringView> rightPieces = QStringView(right).split(u'.');
    const qsizetype common = std::min(leftPieces.size(), rightPieces.size());
    for (qsizetype i = 0; i < common; ++i)
        if (const int order = nameCollator().compare(leftPieces[i], rightPieces[i]))
            return order < 0 ? -1 : 1;
    if (leftPieces.size() != rightPieces.size())
        return leftPieces.size() < rightPieces.size() ? -1 : 1;
    const int bytes = a.compare(b);
    return bytes < 0 ? -1 : bytes > 0 ? 1 : 0;
}

std::vector<std::string> pagesOfFolder(const std::string& folder)
{
    std::vector<std::string> pages;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return pages;
    const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        struct stat info;
        if (isPageName(name) && stat((prefix + name).c_str(), &info) == 0 && S_ISREG(info.st_mode))
            pages.push_back(name);
    }
    closedir(dir);
    std::sort(pages.begin(), pages.end(), [](const std::string& a, const std::string& b) {
        return comparePageNames(a, b) < 0;
    });
    return pages;
}

std::optional<std::string> neighbourPage(const std::string& place, PageStep step)
{
    if (place.empty() || place.front() != '/')
        return std::nullopt;
    const std::size_t slash = place.rfind('/');
    const std::string folder = place.substr(0, slash + 1);
    const std::string name = place.substr(slash + 1);
    const std::vector<std::string> pages = pagesOfFolder(folder);
    // The place's own name need not be among them: what counts is where it sorts.
    const auto sortsBefore = [](const std::string& a, const std::string& b) {
        return comparePageNames(a, b) < 0;
    };
    if (step == PageStep::Next) {
        const auto after = std::upper_bound(pages.begin(), pages.end(), name, sortsBefore);
        return after == pages.end() ? std::nullopt : std::optional(folder + *after);
    }
    const auto at = std::lower_bound(pages.begin(), pages.end(), name, sortsBefore);
    return at == pages.begin() ? std::nullopt : std::optional(folder + *std::prev(at));
}
