#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/files/file_operation.h"
#include "platform/ui/french_translations.h"
#include "platform/viewer/web_engine_browser.h"
#include "support/fileops_support.h"
#include "support/scripted_dialogs.h"
#include "support/web_test_main.h"

#include <QCheckBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <memory>

namespace {

constexpr int loadTimeout = 30000;

const QString stopDialogs =
    QStringLiteral("&Empêcher cette page d'ouvrir d'autres boîtes de dialogue");

// Answers the page's dialogs as a user would: accepts each, and ticks the check box that stops
// the page's dialogs as soon as one offers it. What each dialog offered is kept.
struct DialogAnswerer {
    QTimer poll;
    QStringList titles;
    QList<bool> offeredStop;

    DialogAnswerer()
    {
        QObject::connect(&poll, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || !dialog->isVisible())
                return;
            titles << dialog->windowTitle();
            QCheckBox* stop = nullptr;
            for (auto* box : dialog->findChildren<QCheckBox*>())
                if (box->text() == stopDialogs && box->isVisible())
                    stop = box;
            offeredStop << (stop != nullptr);
            if (stop)
                stop->setChecked(true);
            if (auto* buttons = dialog->findChild<QDialogButtonBox*>())
                for (QAbstractButton* button : buttons->buttons())
                    if (buttons->buttonRole(button) == QDialogButtonBox::AcceptRole) {
                        button->click();
                        return;
                    }
            dialog->accept();
        });
        poll.start(20);
    }
};

} // namespace

// Pages that try to keep the user from the window's commands: whatever they do, after at most two
// answers the file commands reach the page shown and the program quits.
class TestHostilePages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installFrenchTranslations(*QCoreApplication::instance()); }

    void commandsStayReachable_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<bool>("click");        // the user clicks the page once it shows
        QTest::addColumn<int>("answers");       // dialogs the user answers
        QTest::addColumn<QString>("shown");     // the file shown at the end; empty: never completes
        QTest::addColumn<QString>("pageTitle"); // what the page's script writes as its title

        QTest::newRow("alert loop")
            << QByteArray("var n = 0; for (var i = 0; i < 100; i++) { alert('Message ' + i); n++; }"
                          " document.title = n;")
            << false << 2 << "page.htm"
            << "100";
        QTest::newRow("confirm loop")
            << QByteArray("var yes = 0; for (var i = 0; i < 100; i++) if (confirm('Encore ?'))"
                          " yes++; document.title = yes;")
            << false << 2 << "page.htm"
            << "2";
        QTest::newRow("prompt loop")
            << QByteArray("var given = 0; for (var i = 0; i < 100; i++) if (prompt('Nom ?', 'x')"
                          " !== null) given++; document.title = given;")
            << false << 2 << "page.htm"
            << "2";
        QTest::newRow("pop-up burst on load")
            << QByteArray("var opened = 0; for (var i = 0; i < 50; i++) if"
                          " (window.open('about:blank')) opened++; document.title = opened;")
            << false << 0 << "page.htm"
            << "0";
        // A click that is not on a link to it never lets the page choose a local file.
        QTest::newRow("pop-up on a click")
            << QByteArray("document.onclick = () => { window.open('other.htm');"
                          " document.title = 'stayed'; };")
            << true << 0 << "page.htm"
            << "stayed";
        QTest::newRow("endless loop") << QByteArray("document.title = 'busy'; for (;;) {}") << false
                                      << 0 << QString() << "busy";
        // Once the page's dialogs are stopped, the leave-page question lets the page go unasked.
        QTest::newRow("onbeforeunload")
            << QByteArray("onbeforeunload = e => { e.preventDefault(); return e.returnValue ="
                          " 'Rester ?'; }; document.onclick = () => { alert(1); alert(2);"
                          " document.title = 'asked'; };")
            << true << 2 << "page.htm"
            << "asked";
        // Sent to another local file while it loads, the page stays the current page.
        QTest::newRow("a local file while loading")
            << QByteArray("document.title = 'sent'; location = 'other.htm';") << false << 0
            << "page.htm"
            << "sent";
        QTest::newRow("reload loop")
            << QByteArray("if (sessionStorage.shown) document.title = 'again';"
                          " sessionStorage.shown = 1; onload = () => location.reload();")
            << false << 0 << QString() << "again";
        QTest::newRow("print loop")
            << QByteArray("for (var i = 0; i < 100; i++) window.print(); document.title ="
                          " 'printed';")
            << false << 0 << "page.htm"
            << "printed";
        QTest::newRow("window.close")
            << QByteArray("window.close(); document.title = 'open';") << false << 0 << "page.htm"
            << "open";
        QTest::newRow("fullscreen request")
            << QByteArray("document.onclick = () => document.documentElement.requestFullscreen()"
                          ".catch(() => document.title = 'refused');")
            << true << 0 << "page.htm"
            << "refused";
    }

    void commandsStayReachable()
    {
        QFETCH(QByteArray, script);
        QFETCH(bool, click);
        QFETCH(int, answers);
        QFETCH(QString, shown);
        QFETCH(QString, pageTitle);

        FreshHome home;
        QVERIFY(home.isValid());
        const QString folder = QString::fromStdString(home.path()) + "/pages";
        QVERIFY(QDir().mkpath(folder));
        const QString page = folder + "/page.htm";
        writeFile(page, "<html><body style=\"height: 2000px\"><p>page</p><script>" + script +
                            "</script></body></html>");
        writeFile(folder + "/other.htm",
                  "<html><head><title>other</title></head><body>other</body></html>");

        ScriptedDialogs dialogs;
        ScriptedFileDialogs fileDialogs;
        TForm1Services services;
        WebEngineBrowser* viewer = nullptr;
        services.makeViewer = [&](QWidget* parent) {
            return viewer = new WebEngineBrowser(parent);
        };
        services.dialogs = &dialogs;
        services.fileOperation = [&](const FileOperationRequest& request) {
            return runFileOperation(request, fileDialogs);
        };
        services.executablePath = home.path() + "/velmo";
        services.arguments = {QFile::encodeName(page).toStdString()};
        services.screen = {1024, 768};
        DialogAnswerer answerer;
        auto form = std::make_unique<TForm1>(std::move(services));
        std::string completed;
        QObject::connect(viewer, &WebBrowser::DocumentComplete,
                         [&](const std::string& address) { completed = address; });
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        QWebEnginePage* shownPage = viewer->view()->page();

        if (click) {
            QTRY_COMPARE_WITH_TIMEOUT(QFile::decodeName(completed.c_str()), page, loadTimeout);
            QTest::mouseClick(viewer->view()->focusProxy(), Qt::LeftButton, Qt::NoModifier,
                              QPoint(50, 50));
        }
        QTRY_COMPARE_WITH_TIMEOUT(shownPage->title(), pageTitle, loadTimeout);
        // The title names the file the commands act on, also for a page that never completes.
        const QString current = shown.isEmpty() ? page : folder + "/" + shown;
        QTRY_COMPARE_WITH_TIMEOUT(form->windowTitle(), current, loadTimeout);
        QCOMPARE(Fichier_Courant, QFile::encodeName(current).toStdString());

        // The user's keys reach the menu: delete the page shown, then quit.
        pressOnWindow(*form, Qt::Key_S);
        const QString trashed =
            QString::fromStdString(home.trash()) + "/files/" + QFileInfo(current).fileName();
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(trashed), loadTimeout);
        QVERIFY(!QFile::exists(current));
        QVERIFY(fileDialogs.errors.empty());
        QCOMPARE(form->windowTitle(), QString());
        QVERIFY(Fichier_Courant.empty());
        // The viewer let go of the page, unless the page holds its renderer for ever.
        if (!shown.isEmpty())
            QTRY_COMPARE_WITH_TIMEOUT(shownPage->history()->currentItem().url(),
                                      QUrl("about:blank"), loadTimeout);

        pressOnWindow(*form, Qt::Key_Q);
        QTRY_VERIFY_WITH_TIMEOUT(!form->isVisible(), loadTimeout);
        form.reset();
        QVERIFY(QFile::exists(QString::fromStdString(home.path()) + "/velmo.INI"));

        QVERIFY2(answerer.titles.size() == answers, qPrintable(answerer.titles.join(" | ")));
        for (int i = 0; i < answerer.offeredStop.size(); ++i)
            QCOMPARE(answerer.offeredStop[i], i >= 1);
        QVERIFY(dialogs.errors.empty());
    }

private:
    // Alt and a menu letter, once no dialog is left and the window manager has given the window
    // back its focus.
    static void pressOnWindow(TForm1& form, Qt::Key letter)
    {
        QTRY_VERIFY_WITH_TIMEOUT(!QApplication::activeModalWidget(), loadTimeout);
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTest::keyClick(&form, letter, Qt::AltModifier);
    }

    static void writeFile(const QString& path, const QByteArray& content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
};

VELMO_WEB_TEST_MAIN(TestHostilePages)
#include "tst_hostile_pages.moc"
