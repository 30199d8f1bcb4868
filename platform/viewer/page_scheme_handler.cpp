#include "platform/viewer/page_scheme_handler.h"

#include "platform/viewer/content_types.h"
#include "platform/viewer/document_hosts.h"
#include "platform/viewer/file_url.h"
#include "platform/viewer/folder_listing.h"

#include <QBuffer>
#include <QFile>
#include <QWebEngineUrlRequestJob>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void replyWith(QWebEngineUrlRequestJob* job, const QByteArray& type, const QByteArray& content)
{
    auto* buffer = new QBuffer(job);
    buffer->setData(content);
    job->reply(type, buffer);
}

std::string firstBytesOf(int fd)
{
    std::string bytes(1024, '\0');
    const ssize_t n = ::pread(fd, bytes.data(), bytes.size(), 0);
    bytes.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    return bytes;
}

} // namespace

QString notOrdinaryFileNotice(const std::string& path)
{
    return QObject::tr("« %1 » n'est pas un fichier ordinaire : Velmo ne l'affiche pas.")
        .arg(QFile::decodeName(QByteArray::fromStdString(path)));
}

void PageSchemeHandler::requestStarted(QWebEngineUrlRequestJob* job)
{
    const QUrl url = job->requestUrl();
    const std::string path = localPathOfUrl(url);
    if (path.empty() || path.front() != '/' || job->requestMethod() != "GET")
        return job->fail(QWebEngineUrlRequestJob::RequestDenied);
    const std::optional<DocumentHosts::Load> load =
        hosts.takeLoad(url.host(QUrl::FullyEncoded).toStdString(), path);
    if (!load)
        return job->fail(QWebEngineUrlRequestJob::RequestDenied);
    // Not blocking: a FIFO opened for reading would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        const bool missing = errno == ENOENT || errno == ENOTDIR;
        return job->fail(missing ? QWebEngineUrlRequestJob::UrlNotFound
                                 : QWebEngineUrlRequestJob::RequestDenied);
    }
    struct stat info;
    if (::fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || S_ISDIR(info.st_mode))) {
        ::close(fd);
        return replyWith(job, "text/html", noticePage(notOrdinaryFileNotice(path)));
    }
    if (S_ISDIR(info.st_mode)) {
        ::close(fd);
        return replyWith(
            job, "text/html",
            folderListing(path, cachedPageTitle, QString::fromStdString(load->notice)));
    }
    std::string type = contentTypeByName(path);
    // A style sheet or a script shown as a page is read as text.
    if (type == "text/css" || type == "text/javascript" || type == "application/json")
        type = "text/plain";
    if (type.empty())
        type = contentTypeBySniffing(firstBytesOf(fd));
    auto* file = new QFile(job);
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return job->fail(QWebEngineUrlRequestJob::RequestFailed);
    }
    job->reply(QByteArray::fromStdString(type), file);
}
