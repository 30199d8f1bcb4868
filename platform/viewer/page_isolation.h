#pragma once

#include <QUrl>
#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

#include <functional>
#include <memory>
#include <string>

class DocumentHosts;

// What becomes of a request of a page.
struct RequestVerdict {
    enum class Kind { Allow, Block, Redirect };
    Kind kind = Kind::Allow;
    QUrl target; // for Redirect

    bool operator==(const RequestVerdict&) const = default;
};

// Where the loopback file server answers: http://127.0.0.1:PORT/SECRET/HOST/path.
struct FileServerAddress {
    int port = 0; // 0: no server, local resources are not shown
    std::string secret;
    std::string key; // sent in the "Content-Language" header, out of the pages' sight

    QUrl urlFor(const std::string& host, const std::string& path) const;
    // Whether the URL aims at the server's port, whatever it calls the host: every such request
    // must then have exactly the form that urlFor makes.
    bool isServerUrl(const QUrl& url) const;
};

// The rule that keeps every local file an origin of its own. A page shows its documents (the page,
// its frames and objects) under hosts of their own, and its pictures, style sheets, scripts, fonts
// and media from the loopback file server, whose origin differs from every document's: so a page
// can show other local files but its scripts can never read them. Scripts' own reads (fetch, XHR,
// event sources, workers, beacons) of any local file are refused; frames, objects and resources
// come only from the page's folder tree; no web page may load a local file. The web itself loads
// as in a browser.
class PageIsolation {
public:
    PageIsolation(DocumentHosts& hosts, FileServerAddress server);

    const FileServerAddress& fileServer() const { return server; }

    RequestVerdict judge(const QUrl& request, QWebEngineUrlRequestInfo::ResourceType type,
                         const QUrl& initiator,
                         QWebEngineUrlRequestInfo::NavigationType navigation);

private:
    RequestVerdict judgeServerRequest(const QUrl& request,
                                      QWebEngineUrlRequestInfo::ResourceType type,
                                      const std::string& initiatorHost);

    DocumentHosts& hosts;
    FileServerAddress server;
};

// Applies a PageIsolation to every request of a profile, and tells where it sends a navigation of
// the main frame that it redirects.
class IsolatingInterceptor : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    IsolatingInterceptor(std::unique_ptr<PageIsolation> isolation,
                         std::function<void(const QUrl& target)> mainFrameRedirected);
    ~IsolatingInterceptor() override;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;

private:
    std::unique_ptr<PageIsolation> isolation;
    std::function<void(const QUrl& target)> mainFrameRedirected;
};
