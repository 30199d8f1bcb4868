#include "platform/viewer/local_file_guard.h"

#include "platform/viewer/file_url.h"

#include <QDir>

#include <cstdlib>

namespace {

// The path with symbolic links resolved when it exists, else cleaned lexically.
std::string resolvedPath(const std::string& path)
{
    if (char* real = ::realpath(path.c_str(), nullptr)) {
        std::string result = real;
        std::free(real);
        return result;
    }
    return QFile::encodeName(QDir::cleanPath(QFile::decodeName(path.c_str()))).toStdString();
}

// Whether `path` lies in the folder holding `page`, or below it.
bool isInFolderTreeOf(const std::string& path, const std::string& page)
{
    const std::string folder = page.substr(0, page.rfind('/') + 1);
    return !folder.empty() && path.compare(0, folder.size(), folder) == 0;
}

} // namespace

bool mayLoadLocalResource(const QUrl& request, const QUrl& page,
                          QWebEngineUrlRequestInfo::ResourceType type)
{
    if (!request.isLocalFile())
        return true;
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
    case QWebEngineUrlRequestInfo::ResourceTypePing:
    case QWebEngineUrlRequestInfo::ResourceTypeCspReport:
        return false;
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeObject: {
        if (!page.isLocalFile())
            return false;
        return isInFolderTreeOf(resolvedPath(localPathOfUrl(request)),
                                resolvedPath(localPathOfUrl(page)));
    }
    default:
        return true;
    }
}

void LocalFileGuard::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (!mayLoadLocalResource(info.requestUrl(), info.firstPartyUrl(), info.resourceType()))
        info.block(true);
}
