#include "platform/viewer/file_url.h"

QUrl urlForAddress(const std::string& address)
{
    if (address.empty())
        return QUrl(QStringLiteral("about:blank"));
    if (address.front() == '/') {
        const QByteArray path = QByteArray::fromStdString(address).toPercentEncoding("/");
        return QUrl::fromEncoded("file://" + path, QUrl::StrictMode);
    }
    return QUrl(QString::fromStdString(address));
}

std::string localPathOfUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return {};
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()).toStdString();
}

std::string addressOfUrl(const QUrl& url)
{
    if (!url.isLocalFile())
        return url.toEncoded().toStdString();
    std::string address = localPathOfUrl(url);
    if (url.hasFragment())
        address += "#" + url.fragment(QUrl::FullyDecoded).toStdString();
    return address;
}
