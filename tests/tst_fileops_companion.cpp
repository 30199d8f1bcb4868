#include "platform/files/companion_folder.h"
#include "support/fileops_support.h"
#include "support/saved_page.h"

#include <QProcess>
#include <QStandardPaths>
#include <climits>
#include <cstdlib>

// A saved page and its companion folder go together through copy, move, rename and delete, and the
// page's links still lead to its files afterwards.
class TestFileopsCompanion : public QObject {
    Q_OBJECT

    using Names = std::vector<std::string>;
    const Names pageAndFolder{"a.htm", "a_files"};

    static std::string resolved(const std::string& path)
    {
        char buffer[PATH_MAX];
        return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
    }

    static std::string uid() { return std::to_string(getuid()); }

    // The source and target folders of a row: both on the home's file system, or one on a tmpfs.
    struct Places {
        FreshHome home;
        TmpfsMount mount{home.path() + "/mnt", "size=16m"};
        std::string source;
        std::string target;

        bool make(const QString& where)
        {
            const bool fromMount = where == "from tmpfs";
            const bool toMount = where == "to tmpfs";
            source = (fromMount ? mount.path() : home.path()) + "/pages";
            target = (toMount ? mount.path() : home.path()) + "/elsewhere";
            return ((!fromMount && !toMount) || mount.mounted()) &&
                   mkdir(source.c_str(), 0755) == 0 && mkdir(target.c_str(), 0755) == 0;
        }
    };

    static void addPlaces()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<QString>("where");
        for (const auto& [name, function] :
             {std::pair{"copy", unsigned(FO_COPY)}, std::pair{"move", unsigned(FO_MOVE)}}) {
            QTest::addRow("%s on one file system", name) << function << "same";
            QTest::addRow("%s to a tmpfs", name) << function << "to tmpfs";
            QTest::addRow("%s from a tmpfs", name) << function << "from tmpfs";
        }
    }

    // Runs "gio trash ..." on a private session bus; false with a reason when it cannot.
    static bool runGio(const QStringList& arguments, QByteArray& output, QString& problem)
    {
        const QString gio = QStandardPaths::findExecutable("gio");
        const QString session = QStandardPaths::findExecutable("dbus-run-session");
        if (gio.isEmpty() || session.isEmpty()) {
            problem = "gio or dbus-run-session is missing: install libglib2.0-bin, dbus and gvfs";
            return false;
        }
        QProcess process;
        process.start(session, QStringList{"--", gio, "trash"} + arguments);
        if (!process.waitForFinished(60000) || process.exitCode() != 0) {
            problem = "gio trash failed: " + QString::fromLocal8Bit(process.readAllStandardError());
            return false;
        }
        output = process.readAllStandardOutput();
        return true;
    }

private slots:
    void goesWithItsPage_data() { addPlaces(); }
    void goesWithItsPage()
    {
        QFETCH(unsigned, function);
        QFETCH(QString, where);
        Places places;
        if (!places.make(where))
            QSKIP(places.mount.reason());
        savedPage::make(places.source);
        const std::uint64_t bytes = bytesOf(places.source + "/a.htm") + bytesOfFolder();
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(function, places.source + "/a.htm",
                                            places.target + "/a.htm", kTransferFlags),
                                  dialogs),
                 0);

        QVERIFY(dialogs.errors.empty());
        QVERIFY(dialogs.warnings.empty());
        QCOMPARE(entriesOf(places.target), pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(places.target + "/a.htm"), Names{});
        if (function == FO_COPY) {
            QCOMPARE(entriesOf(places.source), pageAndFolder);
            QCOMPARE(savedPage::brokenLinks(places.source + "/a.htm"), Names{});
        } else {
            QCOMPARE(entriesOf(places.source), Names{});
        }
        // One progress for the whole work; a copy counts the page and its folder.
        QCOMPARE(dialogs.workRuns, 1);
        QCOMPARE(dialogs.lastDone, dialogs.lastTotal);
        if (function == FO_COPY || where != "same")
            QCOMPARE(dialogs.lastTotal, bytes);
    }

    void folderNameTakenInTheTarget_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<QString>("where");
        QTest::addColumn<bool>("folderThere"); // besides a page "a.htm"
        for (const auto& [name, function] :
             {std::pair{"copy", unsigned(FO_COPY)}, std::pair{"move", unsigned(FO_MOVE)}}) {
            QTest::addRow("%s: page name taken, folder free", name) << function << "same" << false;
            QTest::addRow("%s: both taken", name) << function << "same" << true;
            QTest::addRow("%s to a tmpfs: both taken", name) << function << "to tmpfs" << true;
        }
    }
    void folderNameTakenInTheTarget()
    {
        QFETCH(unsigned, function);
        QFETCH(QString, where);
        QFETCH(bool, folderThere);
        Places places;
        if (!places.make(where))
            QSKIP(places.mount.reason());
        savedPage::make(places.source);
        writeBytes(places.target + "/a.htm", "autre page");
        if (folderThere) {
            QCOMPARE(mkdir((places.target + "/a_files").c_str(), 0755), 0);
            writeBytes(places.target + "/a_files/bg.png", "autre image");
        }
        const std::string source = places.source + "/a.htm";
        ScriptedFileDialogs dialogs;

        QCOMPARE(
            runFileOperation(requestOf(function, source, places.target + "/a.htm", kTransferFlags),
                             dialogs),
            0);

        // The page takes another name; its folder keeps its own, which the links point at.
        QVERIFY(dialogs.errors.empty());
        QCOMPARE(entriesOf(places.target), (Names{"a (2).htm", "a.htm", "a_files"}));
        QCOMPARE(readBytes(places.target + "/a (2).htm"), savedPage::html());
        QCOMPARE(readBytes(places.target + "/a.htm"), std::string("autre page"));
        const bool moved = function == FO_MOVE;
        if (!folderThere) {
            QVERIFY(dialogs.warnings.empty());
            QCOMPARE(savedPage::brokenLinks(places.target + "/a (2).htm"), Names{});
            QCOMPARE(entriesOf(places.source), moved ? Names{} : pageAndFolder);
            return;
        }
        // The folder already there is left as it was, and the page's own stays where it was.
        QCOMPARE(entriesOf(places.target + "/a_files"), Names{"bg.png"});
        QCOMPARE(readBytes(places.target + "/a_files/bg.png"), std::string("autre image"));
        QCOMPARE(entriesOf(places.source), moved ? Names{"a_files"} : pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(places.target + "/a (2).htm").size(),
                 savedPage::linkedFiles().size());
        QCOMPARE(entriesOf(places.source + "/a_files"),
                 (Names{"bg.png", "img", "photo 1.jpg", "style.css"}));
        const QString expected =
            moved
                ? "La page « %1 » a été déplacée sans son dossier « a_files », car un dossier de "
                  "ce nom existe déjà dans « %2 ». Le dossier est resté à sa place ; la page "
                  "risque de s'afficher sans ses images."
                : "La page « %1 » a été copiée sans son dossier « a_files », car un dossier de ce "
                  "nom existe déjà dans « %2 ». La copie risque de s'afficher sans ses images.";
        QCOMPARE(
            dialogs.warnings,
            std::vector<std::string>{
                expected.arg(QString::fromStdString(source), QString::fromStdString(places.target))
                    .toStdString()});
    }

    void inItsOwnFolderTheFolderStays_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("result");
        QTest::newRow("copy onto itself") << unsigned(FO_COPY) << "a.htm"
                                          << "a - Copie.htm";
        QTest::newRow("move to a new name") << unsigned(FO_MOVE) << "c.htm"
                                            << "c.htm";
        QTest::newRow("rename") << unsigned(FO_RENAME) << "c.htm"
                                << "c.htm";
    }
    void inItsOwnFolderTheFolderStays()
    {
        QFETCH(unsigned, function);
        QFETCH(QString, target);
        QFETCH(QString, result);
        FreshHome home;
        savedPage::make(home.path());
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(function, home.path() + "/a.htm",
                                            home.path() + "/" + target.toStdString(),
                                            function == FO_RENAME ? kRenameFlags : kTransferFlags),
                                  dialogs),
                 0);

        QVERIFY(dialogs.warnings.empty());
        const std::string page = home.path() + "/" + result.toStdString();
        Names expected{result.toStdString(), "a_files"};
        if (function == FO_COPY)
            expected.push_back("a.htm");
        std::sort(expected.begin(), expected.end());
        QCOMPARE(entriesOf(home.path()), expected);
        QCOMPARE(savedPage::brokenLinks(page), Names{});
        if (function != FO_COPY) // the renamed page keeps its folder, found by its links
            QCOMPARE(findCompanionFolder(page), home.path() + "/a_files");
    }

    void renamedPageTakesItsFolderAlong_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("on one file system") << "same";
        QTest::newRow("to a tmpfs") << "to tmpfs";
    }
    void renamedPageTakesItsFolderAlong()
    {
        QFETCH(QString, where);
        Places places;
        if (!places.make(where))
            QSKIP(places.mount.reason());
        savedPage::make(places.source);
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(FO_RENAME, places.source + "/a.htm",
                                            places.source + "/Nouveau nom.htm", kRenameFlags),
                                  dialogs),
                 0);
        QCOMPARE(entriesOf(places.source), (Names{"Nouveau nom.htm", "a_files"}));
        QCOMPARE(runFileOperation(requestOf(FO_MOVE, places.source + "/Nouveau nom.htm",
                                            places.target + "/Nouveau nom.htm", kTransferFlags),
                                  dialogs),
                 0);

        QVERIFY(dialogs.errors.empty());
        QVERIFY(dialogs.warnings.empty());
        QCOMPARE(entriesOf(places.source), Names{});
        QCOMPARE(entriesOf(places.target), (Names{"Nouveau nom.htm", "a_files"}));
        QCOMPARE(savedPage::brokenLinks(places.target + "/Nouveau nom.htm"), Names{});
    }

    void anotherPagesFolderIsNeverTouched_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::newRow("copy") << unsigned(FO_COPY);
        QTest::newRow("move") << unsigned(FO_MOVE);
        QTest::newRow("delete") << unsigned(FO_DELETE);
    }
    void anotherPagesFolderIsNeverTouched()
    {
        QFETCH(unsigned, function);
        FreshHome home;
        const std::string pages = home.path() + "/pages";
        const std::string target = home.path() + "/elsewhere";
        QCOMPARE(mkdir(pages.c_str(), 0755), 0);
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        savedPage::make(pages);
        // A copy of the page links into the folder, which is a.htm's by its name.
        writeBytes(pages + "/copie.htm", savedPage::html());
        writeBytes(pages + "/b.htm", "<img src=\"b_files/x.png\">"); // its folder: a link
        QCOMPARE(symlink("a_files", (pages + "/b_files").c_str()), 0);
        ScriptedFileDialogs dialogs;

        for (const std::string name : {"copie.htm", "b.htm"})
            QCOMPARE(runFileOperation(requestOf(function, pages + "/" + name,
                                                function == FO_DELETE ? "" : target + "/" + name,
                                                kTransferFlags),
                                      dialogs),
                     0);

        QVERIFY(dialogs.warnings.empty());
        const bool copied = function == FO_COPY;
        QCOMPARE(entriesOf(pages),
                 copied ? (Names{"a.htm", "a_files", "b.htm", "b_files", "copie.htm"})
                        : (Names{"a.htm", "a_files", "b_files"}));
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        QCOMPARE(entriesOf(function == FO_DELETE ? home.trash() + "/files" : target),
                 (Names{"b.htm", "copie.htm"}));
    }

    void caseInsensitiveTargetTakesAllOrNothing_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::newRow("copy") << unsigned(FO_COPY);
        QTest::newRow("move") << unsigned(FO_MOVE);
    }
    void caseInsensitiveTargetTakesAllOrNothing()
    {
        QFETCH(unsigned, function);
        FreshHome home;
        ExfatMount stick(home.path() + "/stick");
        if (!stick.mounted())
            QSKIP(stick.reason());
        const std::string pages = home.path() + "/pages";
        QCOMPARE(mkdir(pages.c_str(), 0755), 0);
        savedPage::make(pages);
        writeBytes(pages + "/a_files/img/Logo.png", "grand");
        ScriptedFileDialogs dialogs;

        QVERIFY(runFileOperation(
                    requestOf(function, pages + "/a.htm", stick.path() + "/a.htm", kTransferFlags),
                    dialogs) != 0);

        // Nothing of the attempt on the stick; page and folder whole where they were; why, by name.
        QCOMPARE(entriesOf(stick.path()), Names{});
        QCOMPARE(entriesOf(pages), pageAndFolder);
        QCOMPARE(entriesOf(pages + "/a_files/img"), (Names{"Logo.png", "logo.png"}));
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        QVERIFY(dialogs.warnings.empty());
        QCOMPARE(dialogs.errors.size(), std::size_t(1));
        QVERIFY2(dialogs.errorText().contains("« Logo.png »") &&
                     dialogs.errorText().contains("« logo.png »"),
                 qPrintable(dialogs.errorText()));
    }

    void deleteTrashesBoth_data()
    {
        QTest::addColumn<QString>("where");
        QTest::newRow("home trash") << "same";
        QTest::newRow("the mount's own trash") << "from tmpfs";
        QTest::newRow("home trash by copy") << "from tmpfs, its trash unusable";
    }
    void deleteTrashesBoth()
    {
        QFETCH(QString, where);
        Places places;
        if (!places.make(where.startsWith("from tmpfs") ? "from tmpfs" : where))
            QSKIP(places.mount.reason());
        if (where.contains("unusable"))
            writeBytes(places.mount.path() + "/.Trash-" + uid(), "x");
        savedPage::make(places.source);
        writeBytes(places.source + "/b.htm", "autre");
        QCOMPARE(mkdir((places.source + "/b_files").c_str(), 0755), 0);
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(FO_DELETE, places.source + "/a.htm", {}, kRenameFlags),
                                  dialogs),
                 0);

        QVERIFY(dialogs.errors.empty());
        QCOMPARE(entriesOf(places.source), (Names{"b.htm", "b_files"}));
        const std::string trash =
            where == "from tmpfs" ? places.mount.path() + "/.Trash-" + uid() : places.home.trash();
        // Each has its own entry, restorable to where it was.
        QCOMPARE(entriesOf(trash + "/files"), pageAndFolder);
        QCOMPARE(entriesOf(trash + "/info"), (Names{"a.htm.trashinfo", "a_files.trashinfo"}));
        const std::string prefix = where == "from tmpfs" ? "pages" : resolved(places.source);
        for (const std::string& name : pageAndFolder) {
            const std::string info = readBytes(trash + "/info/" + name + ".trashinfo");
            QVERIFY2(info.find("\nPath=" + prefix + "/" + name + "\n") != std::string::npos,
                     info.c_str());
        }
        QCOMPARE(savedPage::brokenLinks(trash + "/files/a.htm"), Names{});
    }

    void deletedThenRestoredByTheDesktop()
    {
        FreshHome home;
        const std::string pages = resolved(home.path()) + "/pages";
        QCOMPARE(mkdir(pages.c_str(), 0755), 0);
        savedPage::make(pages);
        ScriptedFileDialogs dialogs;
        QCOMPARE(
            runFileOperation(requestOf(FO_DELETE, pages + "/a.htm", {}, kRenameFlags), dialogs), 0);
        QCOMPARE(entriesOf(pages), Names{});

        QByteArray listing;
        QString problem;
        if (!runGio({"--list"}, listing, problem))
            QSKIP(qPrintable(problem + " (is gvfs installed?)"));
        // Each line: the item's trash address, a tab, its original path.
        for (const std::string& name : pageAndFolder) {
            QString address;
            for (const QByteArray& line : listing.split('\n')) {
                const QList<QByteArray> fields = line.split('\t');
                if (fields.size() == 2 &&
                    fields[1] == QByteArray::fromStdString(pages + "/" + name))
                    address = QString::fromUtf8(fields[0]);
            }
            QVERIFY2(!address.isEmpty(), listing.constData());
            QByteArray ignored;
            QVERIFY2(runGio({"--restore", address}, ignored, problem), qPrintable(problem));
        }

        QCOMPARE(entriesOf(pages), pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        QCOMPARE(entriesOf(home.trash() + "/files"), Names{});
        QCOMPARE(entriesOf(home.trash() + "/info"), Names{});
    }

    void cancelLeavesThePageWithItsFolder_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<bool>("inThePage"); // else in the folder, which goes first
        for (const auto& [name, function] :
             {std::pair{"copy", unsigned(FO_COPY)}, std::pair{"move", unsigned(FO_MOVE)},
              std::pair{"delete", unsigned(FO_DELETE)}}) {
            QTest::addRow("%s, cancelled in the folder", name) << function << false;
            if (function != FO_DELETE)
                QTest::addRow("%s, cancelled in the page", name) << function << true;
        }
    }
    void cancelLeavesThePageWithItsFolder()
    {
        QFETCH(unsigned, function);
        QFETCH(bool, inThePage);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=64m");
        REQUIRE_MOUNTED(mount);
        // Copies cross to the tmpfs; the mount's trash is unusable, so a delete copies too.
        writeBytes(mount.path() + "/.Trash-" + uid(), "x");
        const std::string pages = function == FO_DELETE ? mount.path() : home.path() + "/pages";
        mkdir(pages.c_str(), 0755);
        const std::size_t large = 24 << 20;
        savedPage::make(pages, "a.htm", inThePage ? large : 0);
        if (!inThePage)
            writeLargeFile(pages + "/a_files/big.bin", large);
        const std::string page = readBytes(pages + "/a.htm");
        ScriptedFileDialogs dialogs;
        // A copy or a move takes the folder first, a delete the page.
        if (function == FO_DELETE)
            dialogs.cancelAtBytes = page.size() + 1;
        else
            dialogs.cancelAtBytes = inThePage ? bytesOfFolder() + 1 : 1;

        QCOMPARE(runFileOperation(requestOf(function, pages + "/a.htm",
                                            function == FO_DELETE ? "" : mount.path() + "/a.htm",
                                            kTransferFlags),
                                  dialogs),
                 ECANCELED);

        QVERIFY(dialogs.errors.empty());
        QVERIFY(readBytes(pages + "/a.htm") == page);
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        if (!inThePage)
            QCOMPARE(bytesOf(pages + "/a_files/big.bin"), std::uint64_t(large));
        if (function == FO_DELETE) {
            QCOMPARE(entriesOf(home.trash() + "/files"), Names{});
            QCOMPARE(entriesOf(home.trash() + "/info"), Names{});
            QCOMPARE(entriesOf(mount.path()), (Names{".Trash-" + uid(), "a.htm", "a_files"}));
        } else {
            QCOMPARE(entriesOf(pages), pageAndFolder);
            QCOMPARE(entriesOf(mount.path()), Names{".Trash-" + uid()});
        }
    }

    void pageThatCannotGoTakesItsFolderBack()
    {
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        const std::string pages = home.path() + "/pages";
        QCOMPARE(mkdir(pages.c_str(), 0755), 0);
        savedPage::make(pages);
        ImmutableFile immutable(pages + "/a.htm");
        if (!immutable.isSet())
            QSKIP("this file system cannot mark a file immutable");
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(
                     requestOf(FO_MOVE, pages + "/a.htm", mount.path() + "/a.htm", kTransferFlags),
                     dialogs),
                 EPERM);

        // Both copies were complete, but the page could not leave: nothing moves.
        QCOMPARE(entriesOf(mount.path()), Names{});
        QCOMPARE(entriesOf(pages), pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        QVERIFY(dialogs.errorText().contains("L'accès est refusé."));
    }

    void folderThatCannotGoKeepsThePage_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::newRow("move") << unsigned(FO_MOVE);
        QTest::newRow("delete") << unsigned(FO_DELETE);
    }
    void folderThatCannotGoKeepsThePage()
    {
        QFETCH(unsigned, function);
        FreshHome home;
        const std::string pages = home.path() + "/pages";
        const std::string target = home.path() + "/elsewhere";
        QCOMPARE(mkdir(pages.c_str(), 0755), 0);
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        savedPage::make(pages);
        ImmutableFile immutable(pages + "/a_files");
        if (!immutable.isSet())
            QSKIP("this file system cannot mark a folder immutable");
        ScriptedFileDialogs dialogs;

        const int result = runFileOperation(
            requestOf(function, pages + "/a.htm", function == FO_DELETE ? "" : target + "/a.htm",
                      kTransferFlags),
            dialogs);

        QCOMPARE(result, EPERM);
        QCOMPARE(entriesOf(pages), pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(pages + "/a.htm"), Names{});
        QCOMPARE(entriesOf(target), Names{});
        QCOMPARE(entriesOf(home.trash() + "/files"), Names{});
        QCOMPARE(entriesOf(home.trash() + "/info"), Names{});
        QVERIFY2(dialogs.errorText().contains(QString::fromStdString(pages + "/a_files")),
                 qPrintable(dialogs.errorText()));
    }

    void pageMovedIntoItsOwnFolderGoesAlone()
    {
        FreshHome home;
        savedPage::make(home.path());
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(FO_MOVE, home.path() + "/a.htm",
                                            home.path() + "/a_files/img/a.htm", kTransferFlags),
                                  dialogs),
                 0);

        QCOMPARE(entriesOf(home.path()), Names{"a_files"});
        QCOMPARE(entriesOf(home.path() + "/a_files/img"), (Names{"a.htm", "logo.png"}));
        QCOMPARE(dialogs.warnings.size(), std::size_t(1));
        QVERIFY2(
            QString::fromStdString(dialogs.warnings[0]).contains("à l'intérieur de ce dossier"),
            dialogs.warnings[0].c_str());
    }

    void folderNamedInTheRequestGoesOnce()
    {
        FreshHome home;
        const std::string target = home.path() + "/elsewhere";
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        savedPage::make(home.path());
        FileOperationRequest request = requestOf(FO_COPY, {}, target, kTransferFlags);
        request.from = home.path() + "/a.htm" + '\0' + home.path() + "/a_files/" + '\0' + '\0';
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(request, dialogs), 0);

        QVERIFY(dialogs.errors.empty());
        QCOMPARE(entriesOf(target), pageAndFolder);
        QCOMPARE(savedPage::brokenLinks(target + "/a.htm"), Names{});
    }

private:
    static std::uint64_t bytesOf(const std::string& path)
    {
        struct stat st;
        return lstat(path.c_str(), &st) == 0 ? static_cast<std::uint64_t>(st.st_size) : 0;
    }

    static std::uint64_t bytesOfFolder()
    {
        std::uint64_t total = 0;
        for (const std::string& file : savedPage::linkedFiles())
            total += savedPage::contentOf(file).size();
        return total;
    }
};

QTEST_GUILESS_MAIN(TestFileopsCompanion)
#include "tst_fileops_companion.moc"
