#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/base/error.h"
#include "platform/ui/error_guard.h"
#include "platform/ui/folder_pages_panel.h"
#include "platform/ui/screen_size.h"
#include "platform/ui/start_failure.h"
#include "platform/ui/wrapping_menu_bar.h"
#include "settings/TIniFile.h"
#include "support/form_fixture.h"

#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QStyle>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <QWindow>

#include <fstream>

namespace {

QString qs(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

void touch(const std::string& path)
{
    QFile file(qs(path));
    QVERIFY(file.open(QIODevice::WriteOnly));
}

// The action the window answered to the drag and to the drop; IgnoreAction for a refusal.
struct DropAnswer {
    Qt::DropAction enter = Qt::IgnoreAction;
    Qt::DropAction drop = Qt::IgnoreAction;
};

DropAnswer drop(QWidget& target, const QList<QUrl>& urls, Qt::DropActions offered = Qt::CopyAction,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    // Qt delivers drops only to a shown window that takes them.
    target.show();
    QMimeData data;
    data.setUrls(urls);
    DropAnswer answer;
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(&target, &enter);
    if (enter.isAccepted())
        answer.enter = enter.dropAction();
    QDropEvent event(QPointF(10, 10), offered, &data, Qt::LeftButton, modifiers);
    QCoreApplication::sendEvent(&target, &event);
    if (event.isAccepted())
        answer.drop = event.dropAction();
    return answer;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void menuBarHoldsEveryCommandInOrder()
    {
        FormFixture f;
        TForm1& form = f.create();
        const QList<QAction*> entries = form.MainMenu1->actions();
        const QStringList captions = {"&Ouvrir",
                                      "<<<",
                                      ">>>",
                                      "><",
                                      "Re&Nommer",
                                      "&Copier",
                                      "&D\u00e9placer",
                                      "&Rechercher",
                                      "&Imprimer",
                                      "So&urce",
                                      "&Actualiser",
                                      "&Supprimer (sans confirmation)",
                                      "O&ption",
                                      "&Quitter"};
        QCOMPARE(entries.size(), captions.size());
        for (int i = 0; i < entries.size(); ++i) {
            QCOMPARE(entries[i]->text(), captions[i]);
            QVERIFY2(entries[i]->shortcut().isEmpty(), qPrintable(captions[i]));
            // Only "O&ption" opens a drop-down; every other entry runs at once.
            QCOMPARE(entries[i]->menu() != nullptr, captions[i] == "O&ption");
            const bool greyed = captions[i] == "<<<" || captions[i] == ">>>" || captions[i] == "><";
            QCOMPARE(entries[i]->isEnabled(), !greyed);
        }
        const QList<QAction*> options = form.Quitterrapidement1->actions();
        QCOMPARE(options.size(), 1);
        QCOMPARE(options[0], form.rapidement1);
        QCOMPARE(form.rapidement1->text(), QStringLiteral("Quitter rapidement"));
        QVERIFY(form.rapidement1->isCheckable());
        QVERIFY(!form.rapidement1->isChecked());
        QVERIFY(form.windowTitle().startsWith("Velmo 2.3 "));
        QCOMPARE(Form1, &form);
    }

    // Rows: the window's width, and a scale of its text as a screen of another scale gives it.
    void menuTakesTheRowsTheWidthNeeds_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<qreal>("scale");
        for (const qreal scale : {1.0, 1.75})
            for (const int width : {640, 420, 1200})
                QTest::addRow("%d px, text x%.2f", width, scale) << width << scale;
    }
    void menuTakesTheRowsTheWidthNeeds()
    {
        QFETCH(int, width);
        QFETCH(qreal, scale);
        FormFixture f;
        TForm1& form = f.create();
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        QFont font = form.font();
        font.setPointSizeF(font.pointSizeF() * scale);
        form.setFont(font);
        form.resize(width, 480);
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();

        const QList<QMenuBar*> rows = form.MainMenu1->rows();
        QList<QAction*> shown;
        QList<QRect> places;
        for (QMenuBar* row : rows) {
            for (const QToolButton* button : row->findChildren<QToolButton*>())
                QVERIFY2(!button->isVisible(), "entries hidden behind a button");
            QAccessibleInterface* readOut = QAccessible::queryAccessibleInterface(row);
            QCOMPARE(readOut->childCount(), row->actions().size());
            for (int i = 0; i < row->actions().size(); ++i) {
                QAction* entry = row->actions()[i];
                const QRect inRow = row->actionGeometry(entry);
                const QRect place(row->mapTo(&form, inRow.topLeft()), inRow.size());
                QVERIFY2(form.rect().contains(place), qPrintable(entry->text()));
                for (const QRect& other : places)
                    QVERIFY2(!other.intersects(place), qPrintable(entry->text()));
                places << place;
                shown << entry;
                QCOMPARE(readOut->child(i)->text(QAccessible::Name),
                         QString(entry->text()).remove('&'));
            }
        }
        QCOMPARE(shown, form.MainMenu1->actions());
        // No more rows than the width needs: a row's first entry would not fit on the one above.
        const int spacing = form.style()->pixelMetric(QStyle::PM_MenuBarItemSpacing);
        const int frame = form.style()->pixelMetric(QStyle::PM_MenuBarPanelWidth);
        for (qsizetype i = 1; i < rows.size(); ++i) {
            const int end = rows[i - 1]->actionGeometry(rows[i - 1]->actions().last()).right();
            const int next = rows[i]->actionGeometry(rows[i]->actions().first()).width();
            QVERIFY(end + 1 + spacing + next > rows[i - 1]->width() - frame);
        }
        // The viewer starts just below the last row and takes the rest of the window, whose size
        // stays the one the settings file knows.
        const int menuBottom = rows.last()->mapTo(&form, QPoint(0, rows.last()->height())).y();
        QCOMPARE(f.viewer->mapTo(&form, QPoint()), QPoint(0, menuBottom));
        QCOMPARE(f.viewer->size(), QSize(width, 480 - menuBottom));
        QCOMPARE(form.size(), QSize(width, 480));
    }

    void quickQuitItemFlipsOncePerChoice()
    {
        FormFixture f;
        TForm1& form = f.create();
        form.rapidement1->trigger();
        QVERIFY(form.rapidement1->isChecked());
        QVERIFY(Quitter_Rapide);
        form.rapidement1->trigger();
        QVERIFY(!form.rapidement1->isChecked());
        QVERIFY(!Quitter_Rapide);
    }

    void commandStatesFollowTheViewer_data()
    {
        QTest::addColumn<QList<int>>("events"); // pairs: command, enable
        QTest::addColumn<bool>("back");
        QTest::addColumn<bool>("forward");
        QTest::addColumn<bool>("stop");
        QTest::newRow("back possible") << QList<int>{2, -1} << true << false << false;
        QTest::newRow("forward possible") << QList<int>{1, 1} << false << true << false;
        QTest::newRow("loading, any nonzero counts") << QList<int>{-1, 5} << false << false << true;
        QTest::newRow("other commands change nothing")
            << QList<int>{0, -1, 3, -1} << false << false << false;
        QTest::newRow("forward greyed leaves the others")
            << QList<int>{2, -1, -1, -1, 1, 1, 1, 0} << true << false << true;
        QTest::newRow("back greyed again") << QList<int>{2, -1, 2, 0} << false << false << false;
    }
    void commandStatesFollowTheViewer()
    {
        QFETCH(QList<int>, events);
        QFETCH(bool, back);
        QFETCH(bool, forward);
        QFETCH(bool, stop);
        FormFixture f;
        TForm1& form = f.create();
        for (int i = 0; i + 1 < events.size(); i += 2)
            emit f.viewer->CommandStateChange(events[i], static_cast<short>(events[i + 1]));
        QCOMPARE(form.N1->isEnabled(), back);
        QCOMPARE(form.N2->isEnabled(), forward);
        QCOMPARE(form.X1->isEnabled(), stop);
        QVERIFY(form.Load1->isEnabled());
    }

    void openDialogShowsThePageAndRemembersItsFolder()
    {
        FormFixture f;
        TForm1& form = f.create();
        const QString titleBefore = form.windowTitle();
        f.dialogs.openAnswers = {std::nullopt, std::string("/x/y/page.htm")};

        form.Load1->trigger(); // cancelled
        QVERIFY(Fichier_Courant.empty());
        QCOMPARE(Chemin_Chargement, f.path());
        QVERIFY(f.log.empty());

        form.Load1->trigger();
        QCOMPARE(f.dialogs.openFolders.back(), f.path());
        QCOMPARE(Fichier_Courant, std::string("/x/y/page.htm"));
        QCOMPARE(Chemin_Chargement, std::string("/x/y/"));
        QCOMPARE(f.log.front(), std::string("Navigate:/x/y/page.htm"));
        // The title names the page at once, so that it is right also if the page never completes.
        QVERIFY(form.windowTitle() != titleBefore);
        QCOMPARE(form.windowTitle(), QString("/x/y/page.htm"));
    }

    void folderPagesByTitle_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("downs");    // Down keys after typing
        QTest::addColumn<bool>("confirm"); // Enter, else Escape
        QTest::addColumn<int>("rows");     // pages found
        QTest::addColumn<QString>("page"); // opened; empty: none
        QTest::newRow("a word without its accent, Enter") << "eglise" << 0 << true << 1 << "b.htm";
        QTest::newRow("from the current page, down the folder's order")
            << "" << 2 << true << 5 << "c 9.htm";
        QTest::newRow("a word of two titles, one of a web archive")
            << "RECETTES" << 1 << true << 2 << "d.mht";
        QTest::newRow("the name of a page without a title") << "10" << 0 << true << 1 << "c 10.htm";
        QTest::newRow("Escape changes nothing") << "eglise" << 0 << false << 1 << "";
        QTest::newRow("no page found, Enter changes nothing") << "zut" << 0 << true << 0 << "";
    }
    void folderPagesByTitle()
    {
        QFETCH(QString, typed);
        QFETCH(int, downs);
        QFETCH(bool, confirm);
        QFETCH(int, rows);
        QFETCH(QString, page);
        FormFixture f;
        for (const auto& [name, content] : std::vector<std::pair<std::string, std::string>>{
                 {"a.htm", "<title>Accueil</title>"},
                 {"b.htm", "<meta charset=utf-8><title>L'\xC3\x89glise du village</title>"},
                 {"c 9.htm", "<title>Recettes d'hiver</title>"},
                 {"c 10.htm", "<h1>Sans titre</h1>"},
                 {"d.mht", "Subject: Recettes d'=?utf-8?q?=C3=A9t=C3=A9?=\r\n\r\n"},
                 {"notes.txt", "<title>Pas une page</title>"}})
            QVERIFY(std::ofstream(f.path(name)) << content);
        TForm1& form = f.create();
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        f.openPage(f.path("a.htm"));
        Chemin_Chargement = "/ailleurs/";

        QTest::keyClick(form.windowHandle(), Qt::Key_L, Qt::ControlModifier);
        FolderPagesPanel* panel = form.folderPagesPanel();
        QVERIFY(panel && panel->isVisible());
        QTreeView* list = panel->pageList();
        QCOMPARE(list->model()->rowCount(), 5);
        QCOMPARE(list->currentIndex().row(), 0);
        // The titles fill in; a page without one shows its name alone.
        QTRY_COMPARE(list->model()->index(1, 0).data().toString(),
                     QString("L'\u00c9glise du village"));
        QCOMPARE(list->model()->index(3, 0).data().toString(), QString());
        QCOMPARE(list->model()->index(3, 1).data().toString(), QString("c 10.htm"));
        QTRY_VERIFY(panel->searchField()->hasFocus());

        QTest::keyClicks(panel->searchField(), typed);
        QCOMPARE(list->model()->rowCount(), rows);
        for (int i = 0; i < downs; ++i)
            QTest::keyClick(panel->searchField(), Qt::Key_Down);
        QTest::keyClick(panel->searchField(), confirm ? Qt::Key_Return : Qt::Key_Escape);
        const std::string expected = page.isEmpty() ? f.path("a.htm") : f.path(page.toStdString());
        QCOMPARE(panel->isVisible(), page.isEmpty() && confirm);
        QCOMPARE(Fichier_Courant, expected);
        QCOMPARE(form.windowTitle(), qs(expected));
        QCOMPARE(f.log, page.isEmpty() ? std::vector<std::string>{}
                                       : std::vector<std::string>{"Navigate:" + expected});
        QCOMPARE(Chemin_Chargement, std::string("/ailleurs/"));
    }

    void droppedFileBecomesThePage_data()
    {
        QTest::addColumn<QStringList>("dropped"); // relative to the folder unless absolute
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("title");
        QTest::newRow("one file, title in lower case") << QStringList{"Page.HTM"} << "Page.HTM"
                                                       << "page.htm";
        QTest::newRow("stored name of a name in another case")
            << QStringList{"PAGE.htm"} << "Page.HTM"
            << "page.htm";
        QTest::newRow("only A to Z are lowered")
            << QStringList{"\u00c9T\u00c9.HTM"} << "\u00c9T\u00c9.HTM"
            << "\u00c9t\u00c9.htm";
        QTest::newRow("first of several") << QStringList{"b.htm", "Page.HTM", "c.htm"} << "b.htm"
                                          << "b.htm";
        QTest::newRow("first local file of the drop")
            << QStringList{"http://example.com/x.htm", "c.htm"} << "c.htm"
            << "c.htm";
        QTest::newRow("a folder") << QStringList{"Sub"} << "Sub"
                                  << "sub";
        QTest::newRow("a missing file gives its folder") << QStringList{"none.htm"} << ""
                                                         << "";
        QTest::newRow("an entry at the root") << QStringList{"/etc"} << "/etc"
                                              << "/etc";
    }
    void droppedFileBecomesThePage()
    {
        QFETCH(QStringList, dropped);
        QFETCH(QString, page);
        QFETCH(QString, title);
        FormFixture f;
        for (const char* name : {"Page.HTM", "b.htm", "c.htm", "\xC3\x89T\xC3\x89.HTM"})
            touch(f.path(name));
        QVERIFY(QDir(f.dir.path()).mkdir("Sub"));
        TForm1& form = f.create();
        QList<QUrl> urls;
        for (const QString& name : dropped)
            urls << (name.contains(':')     ? QUrl(name)
                     : name.startsWith('/') ? QUrl::fromLocalFile(name)
                                            : QUrl::fromLocalFile(f.dir.path() + "/" + name));
        drop(form, urls);

        const QString folder = f.dir.path() + "/";
        const QString expectedPage = page.startsWith('/') ? page : folder + page;
        const QString expectedTitle = title.startsWith('/') ? title : folder.toLower() + title;
        QCOMPARE(qs(Fichier_Courant), expectedPage);
        QCOMPARE(form.windowTitle(), expectedTitle);
        QCOMPARE(f.log.front(), "Navigate:" + Fichier_Courant);
    }

    void dropsAreTakenAsCopies_data()
    {
        QTest::addColumn<int>("offered");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("answered");
        const int copyOrMove = Qt::CopyAction | Qt::MoveAction;
        QTest::newRow("copy or move, move proposed")
            << copyOrMove << int(Qt::ShiftModifier) << int(Qt::CopyAction);
        QTest::newRow("copy or move, copy proposed")
            << copyOrMove << int(Qt::NoModifier) << int(Qt::CopyAction);
        QTest::newRow("move or link")
            << int(Qt::MoveAction | Qt::LinkAction) << int(Qt::NoModifier) << int(Qt::LinkAction);
        QTest::newRow("move only: refused")
            << int(Qt::MoveAction) << int(Qt::NoModifier) << int(Qt::IgnoreAction);
    }
    void dropsAreTakenAsCopies()
    {
        QFETCH(int, offered);
        QFETCH(int, modifiers);
        QFETCH(int, answered);
        FormFixture f;
        touch(f.path("a.htm"));
        TForm1& form = f.create();

        const DropAnswer answer = drop(form, {QUrl::fromLocalFile(qs(f.path("a.htm")))},
                                       Qt::DropActions(offered), Qt::KeyboardModifiers(modifiers));

        QCOMPARE(int(answer.enter), answered);
        QCOMPARE(int(answer.drop), answered);
        QCOMPARE(Fichier_Courant, answered == Qt::IgnoreAction ? std::string() : f.path("a.htm"));
    }

    void dropWithoutLocalFileChangesNothing()
    {
        FormFixture f;
        TForm1& form = f.create();
        drop(form, {QUrl("https://example.com/a.htm")});
        QVERIFY(Fichier_Courant.empty());
        QVERIFY(f.log.empty());
    }

    void refusedDropStillReportsTheError()
    {
        FormFixture f;
        TForm1& form = f.create();
        f.viewer->refuseNavigate = true;
        touch(f.path("a.htm"));
        drop(form, {QUrl::fromLocalFile(qs(f.path("a.htm")))});
        QCOMPARE(f.dialogs.errors, std::vector<QString>{"La page est refus\u00e9e."});
        QCOMPARE(Fichier_Courant, f.path("a.htm"));
    }

    void firstArgumentIsOpenedAtStart_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("page"); // relative to the folder
        QTest::newRow("relative name, taken from the current folder")
            << QStringList{"a.htm", "b.htm"} << "a.htm";
        QTest::newRow("dot slash") << QStringList{"./b.htm"} << "b.htm";
        QTest::newRow("name with a space") << QStringList{"with space.htm"} << "with space.htm";
        QTest::newRow("absolute path in another case") << QStringList{"@/A.HTM"} << "a.htm";
        QTest::newRow("an empty argument is no argument") << QStringList{"", "b.htm"} << "b.htm";
        QTest::newRow("empty alone: no page") << QStringList{""} << "";
    }
    void firstArgumentIsOpenedAtStart()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, page);
        FormFixture f;
        for (const char* name : {"a.htm", "b.htm", "with space.htm"})
            touch(f.path(name));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(f.dir.path());
        std::vector<std::string> args;
        for (QString argument : arguments)
            args.push_back(QFile::encodeName(argument.replace("@", f.dir.path())).toStdString());
        TForm1& form = f.create(args);
        QDir::setCurrent(previous);
        if (page.isEmpty()) {
            QVERIFY(Fichier_Courant.empty());
            QVERIFY(f.log.empty());
            return;
        }
        QCOMPARE(qs(Fichier_Courant), f.dir.path() + "/" + page);
        QCOMPARE(f.log.front(), "Navigate:" + Fichier_Courant);
        QCOMPARE(form.windowTitle(), qs(Fichier_Courant));
    }

    void documentCompleteSetsPageAndTitle()
    {
        FormFixture f;
        TForm1& form = f.create();
        emit f.viewer->DocumentComplete("/x/My%20Pages/a.htm");
        QCOMPARE(Fichier_Courant, std::string("/x/My Pages/a.htm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("/x/My Pages/a.htm"));
        emit f.viewer->DocumentComplete("/x/My Pages/a.htm#top");
        QCOMPARE(Fichier_Courant, std::string("/x/My Pages/a.htm"));
        emit f.viewer->DocumentComplete("/x/b.htm#part");
        QCOMPARE(Fichier_Courant, std::string("/x/b.htm"));
        QCOMPARE(form.windowTitle(), QStringLiteral("/x/b.htm"));
        // The title shown is the path exactly, "[*]" being no placeholder in it.
        form.winId();
        for (const char* path : {"/x/notes [*] 2.htm", "/x/[*][*][*].htm", "/x/[[*]*]"}) {
            emit f.viewer->DocumentComplete(path);
            QCOMPARE(form.windowHandle()->title(), QString(path));
        }
    }

    void errorBoxText_data()
    {
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("letter") << "abc"
                                << "abc.";
        QTest::newRow("question mark") << "abc?"
                                       << "abc?.";
        QTest::newRow("exclamation mark") << "abc!"
                                          << "abc!";
        QTest::newRow("full stop") << "abc."
                                   << "abc.";
        QTest::newRow("closing bracket") << "abc)"
                                         << "abc)";
        QTest::newRow("space") << "abc "
                               << "abc ";
        QTest::newRow("slash is above the full stop") << "/d/"
                                                      << "/d/.";
        QTest::newRow("accented letter") << "d\u00e9j\u00e0"
                                         << "d\u00e9j\u00e0.";
        QTest::newRow("empty") << ""
                               << "";
    }
    void errorBoxText()
    {
        QFETCH(QString, message);
        QFETCH(QString, shown);
        QCOMPARE(::errorBoxText(message), shown);
    }

    void startFailureText()
    {
        const QString text =
            ::startFailureText(VelmoError("Le visualiseur manque"), "/opt/velmo/velmo",
                               reinterpret_cast<void*>(0xABCD12));
        QCOMPARE(text, QString::fromUtf8("Exception VelmoError dans le module velmo à 00ABCD12.\n"
                                         "Le visualiseur manque."));
    }

    void errorInAHandlerIsShownAndTheProgramGoesOn()
    {
        FormFixture f;
        TForm1& form = f.create();
        f.viewer->refuseNavigate = true;
        f.dialogs.openAnswers = {std::string("/x/a.htm")};
        form.Load1->trigger();
        QCOMPARE(f.dialogs.errors, std::vector<QString>{"La page est refus\u00e9e."});
        // The handler ended at the failing call: the folder is not remembered.
        QCOMPARE(Chemin_Chargement, f.path());
        f.viewer->refuseNavigate = false;
        f.dialogs.openAnswers = {std::string("/x/b.htm")};
        form.Load1->trigger();
        QCOMPARE(Chemin_Chargement, std::string("/x/"));
    }

    void viewerGoesWhileTheWindowIsWhole()
    {
        FormFixture f;
        f.create();
        bool windowWhole = false;
        f.viewer->onDestroy = [&windowWhole](ScriptedViewer& viewer) {
            // A print that ends as the viewer goes still reports to the window.
            windowWhole = qobject_cast<TForm1*>(viewer.parentWidget()) != nullptr;
            emit viewer.failedLater(QStringLiteral("Impression impossible"));
        };
        f.form.reset();
        QVERIFY(windowWhole);
        QCOMPARE(f.dialogs.errors, std::vector<QString>{"Impression impossible."});
    }

    void noScreenIsAStartFailure()
    {
        QVERIFY_THROWS_EXCEPTION(VelmoError, sizeOfScreen(nullptr));
        const QRect screen = QGuiApplication::primaryScreen()->geometry();
        QCOMPARE(sizeOfScreen(QGuiApplication::primaryScreen()), screen.size());
    }

    void settingsAreReadAtCreationAndWrittenAtDestruction()
    {
        FormFixture f;
        {
            TIniFile ini(f.settingsFile());
            ini.writeText("Configuration", "Chemin de chargement", "/charge/");
            ini.writeInteger("Configuration", "Largeur", 700);
            ini.writeInteger("Configuration", "Hauteur", 500);
            ini.writeInteger("Configuration", "Gauche", 12);
            ini.writeInteger("Configuration", "Haut", 34);
            ini.writeFlag("Configuration", "Gestion rapide", true);
        }
        TForm1& form = f.create();
        QCOMPARE(form.geometry().size(), QSize(700, 500));
        QCOMPARE(form.pos(), QPoint(12, 34));
        QCOMPARE(Chemin_Chargement, std::string("/charge/"));
        QCOMPARE(Chemin_Copie, f.path());
        QVERIFY(form.rapidement1->isChecked());
        QVERIFY(!(form.windowState() & Qt::WindowMaximized));

        form.move(40, 50);
        Chemin_Copie = "/copie/";
        f.form.reset();
        const TIniFile ini(f.settingsFile());
        QCOMPARE(ini.readText("Configuration", "Chemin de copie", "?"), std::string("/copie/"));
        QCOMPARE(ini.readInteger("Configuration", "Gauche", 0), 40);
        QCOMPARE(ini.readInteger("Configuration", "Haut", 0), 50);
        QCOMPARE(ini.readText("Configuration",
                              "Affichage plein \xE9"
                              "cran",
                              "?"),
                 std::string("0"));
        QVERIFY(f.dialogs.errors.empty());
    }

    void fullScreenFlagStartsMaximized()
    {
        FormFixture f;
        TIniFile(f.settingsFile())
            .writeFlag("Configuration",
                       "Affichage plein \xE9"
                       "cran",
                       true);
        TForm1& form = f.create();
        QVERIFY(form.windowState() & Qt::WindowMaximized);
        // Brought back from maximized, it takes a usable part of the screen, centred.
        form.showNormal();
        const QRect available = form.screen()->availableGeometry();
        QVERIFY2(form.width() >= available.width() / 2 && form.height() >= available.height() / 2,
                 qPrintable(QString("%1x%2").arg(form.width()).arg(form.height())));
        QCOMPARE(form.geometry().center(), available.center());
    }

    void unwritableSettingsAreReportedOnce()
    {
        FormFixture f;
        TForm1Services services = f.services();
        services.executablePath = f.path("missing-folder/velmo");
        f.form = std::make_unique<TForm1>(std::move(services));
        f.form.reset();
        QCOMPARE(f.dialogs.errors.size(), std::size_t(1));
        QCOMPARE(f.dialogs.errors[0],
                 "Impossible d'\u00e9crire dans " + qs(f.path("missing-folder/velmo.INI")) + ".");
    }

    void viewerCommandsCallTheViewer()
    {
        FormFixture f;
        TForm1& form = f.create();
        form.N1Click();
        form.N2Click();
        form.X1Click();
        QCOMPARE(f.log, (std::vector<std::string>{"GoBack", "GoForward", "Stop"}));
    }

    void pageCommandsNeedAPage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("expectedLog");
        QTest::addColumn<int>("editorLaunches");
        QTest::newRow("no page") << "" << QStringList{} << 0;
        QTest::newRow("a page") << "/x/a.htm" << QStringList{"Navigate:/x/a.htm", "Print"} << 1;
        QTest::newRow("a folder page: no print") << "/x/" << QStringList{"Navigate:/x/"} << 1;
    }
    void pageCommandsNeedAPage()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, expectedLog);
        QFETCH(int, editorLaunches);
        FormFixture f;
        TForm1& form = f.create();
        Fichier_Courant = page.toStdString();
        form.Actualiser1Click();
        form.Imprimer1Click();
        form.Source1Click();
        QStringList log;
        for (const std::string& line : f.log)
            if (line != "pending")
                log << QString::fromStdString(line);
        QCOMPARE(log, expectedLog);
        QCOMPARE(int(f.editorLaunches.size()), editorLaunches);
        if (editorLaunches)
            QCOMPARE(f.editorLaunches[0], page.toStdString());
    }

    void findOpensTheViewersDialogOnlyOverADocument()
    {
        FormFixture f;
        TForm1& form = f.create();
        form.Trouver1->trigger();
        QCOMPARE(f.viewer->document.opened, 0);
        f.viewer->hasDocument = true;
        form.Trouver1->trigger();
        QCOMPARE(f.viewer->document.opened, 1);
        // A failure after the first look at the document is dropped without a message.
        f.viewer->documentReads = 0;
        f.viewer->failLaterDocumentReads = true;
        form.Trouver1->trigger();
        QCOMPARE(f.viewer->document.opened, 1);
        QVERIFY(f.dialogs.errors.empty());
    }

    void failingPrintIsReported()
    {
        FormFixture f;
        TForm1& form = f.create();
        Fichier_Courant = "/x/a.htm";
        f.viewer->refusePrint = true;
        f.viewer->refusal = "Aucune imprimante";
        form.Imprimer1->trigger();
        QCOMPARE(f.dialogs.errors, std::vector<QString>{"Aucune imprimante."});
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
