// The reference for the page benchmarks: a plain web view in a main window, nothing else, with the
// keys of the next and previous file of the folder.
// Usage: velmo_bare_viewer PAGE
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMainWindow>
#include <QShortcut>
#include <QUrl>
#include <QWebEngineSettings>
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
    QString path = QFile::decodeName(argv[1]);

    QMainWindow window;
    auto* view = new QWebEngineView(&window);
    window.setCentralWidget(view);
    // The pages of the benchmark tell its server on 127.0.0.1 when they have loaded.
    view->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, true);
    // Velmo's window size on a first start (no settings file): the same area to paint.
    window.resize(640, 480);

    // The next or previous file of the folder in name order, read at each key as Velmo does.
    const auto step = [&path, view](int direction) {
        const QFileInfo current(path);
        const QStringList names = current.dir().entryList(
            {QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files, QDir::Name);
        const qsizetype here = names.indexOf(current.fileName());
        if (here < 0 || here + direction < 0 || here + direction >= names.size())
            return;
        path = current.dir().filePath(names[here + direction]);
        view->load(QUrl::fromLocalFile(path));
    };
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageDown), &window),
                     &QShortcut::activated, &window, [step] { step(1); });
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_PageUp), &window),
                     &QShortcut::activated, &window, [step] { step(-1); });

    view->load(QUrl::fromLocalFile(path));
    window.show();
    return QApplication::exec();
}
