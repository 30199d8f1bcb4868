// The reference for the start-up benchmark: a plain web view in a main window, nothing else.
// Usage: velmo_bare_viewer PAGE
#include <QApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QUrl>
#include <QWebEngineView>

#include <unistd.h>

int main(int argc, char* argv[])
{
    // The same engine environment as Velmo's own start, so that only the program itself differs.
    if (::geteuid() == 0)
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains("--log-level"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + " --log-level=3").trimmed());
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);

    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString path = QFile::decodeName(argv[1]);

    QMainWindow window;
    auto* view = new QWebEngineView(&window);
    window.setCentralWidget(view);
    // Velmo's window size on a first start (no settings file): the same area to paint.
    window.resize(640, 480);
    // The title becomes the page's path once it has loaded, as Velmo's does.
    QObject::connect(view, &QWebEngineView::loadFinished, &window,
                     [&window, path] { window.setWindowTitle(path); });
    view->load(QUrl::fromLocalFile(path));
    window.show();
    return QApplication::exec();
}
