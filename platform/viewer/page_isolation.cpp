#include "platform/viewer/page_isolation.h"

#include "platform/base/page_names.h"
#include "platform/viewer/document_hosts.h"
#include "platform/viewer/file_url.h"

namespace {

using Type = QWebEngineUrlRequestInfo::ResourceType;

RequestVerdict allow()
{
    return {RequestVerdict::Kind::Allow, {}};
}

RequestVerdict block()
{
    return {RequestVerdict::Kind::Block, {}};
}

RequestVerdict redirect(QUrl target, const QUrl& request)
{
    if (request.hasFragment())
        target.setFragment(request.fragment(QUrl::FullyEncoded), QUrl::StrictMode);
    return {RequestVerdict::Kind::Redirect, target};
}

bool isDocument(Type type)
{
    return type == Type::ResourceTypeSubFrame || type == Type::ResourceTypeObject;
}

// What a page shows without its scripts being able to read it once it comes from another origin.
bool isShownResource(Type type)
{
    switch (type) {
    case Type::ResourceTypeImage:
    case Type::ResourceTypeStylesheet:
    case Type::ResourceTypeScript:
    case Type::ResourceTypeFontResource:
    case Type::ResourceTypeMedia:
    case Type::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}

// The document host that made a request, or "" when no local document of ours made it.
std::string localInitiatorHost(const QUrl& initiator)
{
    if (initiator.scheme() != QLatin1String(localPageScheme))
        return {};
    return initiator.host(QUrl::FullyEncoded).toStdString();
}

} // namespace

QUrl FileServerAddress::urlFor(const std::string& host, const std::string& path) const
{
    QByteArray encoded = "http://127.0.0.1:" + QByteArray::number(port) + "/";
    encoded.append(QByteArray::fromStdString(secret)).append('/');
    encoded.append(QByteArray::fromStdString(host));
    encoded.append(QByteArray::fromStdString(path).toPercentEncoding("/"));
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

bool FileServerAddress::isServerUrl(const QUrl& url) const
{
    // No list of this machine's names can be complete (a trailing dot, 127.0.0.2, ::1, ...): the
    // port alone decides.
    return port != 0 && url.port(-1) == port;
}

PageIsolation::PageIsolation(DocumentHosts& hosts, FileServerAddress server)
    : hosts(hosts), server(std::move(server))
{}

RequestVerdict PageIsolation::judge(const QUrl& request, Type type, const QUrl& initiator,
                                    QWebEngineUrlRequestInfo::NavigationType navigation)
{
    const std::string initiatorHost = localInitiatorHost(initiator);
    if (server.isServerUrl(request))
        return judgeServerRequest(request, type, initiatorHost);
    if (!isLocalUrl(request))
        return allow();

    const std::string path = localPathOfUrl(request);
    const bool asPage = request.scheme() == QLatin1String(localPageScheme);
    if (path.empty() || path.front() != '/')
        return block();
    if (type == Type::ResourceTypeMainFrame) {
        // Opened by the program, or by a link of a local document; never by a web page. A document
        // of no origin of its own (a sandboxed one) names no initiator, as the program does: only
        // the program's own kinds of navigation count as the program's.
        const std::string host = request.host(QUrl::FullyEncoded).toStdString();
        const bool ownHistoryStep =
            (navigation == QWebEngineUrlRequestInfo::NavigationTypeBackForward ||
             navigation == QWebEngineUrlRequestInfo::NavigationTypeReload) &&
            (asPage ? hosts.pathOf(host).has_value() : isWebArchive(path));
        const bool byProgram =
            initiator.isEmpty() &&
            (navigation == QWebEngineUrlRequestInfo::NavigationTypeTyped || ownHistoryStep);
        const bool byLocalDocument = !initiatorHost.empty() && hosts.rootOf(initiatorHost);
        if (!byProgram && !byLocalDocument)
            return block();
        if (isWebArchive(path))
            return asPage ? redirect(fileUrlFor(path), request) : allow();
        if (asPage && hosts.isPageOf(host, path)) {
            hosts.allowLoad(host);
            return allow();
        }
        // A history entry or a reload names its document as it was loaded, unless a script gave
        // it another path since (history.pushState): that path was never the user's choice.
        if (asPage && hosts.pathOf(host) &&
            (navigation == QWebEngineUrlRequestInfo::NavigationTypeBackForward ||
             navigation == QWebEngineUrlRequestInfo::NavigationTypeReload))
            return block();
        return redirect(pageUrlFor(hosts.issue(path, folderTreeOf(path), false), path), request);
    }

    const std::optional<std::string> root =
        initiatorHost.empty() ? std::nullopt : hosts.rootOf(initiatorHost);
    if (!root || !isInFolderTree(path, *root))
        return block();
    if (isDocument(type)) {
        if (const std::string host = request.host(QUrl::FullyEncoded).toStdString();
            asPage && hosts.claimFrame(host, path)) {
            hosts.allowLoad(host);
            return allow();
        }
        return redirect(pageUrlFor(hosts.issue(path, *root, true), path), request);
    }
    if (isShownResource(type) && server.port != 0)
        return redirect(server.urlFor(initiatorHost, path), request);
    return block();
}

RequestVerdict PageIsolation::judgeServerRequest(const QUrl& request, Type type,
                                                 const std::string& initiatorHost)
{
    // Only a local document's own resources, named under its own host, in the form urlFor makes.
    if (!isShownResource(type) || initiatorHost.empty() ||
        request.host() != QLatin1String("127.0.0.1") || request.scheme() != QLatin1String("http") ||
        !request.userInfo().isEmpty())
        return block();
    const QByteArray prefix = "/" + QByteArray::fromStdString(server.secret) + "/" +
                              QByteArray::fromStdString(initiatorHost) + "/";
    const QByteArray requestPath = request.path(QUrl::FullyEncoded).toLatin1();
    if (!requestPath.startsWith(prefix))
        return block();
    const std::string path =
        QByteArray::fromPercentEncoding(requestPath.mid(prefix.size() - 1)).toStdString();
    const std::optional<std::string> root = hosts.rootOf(initiatorHost);
    if (!root || !isInFolderTree(path, *root))
        return block();
    return allow();
}

IsolatingInterceptor::IsolatingInterceptor(
    std::unique_ptr<PageIsolation> isolation,
    std::function<void(const QUrl& target)> mainFrameRedirected)
    : isolation(std::move(isolation)), mainFrameRedirected(std::move(mainFrameRedirected))
{}

IsolatingInterceptor::~IsolatingInterceptor() = default;

void IsolatingInterceptor::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    const RequestVerdict verdict = isolation->judge(info.requestUrl(), info.resourceType(),
                                                    info.initiator(), info.navigationType());
    switch (verdict.kind) {
    case RequestVerdict::Kind::Allow:
        // A request to the file server that the rule let through carries the key the server asks
        // for: its address alone may have reached the page, and from there anyone. The key rides
        // in a header that the engine sends without first asking the server (a font's request
        // would otherwise need a preflight), and that the page never sees.
        if (isolation->fileServer().isServerUrl(info.requestUrl()))
            info.setHttpHeader("Content-Language",
                               QByteArray::fromStdString(isolation->fileServer().key));
        break;
    case RequestVerdict::Kind::Block:
        info.block(true);
        break;
    case RequestVerdict::Kind::Redirect:
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeMainFrame &&
            mainFrameRedirected)
            mainFrameRedirected(verdict.target);
        info.redirect(verdict.target);
        break;
    }
}
