#include "platform/viewer/folder_listing.h"

#include "platform/base/page_names.h"
#include "platform/files/folder_pages.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>
#include <vector>

namespace {

struct Entry {
    std::string name;
    bool isFolder = false;
};

QString shown(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes)).toHtmlEscaped();
}

QString link(const std::string& path)
{
    return QString::fromLatin1(QByteArray::fromStdString(path).toPercentEncoding("/"));
}

} // namespace

QByteArray folderListing(const std::string& folder, const ReadTitle& titleOf, const QString& notice)
{
    std::string base = folder;
    if (base.empty() || base.back() != '/')
        base.push_back('/');
    std::vector<Entry> entries;
    if (std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(base.c_str()), ::closedir); dir) {
        while (const dirent* entry = ::readdir(dir.get())) {
            const std::string name = entry->d_name;
            if (name == "." || name == "..")
                continue;
            struct stat info;
            const bool isFolder =
                ::stat((base + name).c_str(), &info) == 0 && S_ISDIR(info.st_mode);
            entries.push_back({name, isFolder});
        }
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return a.isFolder != b.isFolder ? a.isFolder : comparePageNames(a.name, b.name) < 0;
    });

    QString items;
    if (base != "/") {
        const std::string above = base.substr(0, base.rfind('/', base.size() - 2) + 1);
        items += QStringLiteral("<li><a href=\"%1\">[dossier parent]</a></li>\n").arg(link(above));
    }
    for (const Entry& entry : entries) {
        const std::string suffix = entry.isFolder ? "/" : "";
        const QString title =
            !entry.isFolder && isPageName(entry.name) ? titleOf(base + entry.name) : QString();
        items += QStringLiteral("<li><a href=\"%1\">%2</a>%3</li>\n")
                     .arg(link(base + entry.name + suffix), shown(entry.name + suffix),
                          title.isEmpty()
                              ? QString()
                              : QStringLiteral(" <span>%1</span>").arg(title.toHtmlEscaped()));
    }
    const QString title = QStringLiteral("Index de %1").arg(shown(base));
    return QStringLiteral("<!DOCTYPE html><html lang=\"fr\"><meta charset=\"utf-8\"><title>%1"
                          "</title><style>body{font-family:sans-serif}ul{list-style:none;padding:0}"
                          "span{color:#555;margin-left:1em}"
                          "</style><h1>%1</h1>\n%2<ul>\n%3</ul>\n")
        .arg(title,
             notice.isEmpty() ? QString()
                              : QStringLiteral("<p>%1</p>\n").arg(notice.toHtmlEscaped()),
             items)
        .toUtf8();
}

QByteArray noticePage(const QString& text)
{
    return QStringLiteral("<!DOCTYPE html><html lang=\"fr\"><meta charset=\"utf-8\">"
                          "<body><p>%1</p></body></html>")
        .arg(text.toHtmlEscaped())
        .toUtf8();
}
