#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/files/file_history.h"
#include "support/fileops_support.h"
#include "support/form_fixture.h"
#include "support/saved_page.h"

#include <QAction>
#include <QTest>

namespace {

std::string read(const std::string& path)
{
    return readBytes(path);
}

QString qs(const std::string& bytes)
{
    return QFile::decodeName(QByteArray::fromStdString(bytes));
}

// A window over the real file-operation service and its history in a fresh home, on page a.htm
// of a folder.
struct FileFixture : FormFixture {
    FreshHome home;
    ScriptedFileDialogs fileDialogs;
    FileHistory history;
    std::string page;

    FileFixture()
    {
        realService = [this](const FileOperationRequest& request) {
            return history.run(request, fileDialogs);
        };
        undo = [this](QWidget*) { return history.undoLast(fileDialogs); };
        QDir(dir.path()).mkpath("pages");
        QDir(dir.path()).mkpath("elsewhere");
        page = path("pages/a.htm");
        writeBytes(page, "<html>A</html>");
        create();
        openPage(page);
    }
    ~FileFixture()
    {
        // QTemporaryDir cannot remove names that are not UTF-8; the byte path can.
        removeTree(path("pages"));
        removeTree(path("elsewhere"));
    }
    std::string trashed(const std::string& name) const { return home.trash() + "/files/" + name; }

    // The command of a test row, answering its dialogs: rename to "b", copy or move to `target`
    // (yes to making its folder).
    void run(const QString& command, const std::string& target = "elsewhere/a.htm")
    {
        dialogs.inputAnswers = {QString("b")};
        dialogs.saveAnswers = {path(target)};
        fileDialogs.answers = {true};
        if (command == "rename after the title") {
            form->renameAfterTitle();
            return;
        }
        QAction* action = command == "rename" ? form->Rename1
                          : command == "copy" ? form->Copy1
                          : command == "move" ? form->Move1
                                              : form->Delete1;
        action->trigger();
        QVERIFY(fileDialogs.errors.empty());
    }
    std::vector<std::string> trashEntries() const
    {
        std::vector<std::string> entries = entriesOf(home.trash() + "/files");
        for (const std::string& info : entriesOf(home.trash() + "/info"))
            entries.push_back("info/" + info);
        return entries;
    }
};

const std::string release = "Navigate:";

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void withoutAPageNothingHappens()
    {
        FormFixture f;
        TForm1& form = f.create();
        for (QAction* command : {form.Rename1, form.Delete1, form.Copy1, form.Move1})
            command->trigger();
        Fichier_Courant = "/x/"; // a page that names no file
        for (QAction* command : {form.Rename1, form.Delete1, form.Copy1, form.Move1})
            command->trigger();
        Fichier_Courant.clear();
        form.openNeighbourPage(PageStep::Next);
        form.openNeighbourPage(PageStep::Previous);
        form.showFolderPages();
        form.renameAfterTitle();
        QVERIFY(!form.folderPagesPanel());
        QVERIFY(f.requests.empty());
        QVERIFY(f.dialogs.inputCaptions.empty());
        QVERIFY(f.dialogs.saveTitles.empty());
        QVERIFY(f.log.empty());
    }

    void rename_data()
    {
        QTest::addColumn<QString>("typed");   // "(cancel)" for Annuler
        QTest::addColumn<QString>("newName"); // empty when nothing may change
        QTest::newRow("no dot: extension kept") << "b"
                                                << "b.htm";
        QTest::newRow("own extension") << "b.txt"
                                       << "b.txt";
        QTest::newRow("a trailing dot suppresses the extension") << "b."
                                                                 << "b.";
        QTest::newRow("empty text: the extension alone") << ""
                                                         << ".htm";
        QTest::newRow("a name with a slash is refused") << "../elsewhere/b"
                                                        << "";
        QTest::newRow("an existing name is refused") << "taken.htm"
                                                     << "";
    }
    void rename()
    {
        QFETCH(QString, typed);
        QFETCH(QString, newName);
        FileFixture f;
        writeBytes(f.path("pages/taken.htm"), "taken");
        f.dialogs.inputAnswers = {typed};
        f.form->Rename1->trigger();

        QCOMPARE(f.dialogs.inputCaptions.back(), QStringLiteral("Nouveau nom de a.htm"));
        QCOMPARE(f.dialogs.inputPrompts.back(),
                 QStringLiteral("Entrer (nom[.ext]) puis confirmer"));
        QCOMPARE(f.dialogs.inputValues.back(), QStringLiteral("a.htm"));
        QCOMPARE(f.requests.size(), std::size_t(1));
        const FileOperationRequest& request = f.requests[0];
        QCOMPARE(request.function, unsigned(FO_RENAME));
        QCOMPARE(request.flags, std::uint16_t(0x0050));
        QCOMPARE(request.owner, f.form.get());
        QCOMPARE(request.from, f.page + std::string(2, '\0'));
        QCOMPARE(request.to, f.path("pages/") + QFile::encodeName(typed).toStdString() +
                                 (typed.contains('.') ? "" : ".htm") + std::string(2, '\0'));

        const std::string expected =
            newName.isEmpty() ? f.page : f.path("pages/" + newName.toStdString());
        // Release, let the viewer let go, run, then show the page again at once.
        QCOMPARE(f.log, (std::vector<std::string>{release, "pending", "fileOperation",
                                                  "Navigate:" + expected}));
        QCOMPARE(Fichier_Courant, expected);
        QVERIFY(exists(expected));
        QCOMPARE(read(f.path("pages/taken.htm")), std::string("taken"));
        if (newName.isEmpty()) {
            QVERIFY(!f.fileDialogs.errors.empty());
            QCOMPARE(f.form->windowTitle(), qs(f.page)); // unchanged
            QVERIFY(!exists(f.path("elsewhere/b.htm")));
        } else {
            QVERIFY(!exists(f.page));
            QCOMPARE(f.form->windowTitle(), qs(expected));
        }
    }

    void renameKeepsTheBytesLeftAsShown_data()
    {
        QTest::addColumn<QString>("typed"); // "@" stands for the name as the box shows it
        QTest::addColumn<QByteArray>("newName");
        QTest::newRow("confirmed unchanged") << "@" << QByteArray("caf\xE9 notes.htm");
        QTest::newRow("end edited") << "@.bak" << QByteArray("caf\xE9 notes.htm.bak");
        QTest::newRow("middle edited, no dot: extension added")
            << "caf\uFFFD" << QByteArray("caf\xE9.htm");
        QTest::newRow("retyped") << "caf\u00e9 notes.htm" << QByteArray("caf\xC3\xA9 notes.htm");
    }
    void renameKeepsTheBytesLeftAsShown()
    {
        QFETCH(QString, typed);
        QFETCH(QByteArray, newName);
        FileFixture f;
        const std::string latin1 = f.path("pages/caf\xE9 notes.htm");
        writeBytes(latin1, "latin");
        f.openPage(latin1);
        const QString shown = QString("caf\uFFFD notes.htm");
        f.dialogs.inputAnswers = {typed.replace("@", shown)};

        f.form->Rename1->trigger();

        QCOMPARE(f.dialogs.inputValues.back(), shown);
        const std::string expected = f.path("pages/" + newName.toStdString());
        QCOMPARE(f.requests.back().to, expected + std::string(2, '\0'));
        QVERIFY(f.fileDialogs.errors.empty());
        QCOMPARE(read(expected), std::string("latin"));
        QCOMPARE(Fichier_Courant, expected);
    }

    void renameAfterTitle_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QString>("proposed");
        QTest::newRow("a title") << QByteArray("<title>Tarte: \"pommes\"</title>")
                                 << "Tarte pommes.htm";
        QTest::newRow("no title: the current name") << QByteArray("<h1>Tarte</h1>") << "a.htm";
    }
    void renameAfterTitle()
    {
        QFETCH(QByteArray, content);
        QFETCH(QString, proposed);
        FileFixture f;
        writeBytes(f.page, content.toStdString());
        f.dialogs.inputAnswers = {proposed + ".bak", std::nullopt};
        // The same question as "Re&Nommer", the name made from the title proposed.
        f.form->show();
        QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
        QTest::keyClick(f.form->windowHandle(), Qt::Key_N, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(f.dialogs.inputCaptions, std::vector<QString>{"Nouveau nom de a.htm"});
        QCOMPARE(f.dialogs.inputPrompts, std::vector<QString>{"Entrer (nom[.ext]) puis confirmer"});
        QCOMPARE(f.dialogs.inputValues, std::vector<QString>{proposed});
        const std::string renamed = f.path("pages/" + proposed.toStdString() + ".bak");
        QCOMPARE(Fichier_Courant, renamed);
        QCOMPARE(read(renamed), content.toStdString());
        // From the renamed page, cancelled: nothing happens.
        f.log.clear();
        f.form->renameAfterTitle();
        QCOMPARE(f.dialogs.inputValues.size(), std::size_t(2));
        QCOMPARE(Fichier_Courant, renamed);
        QVERIFY(f.log.empty());
    }

    void cancelledRenameTouchesNothing()
    {
        FileFixture f;
        f.form->Rename1->trigger(); // no answer: Annuler
        QVERIFY(f.requests.empty());
        QVERIFY(f.log.empty());
        QVERIFY(exists(f.page));
    }

    void deleteGoesToTheTrashWithoutAQuestion()
    {
        FileFixture f;
        f.form->setTitle(f.page);
        f.form->Delete1->trigger();
        QCOMPARE(f.requests.size(), std::size_t(1));
        QCOMPARE(f.requests[0].function, unsigned(FO_DELETE));
        QCOMPARE(f.requests[0].flags, std::uint16_t(0x0050));
        QVERIFY(f.requests[0].to.empty());
        // The blank view then says where the page went and how to go on.
        QCOMPARE(f.log, (std::vector<std::string>{
                            release, "pending", "fileOperation",
                            "Notice:« a.htm » est dans la corbeille.\nCtrl+Z l'en sort ; "
                            "Ctrl+Page suiv. ouvre la page suivante."}));
        QVERIFY(!exists(f.page));
        QCOMPARE(read(f.trashed("a.htm")), std::string("<html>A</html>"));
        QVERIFY(f.fileDialogs.questions.empty());
        QVERIFY(Fichier_Courant.empty());
        QCOMPARE(f.form->windowTitle(), QString());
        QVERIFY(!f.closeAsked());
    }

    void failedDeleteShowsThePageAgain()
    {
        FileFixture f;
        Fichier_Courant = f.path("pages/gone.htm");
        f.form->Delete1->trigger();
        QCOMPARE(f.log, (std::vector<std::string>{release, "pending", "fileOperation",
                                                  "Navigate:" + Fichier_Courant, "pending"}));
        QCOMPARE(Fichier_Courant, f.path("pages/gone.htm"));
        QCOMPARE(f.fileDialogs.errors.size(), std::size_t(1));
    }

    void copyKeepsThePageShownAndRemembersTheFolder()
    {
        FileFixture f;
        writeBytes(f.path("elsewhere/a.htm"), "older");
        f.dialogs.saveAnswers = {f.path("elsewhere/a.htm"), f.path("pages/a.htm")};
        f.form->Copy1->trigger();
        QCOMPARE(f.dialogs.saveTitles.back(), "Copie du fichier " + qs(f.page));
        QCOMPARE(f.dialogs.saveProposals.back(), f.path() + "a.htm"); // the program's folder
        QCOMPARE(f.requests[0].function, unsigned(FO_COPY));
        QCOMPARE(f.requests[0].flags, std::uint16_t(0x0048));
        QCOMPARE(f.requests[0].to, f.path("elsewhere/a.htm") + std::string(2, '\0'));
        QCOMPARE(f.log, std::vector<std::string>{"fileOperation"});
        // An existing file is never overwritten: the copy takes another name.
        QCOMPARE(read(f.path("elsewhere/a.htm")), std::string("older"));
        QCOMPARE(read(f.path("elsewhere/a (2).htm")), std::string("<html>A</html>"));
        QCOMPARE(Chemin_Copie, f.path("elsewhere/"));
        QCOMPARE(Fichier_Courant, f.page);

        f.form->Copy1->trigger(); // onto itself
        QCOMPARE(f.dialogs.saveProposals.back(), f.path("elsewhere/a.htm"));
        QCOMPARE(read(f.path("pages/a - Copie.htm")), std::string("<html>A</html>"));
        QCOMPARE(Chemin_Copie, f.path("pages/"));
    }

    void moveEmptiesThePage()
    {
        FileFixture f;
        f.dialogs.saveAnswers = {std::nullopt, f.path("elsewhere/b.htm")};
        f.form->Move1->trigger();
        QVERIFY(f.requests.empty());
        QVERIFY(exists(f.page));
        f.form->Move1->trigger();
        QCOMPARE(f.dialogs.saveTitles.back(), "D\u00e9placement du fichier " + qs(f.page));
        QCOMPARE(f.requests[0].function, unsigned(FO_MOVE));
        QCOMPARE(f.requests[0].flags, std::uint16_t(0x0048));
        QCOMPARE(f.log, (std::vector<std::string>{release, "pending", "fileOperation",
                                                  "Notice:« a.htm » est maintenant dans « " +
                                                      f.path("elsewhere") +
                                                      " ».\nCtrl+Z la ramène ; Ctrl+Page suiv. "
                                                      "ouvre la page suivante."}));
        QCOMPARE(read(f.path("elsewhere/b.htm")), std::string("<html>A</html>"));
        QVERIFY(!exists(f.page));
        QVERIFY(Fichier_Courant.empty());
        QCOMPARE(f.form->windowTitle(), QString());
        QCOMPARE(Chemin_Deplacement, f.path("elsewhere/"));
        QCOMPARE(Chemin_Copie, f.path()); // each command keeps its own folder
    }

    void savedPageTakesItsFolderAlong()
    {
        FileFixture f;
        savedPage::make(f.path("pages"));
        f.dialogs.saveAnswers = {f.path("elsewhere/a.htm")};
        f.form->Move1->trigger();

        // The window asks for the page alone; the service takes its folder along.
        QCOMPARE(f.requests.back().from, f.page + std::string(2, '\0'));
        QCOMPARE(entriesOf(f.path("pages")), std::vector<std::string>{});
        QCOMPARE(entriesOf(f.path("elsewhere")), (std::vector<std::string>{"a.htm", "a_files"}));
        QCOMPARE(savedPage::brokenLinks(f.path("elsewhere/a.htm")), std::vector<std::string>{});

        f.openPage(f.path("elsewhere/a.htm"));
        f.form->Delete1->trigger();
        QCOMPARE(f.requests.back().from, f.path("elsewhere/a.htm") + std::string(2, '\0'));
        QCOMPARE(entriesOf(f.path("elsewhere")), std::vector<std::string>{});
        QCOMPARE(entriesOf(f.home.trash() + "/files"),
                 (std::vector<std::string>{"a.htm", "a_files"}));
        QVERIFY(f.fileDialogs.errors.empty());
        QVERIFY(f.fileDialogs.warnings.empty());
    }

    void failedMoveShowsThePageAgain()
    {
        FileFixture f;
        f.dialogs.saveAnswers = {f.path("missing/b.htm")}; // "Non" to creating the folder
        f.form->Move1->trigger();
        QCOMPARE(f.fileDialogs.questions.size(), std::size_t(1));
        QCOMPARE(f.log, (std::vector<std::string>{release, "pending", "fileOperation",
                                                  "Navigate:" + f.page, "pending"}));
        QCOMPARE(Fichier_Courant, f.page);
        QCOMPARE(Chemin_Deplacement, f.path());
        QVERIFY(exists(f.page));
    }

    void aWebPageIsNoFile()
    {
        FileFixture f;
        Fichier_Courant = "http://example.com/a.html";
        f.dialogs.inputAnswers = {QString("b")};
        f.dialogs.saveAnswers = {f.path("elsewhere/a.html"), f.path("elsewhere/a.html")};
        for (QAction* command : {f.form->Rename1, f.form->Delete1, f.form->Copy1, f.form->Move1})
            command->trigger();
        QCOMPARE(f.requests.size(), std::size_t(4));
        QCOMPARE(f.fileDialogs.errors.size(), std::size_t(4));
        for (const std::string& error : f.fileDialogs.errors)
            QVERIFY2(QString::fromStdString(error).contains("fichier local"), error.c_str());
        QCOMPARE(entriesOf(f.path("elsewhere")), std::vector<std::string>{});
        QVERIFY(!exists(f.home.trash() + "/files"));
        QCOMPARE(Fichier_Courant, std::string("http://example.com/a.html"));
    }

    void folderKeysGoOnFromAPageTakenAway()
    {
        FileFixture f;
        writeBytes(f.path("pages/b.htm"), "B");
        writeBytes(f.path("pages/c.htm"), "C");
        Chemin_Chargement = "/ailleurs/";
        f.form->openNeighbourPage(PageStep::Next);
        QCOMPARE(Fichier_Courant, f.path("pages/b.htm"));
        QCOMPARE(f.log, std::vector<std::string>{"Navigate:" + Fichier_Courant});
        f.form->Delete1->trigger();
        f.log.clear();

        // From where b.htm was: on to c.htm, which is the last; back to a.htm, the first.
        for (PageStep step : {PageStep::Next, PageStep::Next, PageStep::Previous,
                              PageStep::Previous, PageStep::Previous})
            f.form->openNeighbourPage(step);
        QCOMPARE(f.log, (std::vector<std::string>{"Navigate:" + f.path("pages/c.htm"),
                                                  "Navigate:" + f.page}));
        QCOMPARE(Fichier_Courant, f.page);
        QCOMPARE(Chemin_Chargement, std::string("/ailleurs/"));
    }

    void undoTakesBackEachCommand_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("withFolder"); // the page saved whole, with its companion folder
        QTest::addColumn<QString>("target");  // of a copy or move
        QTest::addColumn<QStringList>("trashAfter");
        for (const bool withFolder : {false, true}) {
            const char* kind = withFolder ? " with its folder" : "";
            const QStringList copies = withFolder
                                           ? QStringList{"a.htm", "a_files", "info/a.htm.trashinfo",
                                                         "info/a_files.trashinfo"}
                                           : QStringList{"a.htm", "info/a.htm.trashinfo"};
            const QString target = "elsewhere/a.htm";
            // Folders that the command made to hold the page go when it is taken back.
            const QString newFolders = "elsewhere/new/deeper/a.htm";
            QTest::addRow("rename%s", kind) << "rename" << withFolder << target << QStringList{};
            QTest::addRow("rename after the title%s", kind)
                << "rename after the title" << withFolder << target << QStringList{};
            QTest::addRow("move%s", kind) << "move" << withFolder << target << QStringList{};
            QTest::addRow("move into new folders%s", kind)
                << "move" << withFolder << newFolders << QStringList{};
            QTest::addRow("delete%s", kind) << "delete" << withFolder << target << QStringList{};
            // The copy, not the original, goes to the trash.
            QTest::addRow("copy%s", kind) << "copy" << withFolder << target << copies;
            QTest::addRow("copy into new folders%s", kind)
                << "copy" << withFolder << newFolders << copies;
        }
    }
    void undoTakesBackEachCommand()
    {
        QFETCH(QString, command);
        QFETCH(bool, withFolder);
        QFETCH(QString, target);
        QFETCH(QStringList, trashAfter);
        FileFixture f;
        if (withFolder)
            savedPage::make(f.path("pages"));
        const std::string content = read(f.page);
        const std::vector<std::string> before = entriesOf(f.path("pages"));
        f.run(command, target.toStdString());
        QVERIFY(entriesOf(f.path("pages")) != before || !entriesOf(f.path("elsewhere")).empty());
        f.log.clear();

        f.form->undoLastFileCommand();
        QVERIFY(f.fileDialogs.errors.empty());
        QCOMPARE(entriesOf(f.path("pages")), before);
        QCOMPARE(entriesOf(f.path("elsewhere")), std::vector<std::string>{});
        QCOMPARE(read(f.page), content);
        if (withFolder)
            QCOMPARE(savedPage::brokenLinks(f.page), std::vector<std::string>{});
        std::vector<std::string> trash;
        for (const QString& entry : trashAfter)
            trash.push_back(entry.toStdString());
        QCOMPARE(f.trashEntries(), trash);
        // The page is the current page again, shown.
        QCOMPARE(Fichier_Courant, f.page);
        QCOMPARE(f.form->windowTitle(), qs(f.page));
        QCOMPARE(f.log, (std::vector<std::string>{"undo", "Navigate:" + f.page}));

        // Nothing is left to take back.
        f.log.clear();
        f.form->undoLastFileCommand();
        QCOMPARE(f.log, std::vector<std::string>{"undo"});
        QCOMPARE(entriesOf(f.path("pages")), before);
    }

    void undoReplacesNothingAndKeepsTheStep()
    {
        FileFixture f;
        f.run("rename");
        writeBytes(f.page, "nouveau a"); // the old place is taken meanwhile
        f.log.clear();
        f.form->undoLastFileCommand();
        QCOMPARE(f.fileDialogs.errors.size(), std::size_t(1));
        QVERIFY2(f.fileDialogs.errorText().contains("existe d\u00e9j\u00e0"),
                 qPrintable(f.fileDialogs.errorText()));
        QVERIFY(f.fileDialogs.errorText().contains(qs(f.page)));
        QCOMPARE(read(f.page), std::string("nouveau a"));
        QCOMPARE(read(f.path("pages/b.htm")), std::string("<html>A</html>"));
        QCOMPARE(Fichier_Courant, f.path("pages/b.htm"));
        QCOMPARE(f.log, std::vector<std::string>{"undo"});

        // The place free again, the same step is taken back.
        QCOMPARE(unlink(f.page.c_str()), 0);
        f.form->undoLastFileCommand();
        QCOMPARE(read(f.page), std::string("<html>A</html>"));
        QVERIFY(!exists(f.path("pages/b.htm")));
    }

    void undoOfADeleteNeedsItsTrashEntry()
    {
        FileFixture f;
        savedPage::make(f.path("pages"));
        f.run("delete");
        // The folder's entry is emptied from the trash meanwhile: the page stays there too.
        removeTree(f.trashed("a_files"));
        f.log.clear();
        f.form->undoLastFileCommand();
        QVERIFY2(f.fileDialogs.errorText().contains("plus dans la corbeille"),
                 qPrintable(f.fileDialogs.errorText()));
        QCOMPARE(entriesOf(f.path("pages")), std::vector<std::string>{});
        QCOMPARE(f.trashEntries(), (std::vector<std::string>{"a.htm", "info/a.htm.trashinfo",
                                                             "info/a_files.trashinfo"}));
        QVERIFY(Fichier_Courant.empty());
        QCOMPARE(f.log, std::vector<std::string>{"undo"});
    }

    void severalStepsAreTakenBackLastFirst()
    {
        FileFixture f;
        f.run("rename");
        f.run("copy"); // pages/b.htm to elsewhere/a.htm
        f.run("delete");
        const std::string b = f.path("pages/b.htm");
        QCOMPARE(entriesOf(f.path("pages")), std::vector<std::string>{});

        f.form->undoLastFileCommand();
        QCOMPARE(entriesOf(f.path("pages")), std::vector<std::string>{"b.htm"});
        QCOMPARE(Fichier_Courant, b);
        f.form->undoLastFileCommand();
        QCOMPARE(entriesOf(f.path("elsewhere")), std::vector<std::string>{});
        QCOMPARE(f.trashEntries(), (std::vector<std::string>{"a.htm", "info/a.htm.trashinfo"}));
        QCOMPARE(Fichier_Courant, b);
        f.form->undoLastFileCommand();
        QCOMPARE(entriesOf(f.path("pages")), std::vector<std::string>{"a.htm"});
        QCOMPARE(Fichier_Courant, f.page);
        QVERIFY(f.fileDialogs.errors.empty());
    }

    void quickQuit_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("outcome"); // success, failure, cancel
        QTest::addColumn<bool>("closes");
        QTest::newRow("rename done") << "rename"
                                     << "success" << true;
        QTest::newRow("rename failed") << "rename"
                                       << "failure" << false;
        QTest::newRow("rename cancelled") << "rename"
                                          << "cancel" << false;
        QTest::newRow("delete done") << "delete"
                                     << "success" << true;
        QTest::newRow("delete failed") << "delete"
                                       << "failure" << false;
        QTest::newRow("move done") << "move"
                                   << "success" << true;
        QTest::newRow("move failed") << "move"
                                     << "failure" << false;
        QTest::newRow("move cancelled") << "move"
                                        << "cancel" << false;
        QTest::newRow("copy done") << "copy"
                                   << "success" << true;
        QTest::newRow("copy failed still closes") << "copy"
                                                  << "failure" << true;
        QTest::newRow("copy cancelled in the dialog") << "copy"
                                                      << "cancel" << false;
    }
    void quickQuit()
    {
        QFETCH(QString, command);
        QFETCH(QString, outcome);
        QFETCH(bool, closes);
        FileFixture f;
        f.form->rapidement1->trigger();
        QVERIFY(Quitter_Rapide);
        if (outcome == "failure")
            Fichier_Courant = f.path("pages/gone.htm");
        if (outcome != "cancel") {
            f.dialogs.inputAnswers = {QString("b")};
            f.dialogs.saveAnswers = {f.path("elsewhere/a.htm")};
        }
        const std::string before = Fichier_Courant;
        if (command == "rename")
            f.form->Rename1->trigger();
        else if (command == "delete")
            f.form->Delete1->trigger();
        else if (command == "move")
            f.form->Move1->trigger();
        else
            f.form->Copy1->trigger();
        QCOMPARE(f.closeAsked(), closes);
        // The command runs to its end before the window closes: a delete empties the title first.
        if (closes && (command == "delete" || command == "move"))
            QCOMPARE(f.form->windowTitle(), QString());
        if (outcome == "failure")
            QCOMPARE(Fichier_Courant, before);
    }
};

QTEST_MAIN(TestFileCommands)
#include "tst_file_commands.moc"
