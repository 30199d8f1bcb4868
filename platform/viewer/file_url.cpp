#include "platform/viewer/file_url.h"

#include <QFile>

namespace {

QUrl localUrl(const QByteArray& schemeAndHost, const std::string& path)
{
    QByteArray encoded = schemeAndHost;
    encoded.append(QByteArray::fromStdString(path).toPercentEncoding("/"));
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

} // namespace

QUrl pageUrlFor(const std::string& host, const std::string& path)
{
    return localUrl(QByteArray(localPageScheme) + "://" + QByteArray::fromStdString(host), path);
}

QUrl fileUrlFor(const std::string& path)
{
    return localUrl(QByteArrayLiteral("file://"), path);
}

bool isLocalUrl(const QUrl& url)
{
    return url.isLocalFile() || url.scheme() == QLatin1String(localPageScheme);
}

std::string localPathOfUrl(const QUrl& url)
{
    if (!isLocalUrl(url))
        return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string addressOfUrl(const QUrl& url)
{
    if (!isLocalUrl(url))
        return url.toEncoded().toStdString();
    std::string address = localPathOfUrl(url);
    // Appended piece by piece: "#" + fragment trips a false -Wrestrict of GCC 12 at -O3.
    if (url.hasFragment())
        address.append(1, '#').append(url.fragment(QUrl::FullyDecoded).toStdString());
    return address;
}

QString displayedAddressOf(const QUrl& url)
{
    if (!isLocalUrl(url))
        return url.toDisplayString();
    return QFile::decodeName(QByteArray::fromStdString(localPathOfUrl(url)));
}
