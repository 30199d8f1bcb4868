#include "Unit1/completed_page.h"
#include "platform/base/page_names.h"
#include "platform/files/folder_pages.h"
#include "platform/titles/name_from_title.h"
#include "platform/titles/page_title.h"
#include "platform/titles/title_search.h"
#include "platform/ui/application_title.h"
#include "platform/viewer/document_hosts.h"
#include "platform/viewer/file_url.h"
#include "platform/viewer/folder_listing.h"
#include "platform/viewer/loopback_file_server.h"
#include "platform/viewer/navigation_gate.h"
#include "platform/viewer/page_isolation.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <arpa/inet.h>
#include <fstream>
#include <netinet/in.h>
#include <set>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using ResourceType = QWebEngineUrlRequestInfo::ResourceType;
using NavigationType = QWebEngineUrlRequestInfo::NavigationType;
using PageNavigation = QWebEnginePage::NavigationType;
Q_DECLARE_METATYPE(ResourceType)
Q_DECLARE_METATYPE(NavigationType)
Q_DECLARE_METATYPE(PageNavigation)

namespace {

// A connection to a server on 127.0.0.1 that takes its answers one by one.
class ServerConnection {
public:
    explicit ServerConnection(int port) : fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(static_cast<uint16_t>(port));
        // Never waits for ever: an answer that does not come counts as none.
        timeval timeout{30, 0};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~ServerConnection() { ::close(fd); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;

    bool isConnected() const { return connected; }

    bool send(const QByteArray& bytes)
    {
        return ::send(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()),
                      MSG_NOSIGNAL) == bytes.size();
    }

    // The next answer, its head and the body its Content-Length gives; empty when the server
    // closes the connection first.
    QByteArray answer()
    {
        qsizetype headEnd;
        while ((headEnd = received.indexOf("\r\n\r\n")) < 0)
            if (!receiveMore())
                return {};
        const QByteArray head = received.left(headEnd);
        const qsizetype lengthAt = head.indexOf("\r\nContent-Length: ");
        const qsizetype length =
            lengthAt < 0 ? 0
                         : head.mid(lengthAt + 18, head.indexOf("\r", lengthAt + 2) - lengthAt - 18)
                               .toLongLong();
        while (received.size() < headEnd + 4 + length)
            if (!receiveMore())
                return {};
        const QByteArray whole = received.left(headEnd + 4 + length);
        received.remove(0, whole.size());
        return whole;
    }

private:
    bool receiveMore()
    {
        char buffer[4096];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            return false;
        received.append(buffer, n);
        return true;
    }

    int fd;
    bool connected = false;
    QByteArray received;
};

// The requests of a row, each ending with its empty line; a last one without it is cut short.
QByteArrayList requestsIn(const QByteArray& text)
{
    QByteArrayList requests;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype end = text.indexOf("\r\n\r\n", start);
        const qsizetype next = end < 0 ? text.size() : end + 4;
        requests << text.mid(start, next - start);
        start = next;
    }
    return requests;
}

// Makes the entries of a folder: "name" a file, "name/" a folder, "name->target" a link.
void makeEntries(const std::string& folder, const QByteArrayList& entries)
{
    for (const QByteArray& entry : entries) {
        const std::string text = entry.toStdString();
        const std::size_t arrow = text.find("->");
        if (arrow != std::string::npos)
            QCOMPARE(symlink(text.substr(arrow + 2).c_str(),
                             (folder + "/" + text.substr(0, arrow)).c_str()),
                     0);
        else if (text.back() == '/')
            QCOMPARE(mkdir((folder + "/" + text).c_str(), 0755), 0);
        else
            QVERIFY(std::ofstream(folder + "/" + text).good());
    }
}

// The entries a folder listing links to, in its order, the folder above left out.
QByteArrayList listedEntries(const QByteArray& listing)
{
    QByteArrayList entries;
    for (qsizetype at = 0; (at = listing.indexOf("<a href=\"", at)) >= 0;) {
        at += 9;
        const QByteArray href =
            QByteArray::fromPercentEncoding(listing.mid(at, listing.indexOf('"', at) - at));
        entries << href.mid(href.lastIndexOf('/', href.size() - 2) + 1);
    }
    return entries.mid(1);
}

} // namespace

class TestPageRules : public QObject {
    Q_OBJECT
private slots:
    void currentPageAfterDocumentComplete_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected"); // "=" when nothing changes
        QTest::newRow("%20 becomes a space") << "/d/My%20Pages/a.htm"
                                             << "" << QStringList{} << "/d/My Pages/a.htm";
        QTest::newRow("no other escape is decoded") << "/d/x%41.htm"
                                                    << "" << QStringList{} << "/d/x%41.htm";
        QTest::newRow("no re-scan of replaced text") << "/d/%2520%20%2020"
                                                     << "" << QStringList{} << "/d/%2520  20";
        QTest::newRow("jump within the page") << "/d/p.htm#top"
                                              << "/d/p.htm" << QStringList{} << "=";
        QTest::newRow("jump within a page with spaces") << "/d/a%20b.htm#top"
                                                        << "/d/a b.htm" << QStringList{} << "=";
        QTest::newRow("link to another page's anchor") << "/d/b.htm#part"
                                                       << "/d/a.htm" << QStringList{} << "/d/b.htm";
        QTest::newRow("a file named with %20 stays itself")
            << "/d/My%20Page.html"
            << "" << QStringList{"/d/My%20Page.html"} << "/d/My%20Page.html";
        QTest::newRow("a file named with #")
            << "/d/a#b.htm"
            << "/d/a#b.htm" << QStringList{"/d/a#b.htm"} << "/d/a#b.htm";
        QTest::newRow("anchor in a file named with #")
            << "/d/a#b.htm#top"
            << "/d/a#b.htm" << QStringList{"/d/a#b.htm"} << "=";
        QTest::newRow("anchor in another file named with #")
            << "/d/a#b.htm#top"
            << "/d/c.htm" << QStringList{"/d/a#b.htm"} << "/d/a#b.htm";
        QTest::newRow("web address") << "http://example.com/a%20b.html"
                                     << "" << QStringList{} << "http://example.com/a b.html";
        QTest::newRow("web anchor on the same page")
            << "http://example.com/a.html#x"
            << "http://example.com/a.html" << QStringList{} << "=";
        QTest::newRow("bare anchor") << "#x"
                                     << "/d/a.htm" << QStringList{} << "=";
    }
    void currentPageAfterDocumentComplete()
    {
        QFETCH(QString, address);
        QFETCH(QString, current);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        std::set<std::string> files;
        for (const QString& file : existing)
            files.insert(file.toStdString());
        const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
        const std::optional<std::string> page =
            pageAfterDocumentComplete(address.toStdString(), current.toStdString(), exists);
        if (expected == "=")
            QVERIFY2(!page, page ? page->c_str() : "");
        else
            QCOMPARE(QString::fromStdString(page.value_or("(unchanged)")), expected);
    }

    void localPathsTravelByteForByte_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("plain") << QByteArray("/d/page.htm");
        QTest::newRow("space and accents") << QByteArray("/d/\xC3\xa9t\xC3\xa9 x.htm");
        QTest::newRow("not valid UTF-8") << QByteArray("/d/\xE9t\xE9.htm");
        QTest::newRow("percent and hash") << QByteArray("/d/50%25 #1.htm");
        QTest::newRow("newline and question mark") << QByteArray("/d/a\nb?.htm");
        QTest::newRow("folder") << QByteArray("/d/e/");
    }
    void localPathsTravelByteForByte()
    {
        QFETCH(QByteArray, path);
        for (const QUrl& url :
             {pageUrlFor("d0123abc", path.toStdString()), fileUrlFor(path.toStdString())}) {
            QVERIFY(isLocalUrl(url));
            QCOMPARE(QByteArray::fromStdString(addressOfUrl(url)), path);
            QUrl withFragment = url;
            withFragment.setFragment("top");
            QCOMPARE(QByteArray::fromStdString(addressOfUrl(withFragment)), path + "#top");
        }
        QCOMPARE(pageUrlFor("d0123abc", path.toStdString()).host(), QString("d0123abc"));
    }

    void otherAddresses()
    {
        QCOMPARE(addressOfUrl(QUrl("https://example.com/a b.html#x")),
                 std::string("https://example.com/a%20b.html#x"));
        QCOMPARE(localPathOfUrl(QUrl("https://example.com/a")), std::string());
        QVERIFY(isWebArchive("/d/page.MHT") && isWebArchive("/d/p.mhtml"));
        QVERIFY(!isWebArchive("/d/mht.htm"));
    }

    // Requests are written with PAGE (the host of /t/site/page.htm, shown as a page), FRAME (a new
    // frame host for /t/site/page_files/f.htm), SERVER (the file server's address) and /t (a test
    // folder). "page", "frame" and "file" verdicts redirect to a new page host, a new frame host or
    // a file URL for the same path; "server:/path" to the file server for PAGE.
    void whatAPageMayLoad_data()
    {
        QTest::addColumn<QString>("request");
        QTest::addColumn<ResourceType>("type");
        QTest::addColumn<QString>("initiator");
        QTest::addColumn<QString>("verdict");
        QTest::addColumn<NavigationType>("navigation");
        using Info = QWebEngineUrlRequestInfo;
        const auto row = [](const char* name, const char* request, ResourceType type,
                            const char* initiator, const char* verdict,
                            NavigationType navigation = Info::NavigationTypeLink) {
            QTest::newRow(name) << request << type << initiator << verdict << navigation;
        };
        row("page the user opens", "vpage://PAGE/t/site/page.htm", Info::ResourceTypeMainFrame, "",
            "allow", Info::NavigationTypeTyped);
        row("a document of no origin opening a local file", "vpage://PAGE/t/site/page.htm",
            Info::ResourceTypeMainFrame, "", "block");
        row("a history step to a web archive", "file:///t/a.mht", Info::ResourceTypeMainFrame, "",
            "allow", Info::NavigationTypeBackForward);
        row("link to another page", "vpage://PAGE/t/other.htm", Info::ResourceTypeMainFrame,
            "vpage://PAGE", "page");
        row("link by a file address", "file:///t/other.htm", Info::ResourceTypeMainFrame,
            "vpage://PAGE", "page");
        row("web archive", "vpage://PAGE/t/a.MHT", Info::ResourceTypeMainFrame, "vpage://PAGE",
            "file");
        row("history step to the page", "vpage://PAGE/t/site/page.htm", Info::ResourceTypeMainFrame,
            "", "allow", Info::NavigationTypeBackForward);
        row("history step to a path a script gave the page", "vpage://PAGE/t/secret.txt",
            Info::ResourceTypeMainFrame, "", "block", Info::NavigationTypeBackForward);
        row("reload of a path a script gave the page", "vpage://PAGE/t/secret.txt",
            Info::ResourceTypeMainFrame, "vpage://PAGE", "block", Info::NavigationTypeReload);
        row("web page opening a local file", "vpage://PAGE/t/site/page.htm",
            Info::ResourceTypeMainFrame, "https://example.com", "block");
        row("frame of the folder tree", "vpage://PAGE/t/site/page_files/f.htm",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "frame");
        row("frame under its new host", "vpage://FRAME/t/site/page_files/f.htm",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "allow");
        row("the page framed under its own host", "vpage://PAGE/t/site/page.htm",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "frame");
        row("frame by a file address", "file:///t/site/page_files/f.htm",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "frame");
        row("frame outside the folder tree", "vpage://PAGE/t/secret.txt",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "block");
        row("frame through .. out of it", "vpage://PAGE/t/site/../secret.txt",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "block");
        row("frame through a link leading out", "vpage://PAGE/t/site/escape/secret.txt",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "block");
        row("object outside", "vpage://PAGE/t/secret.txt", Info::ResourceTypeObject, "vpage://PAGE",
            "block");
        row("picture of the folder tree", "vpage://PAGE/t/site/page_files/x.png",
            Info::ResourceTypeImage, "vpage://PAGE", "server:/t/site/page_files/x.png");
        row("style sheet by a file address", "file:///t/site/s.css", Info::ResourceTypeStylesheet,
            "vpage://PAGE", "server:/t/site/s.css");
        row("picture outside the folder tree", "vpage://PAGE/t/secret.png", Info::ResourceTypeImage,
            "vpage://PAGE", "block");
        row("style sheet of a hidden folder of the tree", "vpage://PAGE/t/site/.config/s.css",
            Info::ResourceTypeStylesheet, "vpage://PAGE", "block");
        row("frame of a hidden file of the tree", "vpage://PAGE/t/site/.netrc",
            Info::ResourceTypeSubFrame, "vpage://PAGE", "block");
        row("script read", "vpage://PAGE/t/site/a.json", Info::ResourceTypeXhr, "vpage://PAGE",
            "block");
        row("worker", "vpage://PAGE/t/site/w.js", Info::ResourceTypeWorker, "vpage://PAGE",
            "block");
        row("beacon", "file:///t/site/x", Info::ResourceTypePing, "vpage://PAGE", "block");
        row("local picture for a web page", "vpage://PAGE/t/site/x.png", Info::ResourceTypeImage,
            "https://example.com", "block");
        row("request of a host never issued", "vpage://dffff/t/site/x.png", Info::ResourceTypeImage,
            "vpage://dffff", "block");
        row("the page's picture on the server", "SERVER/PAGE/t/site/x.png", Info::ResourceTypeImage,
            "vpage://PAGE", "allow");
        row("the server read by a script", "SERVER/PAGE/t/site/x.png", Info::ResourceTypeXhr,
            "vpage://PAGE", "block");
        row("the server as a frame", "SERVER/PAGE/t/site/x.png", Info::ResourceTypeSubFrame,
            "vpage://PAGE", "block");
        row("the server outside the folder tree", "SERVER/PAGE/t/secret.png",
            Info::ResourceTypeImage, "vpage://PAGE", "block");
        row("the server for another document", "SERVER/dffff/t/site/x.png", Info::ResourceTypeImage,
            "vpage://PAGE", "block");
        for (const char* name : {"localhost", "localhost.", "LOCALHOST", "127.0.0.2", "[::1]",
                                 "[::ffff:127.0.0.1]", "0.0.0.0", "example.com"})
            QTest::addRow("the server's port on %s", name)
                << QString("http://%1:4321/s3cr3t/PAGE/t/site/x.png").arg(name)
                << Info::ResourceTypeImage << QString("vpage://PAGE") << QString("block")
                << Info::NavigationTypeLink;
        row("the server with a user name", "http://u@127.0.0.1:4321/s3cr3t/PAGE/t/site/x.png",
            Info::ResourceTypeImage, "vpage://PAGE", "block");
        row("the server for a web page", "SERVER/PAGE/t/site/x.png", Info::ResourceTypeImage,
            "https://example.com", "block");
        row("web picture", "https://example.com/x.png", Info::ResourceTypeImage, "vpage://PAGE",
            "allow");
        row("web read", "https://example.com/x", Info::ResourceTypeXhr, "vpage://PAGE", "allow");
        row("web frame", "https://example.com/", Info::ResourceTypeSubFrame, "vpage://PAGE",
            "allow");
    }
    void whatAPageMayLoad()
    {
        QFETCH(QString, request);
        QFETCH(ResourceType, type);
        QFETCH(QString, initiator);
        QFETCH(QString, verdict);
        QFETCH(NavigationType, navigation);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/page_files"));
        QVERIFY(QFile::link(dir.path(), dir.filePath("site/escape")));
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        DocumentHosts hosts;
        const std::string page = hosts.issue(folder + "/site/page.htm", folder + "/site/", false);
        const std::string frame =
            hosts.issue(folder + "/site/page_files/f.htm", folder + "/site/", true);
        const FileServerAddress server{4321, "s3cr3t", "k3y"};
        PageIsolation isolation(hosts, server);
        const auto filled = [&](QString text) {
            return QUrl(text.replace("SERVER", "http://127.0.0.1:4321/s3cr3t")
                            .replace("PAGE", QString::fromStdString(page))
                            .replace("FRAME", QString::fromStdString(frame))
                            .replace("/t/", dir.path() + "/"));
        };
        const QUrl url = filled(request);
        const RequestVerdict got = isolation.judge(url, type, filled(initiator), navigation);

        const std::string path = localPathOfUrl(url);
        using Kind = RequestVerdict::Kind;
        // The scheme handler serves a document only for a load the rule let through, and once.
        const std::string requestHost = url.host(QUrl::FullyEncoded).toStdString();
        const bool documentLoad = verdict == "allow" && url.scheme() == "vpage";
        QCOMPARE(hosts.takeLoad(requestHost, path).has_value(), documentLoad);
        QVERIFY(!hosts.takeLoad(requestHost, path));
        if (verdict == "allow" || verdict == "block") {
            QCOMPARE(got.kind, verdict == "allow" ? Kind::Allow : Kind::Block);
        } else if (verdict.startsWith("server:")) {
            QCOMPARE(got.kind, Kind::Redirect);
            QCOMPARE(got.target, server.urlFor(page, folder + verdict.mid(9).toStdString()));
        } else {
            QCOMPARE(got.kind, Kind::Redirect);
            QCOMPARE(localPathOfUrl(got.target), path);
            if (verdict == "file") {
                QVERIFY(got.target.isLocalFile());
                return;
            }
            // A new host, issued for that one document: the page's own host is never shared.
            const std::string host = got.target.host().toStdString();
            QVERIFY(host != page && host != frame);
            QCOMPARE(hosts.isPageOf(host, path), verdict == "page");
            QCOMPARE(hosts.claimFrame(host, path), verdict == "frame");
            QVERIFY(!hosts.claimFrame(host, path)); // a frame host serves one load
        }
    }

    // Which navigations of the main frame may show a local document. The page shown is
    // vpage://dpage/d/a.htm; "clicked" is the link the user clicked, if any, the delays how long
    // ago the user clicked or asked for a history step (-1: never).
    void whereThePageMayGo_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<PageNavigation>("type");
        QTest::addColumn<QString>("clicked");
        QTest::addColumn<int>("clickedAgo");
        QTest::addColumn<int>("historyAskedAgo");
        QTest::addColumn<bool>("ourRedirect");
        QTest::addColumn<bool>("accepted");
        using Page = QWebEnginePage;
        const QString b = "vpage://dpage/d/b.htm";
        const auto row = [](const char* name, const QString& target, PageNavigation type,
                            const QString& clicked, int clickedAgo, int historyAskedAgo,
                            bool ourRedirect, bool accepted) {
            QTest::newRow(name) << target << type << clicked << clickedAgo << historyAskedAgo
                                << ourRedirect << accepted;
        };
        row("the program's own load", b, Page::NavigationTypeTyped, "", -1, -1, false, true);
        row("a link the user clicks", b, Page::NavigationTypeLinkClicked, b, 100, -1, false, true);
        row("a link to a part of a page", b + "#x", Page::NavigationTypeLinkClicked, b + "#y", 100,
            -1, false, true);
        row("a link by a file address", "file:///d/b.htm", Page::NavigationTypeLinkClicked,
            "file:///d/b.htm", 100, -1, false, true);
        row("a script with no click", b, Page::NavigationTypeLinkClicked, "", -1, -1, false, false);
        row("a script going where a link goes, unclicked", b, Page::NavigationTypeLinkClicked, "",
            100, -1, false, false);
        row("a script after a click elsewhere", b, Page::NavigationTypeLinkClicked,
            "vpage://dpage/d/c.htm", 100, -1, false, false);
        row("a click long ago", b, Page::NavigationTypeLinkClicked, b, 5000, -1, false, false);
        row("a refresh or replace()", b, Page::NavigationTypeRedirect, b, 100, -1, false, false);
        row("the request rule's own redirect", b, Page::NavigationTypeRedirect, "", -1, -1, true,
            true);
        row("a form sent to a local file", b, Page::NavigationTypeFormSubmitted, b, 100, -1, false,
            false);
        row("a history step the user asks for", b, Page::NavigationTypeBackForward, "", -1, 100,
            false, true);
        row("a history step the user asked for, spent elsewhere", b,
            Page::NavigationTypeBackForward, "vpage://dpage/d/c.htm", -1, 100, false, false);
        row("a history step of a script", b, Page::NavigationTypeBackForward, "", 100, -1, false,
            false);
        row("the page shown, again", "vpage://dpage/d/a.htm#top", Page::NavigationTypeRedirect, "",
            -1, -1, false, true);
        row("a reload of another path", b, Page::NavigationTypeReload, "", -1, -1, false, false);
        row("anything to the web", "https://example.com/", Page::NavigationTypeOther, "", -1, -1,
            false, true);
    }
    void whereThePageMayGo()
    {
        QFETCH(QString, target);
        QFETCH(PageNavigation, type);
        QFETCH(QString, clicked);
        QFETCH(int, clickedAgo);
        QFETCH(int, historyAskedAgo);
        QFETCH(bool, ourRedirect);
        QFETCH(bool, accepted);
        NavigationGate gate;
        const auto now = NavigationGate::Clock::now();
        const auto ago = [&](int ms) { return now - std::chrono::milliseconds(ms); };
        if (clickedAgo >= 0) {
            gate.userActivated(ago(clickedAgo));
            if (!clicked.isEmpty())
                gate.linkClicked(QUrl(clicked), ago(clickedAgo));
        }
        if (historyAskedAgo >= 0)
            gate.historyStepAsked({QUrl(clicked.isEmpty() ? target : clicked)},
                                  ago(historyAskedAgo));
        if (ourRedirect)
            gate.redirectedTo(QUrl(target));
        const QUrl shown("vpage://dpage/d/a.htm");
        QCOMPARE(gate.accept(QUrl(target), type, shown, now), accepted);
        // What the user asked for, once, takes one navigation only.
        if (accepted && (clickedAgo >= 0 || historyAskedAgo >= 0 || ourRedirect))
            QVERIFY(!gate.accept(QUrl(target), type, shown, now));
    }

    // Raw requests to the loopback file server, several on one connection when a row has several:
    // the expected answer is that of the last one, the others must come whole before it. TARGET
    // stands for /SECRET/HOST/<test folder>, HOST being a document host of the folder tree site/.
    // "how" the last request goes: at once, a byte every tenth of a second ("trickled"), or while
    // other processes hold more idle connections to the server than it keeps ("among idle
    // connections"). Whatever the row, another connection meanwhile gets its picture.
    void fileServerAnswers_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");      // 0: the connection closed without an answer
        QTest::addColumn<QByteArray>("body"); // for 200 and 206
        QTest::addColumn<bool>("otherOriginsMayUse");
        QTest::addColumn<QByteArray>("type"); // for 200 and 206
        QTest::addColumn<QByteArray>("how");
        const auto get = [](const char* target, const char* destination, const char* more = "") {
            return QByteArray("GET ") + target +
                   " HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Language: "
                   "KEY\r\nSec-Fetch-Dest: " +
                   destination + "\r\n" + more + "\r\n";
        };
        const auto row = [](const char* name, const QByteArray& request, int status,
                            const char* body = "", const char* type = "", bool otherOrigins = false,
                            const char* how = "") {
            QTest::newRow(name) << request << status << QByteArray(body) << otherOrigins
                                << QByteArray(type) << QByteArray(how);
        };
        row("picture", get("TARGET/site/x.png", "image"), 200, "abcd", "image/png");
        row("compressed picture, sent as it is", get("TARGET/site/x.svgz", "image"), 200, "gz",
            "image/svg+xml");
        row("font, for other origins", get("TARGET/site/f.woff", "font"), 200, "font", "font/woff",
            true);
        row("name not valid UTF-8", get("TARGET/site/%E9.png", "image"), 200, "latin", "image/png");
        row("part of a picture", get("TARGET/site/x.png", "image", "Range: bytes=1-2\r\n"), 206,
            "bc", "image/png");
        row("text asked for as a style sheet", get("TARGET/site/notes.txt", "style"), 200, "text",
            "text/plain");
        row("unknown kind asked for as a script", get("TARGET/site/settings.env", "script"), 200,
            "env", "application/octet-stream");
        for (const char* name :
             {"localhost.:PORT", "localhost:PORT", "127.0.0.2:PORT", "[::1]:PORT", "127.0.0.1"})
            QTest::addRow("asked by the name %s", name)
                << QByteArray("GET TARGET/site/x.png HTTP/1.1\r\nHost: ") + name +
                       "\r\nSec-Fetch-Dest: image\r\n\r\n"
                << 404 << QByteArray() << false << QByteArray() << QByteArray();
        row("part beyond the end", get("TARGET/site/x.png", "image", "Range: bytes=9-\r\n"), 416);
        // The address of a picture, handed on by the page to another program.
        row("without the viewer's key",
            "GET TARGET/site/x.png HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nSec-Fetch-Dest: "
            "image\r\n\r\n",
            404);
        row("with another key", get("TARGET/site/x.png", "image", "Content-Language: 0123\r\n"),
            404);
        row("without the secret", get("/HOST/site/x.png", "image"), 404);
        row("with another secret", get("/0123/HOST/site/x.png", "image"), 404);
        row("for a document never shown", get("/SECRET/dffff/site/x.png", "image"), 404);
        row("outside the folder tree", get("TARGET/secret.txt", "image"), 404);
        row("through a link leading out", get("TARGET/site/escape/secret.txt", "image"), 404);
        row("a hidden file of the tree", get("TARGET/site/.config/x.png", "image"), 404);
        row("through a link to a hidden folder", get("TARGET/site/shown/x.png", "image"), 404);
        row("through ..", get("TARGET/site/../secret.txt", "image"), 404);
        row("through an encoded ..", get("TARGET/site/%2E%2E/secret.txt", "image"), 404);
        row("a FIFO", get("TARGET/site/pipe", "image"), 404);
        row("a folder", get("TARGET/site/", "image"), 404);
        row("as a document", get("TARGET/site/x.png", "document"), 403);
        row("as a frame", get("TARGET/site/x.png", "iframe"), 403);
        row("to a script's fetch", get("TARGET/site/x.png", "empty"), 403);
        row("without a destination",
            "GET TARGET/site/x.png HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Language: "
            "KEY\r\n\r\n",
            403);
        row("another method", "POST TARGET/site/x.png HTTP/1.1\r\nSec-Fetch-Dest: image\r\n\r\n",
            405);
        row("not HTTP", "hello\r\n\r\n", 400);
        row("pictures one after another on one connection",
            get("TARGET/site/x.png", "image") + get("TARGET/site/f.woff", "font") +
                get("TARGET/site/%E9.png", "image"),
            200, "latin", "image/png");
        row("a part after a whole picture on one connection",
            get("TARGET/site/x.png", "image") +
                get("TARGET/site/x.png", "image", "Range: bytes=1-2\r\n"),
            206, "bc", "image/png");
        row("a picture after a refused request on one connection",
            get("/HOST/site/x.png", "image") + get("TARGET/site/x.png", "image"), 200, "abcd",
            "image/png");
        row("nothing after the connection's close",
            get("TARGET/site/x.png", "image", "Connection: close\r\n") +
                get("TARGET/site/x.png", "image"),
            0);
        row("a head cut short", "GET TARGET/site/x.png HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\n", 0);
        row("a head trickled", get("TARGET/site/x.png", "image"), 0, "", "", false, "trickled");
        row("a picture among idle connections of others", get("TARGET/site/x.png", "image"), 200,
            "abcd", "image/png", false, "among idle connections");
    }
    void fileServerAnswers()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(bool, otherOriginsMayUse);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, how);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/.config"));
        QVERIFY(QFile::link(dir.filePath("site/.config"), dir.filePath("site/shown")));
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        for (const auto& [name, content] :
             std::initializer_list<std::pair<std::string, const char*>>{
                 {"/site/x.png", "abcd"},
                 {"/site/f.woff", "font"},
                 {"/site/x.svgz", "gz"},
                 {"/site/\xE9.png", "latin"},
                 {"/site/notes.txt", "text"},
                 {"/site/settings.env", "env"},
                 {"/site/.config/x.png", "hidden"},
                 {"/secret.txt", "secret"}}) {
            FILE* file = std::fopen((folder + name).c_str(), "w");
            QVERIFY(file);
            std::fputs(content, file);
            std::fclose(file);
        }
        // A name that is not UTF-8 goes with the temporary folder only through its bytes.
        const auto removeLatinName =
            qScopeGuard([&] { ::unlink((folder + "/site/\xE9.png").c_str()); });
        QVERIFY(QFile::link(dir.path(), dir.filePath("site/escape")));
        QCOMPARE(::mkfifo((folder + "/site/pipe").c_str(), 0600), 0);
        LoopbackFileServer server([&](const std::string& host) -> std::optional<std::string> {
            if (host == "dpage")
                return folder + "/site/";
            return std::nullopt;
        });
        QVERIFY(server.port() > 0);
        const QByteArray target = "/" + QByteArray::fromStdString(server.secret()) + "/dpage" +
                                  QFile::encodeName(dir.path()).toPercentEncoding("/");
        const auto filled = [&](QByteArray text) {
            return text.replace("TARGET", target)
                .replace("SECRET", QByteArray::fromStdString(server.secret()))
                .replace("KEY", QByteArray::fromStdString(server.key()))
                .replace("HOST", "dpage")
                .replace("PORT", QByteArray::number(server.port()));
        };

        std::vector<std::unique_ptr<ServerConnection>> idle;
        if (how == "among idle connections")
            for (int i = 0; i < 300; ++i)
                idle.push_back(std::make_unique<ServerConnection>(server.port()));
        ServerConnection connection(server.port());
        QVERIFY(connection.isConnected());
        const QByteArrayList requests = requestsIn(filled(request));
        for (qsizetype i = 0; i + 1 < requests.size(); ++i) {
            QVERIFY(connection.send(requests[i]));
            QVERIFY2(connection.answer().startsWith("HTTP/1.1 "), requests[i].constData());
        }
        const QByteArray last = requests.last();
        connection.send(last.left(1));
        // Nothing that this connection does holds back another.
        ServerConnection other(server.port());
        QVERIFY(other.send(filled(
            "GET TARGET/site/x.png HTTP/1.1\r\nHost: 127.0.0.1:PORT\r\nContent-Language: KEY\r\n"
            "Sec-Fetch-Dest: image\r\n\r\n")));
        QVERIFY(other.answer().startsWith("HTTP/1.1 200 "));
        if (how == "trickled") {
            for (qsizetype i = 1; i < last.size() && connection.send(last.mid(i, 1)); ++i)
                QTest::qSleep(100);
        } else {
            connection.send(last.mid(1));
        }

        const QByteArray answer = connection.answer();
        if (status == 0) {
            QVERIFY2(answer.isEmpty(), answer.constData());
            return;
        }
        const qsizetype headEnd = answer.indexOf("\r\n\r\n");
        QVERIFY2(headEnd > 0, answer.constData());
        const QByteArray head = answer.left(headEnd);
        QVERIFY2(head.startsWith("HTTP/1.1 " + QByteArray::number(status) + " "), head.constData());
        if (status == 200 || status == 206) {
            QCOMPARE(answer.mid(headEnd + 4), body);
            QVERIFY2(head.contains("\r\nContent-Type: " + type + "\r\n"), head.constData());
            QVERIFY(head.contains("\r\nX-Content-Type-Options: nosniff\r\n"));
            QCOMPARE(head.contains("\r\nContent-Encoding: gzip\r\n"), request.contains(".svgz"));
        }
        QCOMPARE(head.contains("\r\nAccess-Control-Allow-Origin:"), otherOriginsMayUse);
    }

    void pagesOfAFolderInOrder_data()
    {
        QTest::addColumn<QByteArrayList>("entries");
        QTest::addColumn<QByteArrayList>("pages");
        QTest::newRow("letters without regard to case")
            << QByteArrayList{"b.htm", "C.htm", "A.htm"}
            << QByteArrayList{"A.htm", "b.htm", "C.htm"};
        QTest::newRow("numbers by their value")
            << QByteArrayList{"c 10.htm", "c 100.htm", "c 9.htm"}
            << QByteArrayList{"c 9.htm", "c 10.htm", "c 100.htm"};
        QTest::newRow("a dot before any other character")
            << QByteArrayList{"B2.HTML", "a1.htm", "a-b.htm", "a b.htm",
                              "a_b.htm", "b.htm",  "a.htm"}
            << QByteArrayList{"a.htm",  "a b.htm", "a_b.htm", "a-b.htm",
                              "a1.htm", "b.htm",   "B2.HTML"};
        QTest::newRow("accents beside their letter")
            << QByteArrayList{"f.htm", "\xc3\xa9t\xc3\xa9.htm", "e.htm"}
            << QByteArrayList{"e.htm", "\xc3\xa9t\xc3\xa9.htm", "f.htm"};
        QTest::newRow("names that are not UTF-8 are kept, in a fixed order")
            << QByteArrayList{"\xe9t\xe9.htm", "a.htm", "\xe8t\xe9.htm"}
            << QByteArrayList{"a.htm", "\xe8t\xe9.htm", "\xe9t\xe9.htm"};
        QTest::newRow("names alike but for case go by their bytes")
            << QByteArrayList{"a.htm", "A.htm"} << QByteArrayList{"A.htm", "a.htm"};
        QTest::newRow("every page extension in any case, no other file")
            << QByteArrayList{"a.HTM",   "b.Html", "c.shtml",   "d.XHTML", "e.xht", "f.mht",
                              "g.MHTML", "h.txt",  "i.htm.bak", "j",       "k.png", "lhtm"}
            << QByteArrayList{"a.HTM", "b.Html", "c.shtml", "d.XHTML", "e.xht", "f.mht", "g.MHTML"};
        QTest::newRow("no folder, companion or not")
            << QByteArrayList{"a.htm", "a_files/", "b.htm/", "c.html"}
            << QByteArrayList{"a.htm", "c.html"};
        QTest::newRow("a link to a page counts, a dangling one does not")
            << QByteArrayList{"a.htm", "b.htm->a.htm", "c.htm->gone.htm", "d.htm->a_files",
                              "a_files/"}
            << QByteArrayList{"a.htm", "b.htm"};
        QTest::newRow("an empty folder") << QByteArrayList{} << QByteArrayList{};
    }
    void pagesOfAFolderInOrder()
    {
        QFETCH(QByteArrayList, entries);
        QFETCH(QByteArrayList, pages);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        makeEntries(folder, entries);
        QByteArrayList found;
        for (const std::string& name : pagesOfFolder(folder))
            found << QByteArray::fromStdString(name);
        QCOMPARE(found, pages);
        // Taken one by one, the pages come in the same order both ways.
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const std::string page = folder + "/" + pages[i].toStdString();
            const auto next = neighbourPage(page, PageStep::Next);
            const auto previous = neighbourPage(page, PageStep::Previous);
            QCOMPARE(next.value_or(""),
                     i + 1 < pages.size() ? folder + "/" + pages[i + 1].toStdString() : "");
            QCOMPARE(previous.value_or(""), i > 0 ? folder + "/" + pages[i - 1].toStdString() : "");
        }
        // The folder's listing: sub-folders first, then its files, the pages in the same order.
        const QByteArrayList listed =
            listedEntries(folderListing(folder, [](const std::string&) { return QString(); }));
        QByteArrayList listedPages;
        for (qsizetype i = 0; i < listed.size(); ++i) {
            QVERIFY(listed[i].endsWith('/') || i + 1 == listed.size() ||
                    !listed[i + 1].endsWith('/'));
            if (pages.contains(listed[i]))
                listedPages << listed[i];
        }
        QCOMPARE(listedPages, pages);
        // Names that are not UTF-8 go with the temporary folder only through their bytes.
        for (const std::string& name : pagesOfFolder(folder))
            unlink((folder + "/" + name).c_str());
    }

    void neighbourOfAPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("next");     // empty: none
        QTest::addColumn<QString>("previous"); // empty: none
        QTest::newRow("a page that vanished: where its name sorts") << "b.htm"
                                                                    << "c 10.htm"
                                                                    << "a.htm";
        QTest::newRow("a file that is no page") << "b.txt"
                                                << "c 10.htm"
                                                << "a.htm";
        QTest::newRow("a folder: before its own first page") << "a_files"
                                                             << "a_files/x.htm"
                                                             << "";
        QTest::newRow("before every page") << "0.htm"
                                           << "a.htm"
                                           << "";
        QTest::newRow("after every page") << "z.htm"
                                          << ""
                                          << "c 10.htm";
        QTest::newRow("a folder's path, no name") << ""
                                                  << "a.htm"
                                                  << "";
    }
    void neighbourOfAPlace()
    {
        QFETCH(QString, place);
        QFETCH(QString, next);
        QFETCH(QString, previous);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
        makeEntries(folder, {"a.htm", "a_files/", "a_files/x.htm", "c 10.htm", "b.txt"});
        const std::string at = folder + place.toStdString();
        const auto expected = [&](const QString& name) {
            return name.isEmpty() ? std::optional<std::string>() : folder + name.toStdString();
        };
        QCOMPARE(neighbourPage(at, PageStep::Next), expected(next));
        QCOMPARE(neighbourPage(at, PageStep::Previous), expected(previous));
        // The folder is read at each call: a page added meanwhile counts.
        makeEntries(folder, {"b1.htm"});
        QCOMPARE(neighbourPage(folder + "c 10.htm", PageStep::Previous), folder + "b1.htm");
    }

    void neighbourOfWhatIsNoPath()
    {
        QCOMPARE(neighbourPage("", PageStep::Next), std::nullopt);
        QCOMPARE(neighbourPage("http://example.com/a.htm", PageStep::Next), std::nullopt);
        QCOMPARE(neighbourPage("a.htm", PageStep::Previous), std::nullopt);
    }

    void titleOfAPage_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("title"); // empty: none
        const auto utf16le = [](const QString& text) {
            QByteArray bytes("\xFF\xFE");
            for (QChar c : text)
                bytes.append(char(c.unicode() & 0xFF)).append(char(c.unicode() >> 8));
            return bytes;
        };
        QTest::newRow("UTF-8 declared")
            << QByteArray("a.htm")
            << QByteArray("<meta charset=\"utf-8\"><title>\xC3\x89glise "
                          "d'\xC3\xA9t\xC3\xA9</title>")
            << "\u00c9glise d'\u00e9t\u00e9";
        QTest::newRow("UTF-8 byte order mark, over a contrary meta")
            << QByteArray("a.html")
            << QByteArray("\xEF\xBB\xBF<meta charset=windows-1252><title>\xC3\x89t\xC3\xA9</title>")
            << "\u00c9t\u00e9";
        QTest::newRow("UTF-16 byte order mark")
            << QByteArray("a.htm") << utf16le("<title>\u00c9t\u00e9 \u6771\u4eac</title>")
            << "\u00c9t\u00e9 \u6771\u4eac";
        QTest::newRow("meta charset, Windows-1252")
            << QByteArray("a.htm")
            << QByteArray("<meta charset='windows-1252'><title>\x80 caf\xE9 \x93ok\x94</title>")
            << "\u20ac caf\u00e9 \u201cok\u201d";
        QTest::newRow("http-equiv content type")
            << QByteArray("a.htm")
            << QByteArray("<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
                          "charset=ISO-8859-15\"><title>\xA4 5</title>")
            << "\u20ac 5";
        QTest::newRow("http-equiv content type, unquoted, Cyrillic")
            << QByteArray("a.htm")
            << QByteArray("<meta http-equiv=content-type content='text/html;charset=koi8-r'>"
                          "<title>\xF0\xD2\xC9\xD7\xC5\xD4</title>")
            << "\u041f\u0440\u0438\u0432\u0435\u0442";
        QTest::newRow("nothing declared: Windows-1252")
            << QByteArray("a.htm") << QByteArray("<title>caf\xE9 \x96 menu</title>")
            << "caf\u00e9 \u2013 menu";
        QTest::newRow("a Latin-1 label is read as Windows-1252")
            << QByteArray("a.htm") << QByteArray("<meta charset=iso-8859-1><title>\x85</title>")
            << "\u2026";
        QTest::newRow("an unknown charset: Windows-1252")
            << QByteArray("a.htm") << QByteArray("<meta charset=martien><title>\xE9</title>")
            << "\u00e9";
        QTest::newRow("character references")
            << QByteArray("a.htm")
            << QByteArray("<title>Tom &amp; Jerry &eacute;t&#233; &#x2014; &lt;b&gt; &copy2023 "
                          "&#150; &bogus; a&nbsp;b &</title>")
            << "Tom & Jerry \u00e9t\u00e9 \u2014 <b> \u00a92023 \u2013 &bogus; a\u00a0b &";
        QTest::newRow("white space collapsed")
            << QByteArray("a.htm")
            << QByteArray("<title>\n  Un\t titre \r\n sur  deux lignes </title>")
            << "Un titre sur deux lignes";
        QTest::newRow("a title past the first kilobytes")
            << QByteArray("a.htm")
            << "<head><style>" + QByteArray(20000, 'x') + "</style><title>Loin</title>"
            << "Loin";
        QTest::newRow("comments and scripts before the title")
            << QByteArray("a.htm")
            << QByteArray(
                   "<!-- <title>Non</title> --><script>document.write('<title>Non</title>')"
                   "</script><style>/*<title>Non</title>*/</style><TITLE lang=fr>Oui</TITLE>")
            << "Oui";
        QTest::newRow("a title cut short by the end of the file")
            << QByteArray("a.htm") << QByteArray("<title>Sans fin") << "Sans fin";
        QTest::newRow("no title") << QByteArray("a.htm")
                                  << QByteArray("<html><body><h1>Rien</h1></body></html>") << "";
        QTest::newRow("an empty title")
            << QByteArray("a.htm") << QByteArray("<title> \n </title><h1>Rien</h1>") << "";
        QTest::newRow("web archive: encoded-words")
            << QByteArray("a.mht")
            << QByteArray("From: <Saved by Blink>\r\nSubject: =?utf-8?Q?L'=C3=89glise_du?=\r\n "
                          "=?utf-8?B?IHZpbGxhZ2U=?=\r\nMIME-Version: 1.0\r\n\r\n<title>Non</title>")
            << "L'\u00c9glise du village";
        QTest::newRow("web archive: plain words around one in Latin-1")
            << QByteArray("b.MHTML")
            << QByteArray("subject: Menu =?iso-8859-1?q?caf=E9?= du jour\nDate: x\n\n")
            << "Menu caf\u00e9 du jour";
        QTest::newRow("web archive without subject")
            << QByteArray("c.mht") << QByteArray("From: x\r\n\r\nSubject: Non\r\n") << "";
        QTest::newRow("not HTML at all")
            << QByteArray("image.htm")
            << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\x01\0\xff<t", 24) << "";
    }
    void titleOfAPage()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, content);
        QFETCH(QString, title);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
        QVERIFY(std::ofstream(folder + name.toStdString()) << content.toStdString());
        QCOMPARE(readPageTitle(folder + name.toStdString()), title);
        // The folder's listing shows it beside the page's name.
        const QString listing = QString::fromUtf8(folderListing(folder, readPageTitle));
        QVERIFY(listing.contains(
            QString("%1</a>%2</li>")
                .arg(QString(name),
                     title.isEmpty() ? QString() : " <span>" + title.toHtmlEscaped() + "</span>")));
    }

    void whatIsNoPageHasNoTitle()
    {
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        QVERIFY(QDir(dir.path()).mkdir("f.htm"));
        QCOMPARE(readPageTitle(folder + "/f.htm"), QString());
        QCOMPARE(readPageTitle(folder + "/absent.htm"), QString());
        QCOMPARE(mkfifo((folder + "/fifo.htm").c_str(), 0600), 0);
        QCOMPARE(readPageTitle(folder + "/fifo.htm"), QString()); // and does not wait for a writer
    }

    void searchByWords_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("found");
        QTest::newRow("accents ignored") << "\u00c9glise Saint-Jean"
                                         << "a.htm"
                                         << "eglise" << true;
        QTest::newRow("accents typed, none in the title") << "Eglise"
                                                          << "a.htm"
                                                          << "\u00c9GLISE" << true;
        QTest::newRow("case ignored") << "RECETTES"
                                      << "x.htm"
                                      << "recettes" << true;
        QTest::newRow("several words, any order") << "Tarte aux pommes"
                                                  << "t.htm"
                                                  << "pommes  tarte" << true;
        QTest::newRow("words in the title and in the name") << "Tarte aux pommes"
                                                            << "recette-2019.htm"
                                                            << "pommes 2019" << true;
        QTest::newRow("one word missing") << "Tarte aux pommes"
                                          << "t.htm"
                                          << "tarte poires" << false;
        QTest::newRow("no title: the name alone") << ""
                                                  << "\u0152uvres compl\u00e8tes.htm"
                                                  << "oeuvres completes" << true;
        QTest::newRow("typographic apostrophe") << "L\u2019\u00e9t\u00e9"
                                                << "a.htm"
                                                << "l'ete" << true;
        QTest::newRow("a word across title and name") << "Tarte"
                                                      << "aux.htm"
                                                      << "tarteaux" << false;
        QTest::newRow("no match") << "Tarte"
                                  << "t.htm"
                                  << "zut" << false;
        QTest::newRow("nothing typed: every page") << "Tarte"
                                                   << "t.htm"
                                                   << "  " << true;
    }
    void searchByWords()
    {
        QFETCH(QString, title);
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(bool, found);
        QCOMPARE(containsEveryWord(searchKey(title, name), searchWords(typed)), found);
    }

    void nameAfterTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QByteArray>("current");
        QTest::addColumn<QString>("name");
        QTest::newRow("refused characters become spaces")
            << "Q&R: \"quoi?\" <oui>|non\\ou/pas*" << QByteArray("a.htm")
            << "Q&R quoi oui non ou pas.htm";
        QTest::newRow("control characters and other white space")
            << "a\tb\nc\x01"
               "d\u00a0e"
            << QByteArray("a.htm") << "a b c d e.htm";
        QTest::newRow("no space or dot at either end")
            << "  ...Le titre. " << QByteArray("a.htm") << "Le titre.htm";
        QTest::newRow("accents kept") << "\u00c9glise d'\u00e9t\u00e9" << QByteArray("a.htm")
                                      << "\u00c9glise d'\u00e9t\u00e9.htm";
        QTest::newRow("the extension as it is")
            << "Titre" << QByteArray("a.b.HTML") << "Titre.HTML";
        QTest::newRow("no extension") << "Titre" << QByteArray("page") << "Titre";
        QTest::newRow("a 300-byte title fits 255 bytes, extension kept")
            << QString(150, u'\u00e9') << QByteArray("a.htm") << QString(125, u'\u00e9') + ".htm";
        QTest::newRow("a cut that leaves a space at the end")
            << QString(250, u'a') + " bbbbbbbbbb" << QByteArray("a.htm")
            << QString(250, u'a') + ".htm";
        QTest::newRow("a non-Latin script, cut between characters")
            << QString(100, u'\u65e5') << QByteArray("a.htm") << QString(83, u'\u65e5') + ".htm";
        QTest::newRow("no title: the current name")
            << "" << QByteArray("caf\xE9.htm") << "caf\uFFFD.htm";
        QTest::newRow("nothing left of the title") << " ?*. " << QByteArray("a.htm") << "a.htm";
    }
    void nameAfterTitle()
    {
        QFETCH(QString, title);
        QFETCH(QByteArray, current);
        QFETCH(QString, name);
        const std::string made = nameFromTitle(title, current.toStdString());
        QVERIFY(made.size() <= 255);
        QCOMPARE(QString::fromStdString(made), name);
        if (title.isEmpty())
            QCOMPARE(made, current.toStdString()); // byte for byte
    }

    void applicationTitle_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("title");
        QTest::newRow("extensions cut, rest lowered") << "/opt/ABC.DEF.EXE"
                                                      << "Abc";
        QTest::newRow("first letter kept as it is") << "/usr/bin/velmo"
                                                    << "velmo";
        QTest::newRow("capital first letter") << "/x/VELMO"
                                              << "Velmo";
        QTest::newRow("dot in a folder does not count") << "/a.b/Prog"
                                                        << "Prog";
        QTest::newRow("accented capitals lowered") << "/x/\u00c9T\u00c9"
                                                   << "\u00c9t\u00e9";
    }
    void applicationTitle()
    {
        QFETCH(QString, executable);
        QFETCH(QString, title);
        QCOMPARE(applicationTitleFor(QFile::encodeName(executable).toStdString()), title);
    }
};

QTEST_GUILESS_MAIN(TestPageRules)
#include "tst_page_rules.moc"
