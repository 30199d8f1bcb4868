#include "support/fileops_support.h"

#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>

// Rename, copy and move: the names they give, and that a failure or a cancel loses nothing.
class TestFileopsTransfer : public QObject {
    Q_OBJECT

    // Mode and modification time given to sources, to see them kept by copies; folders keep
    // their x bits, without which only root could go through them.
    static constexpr mode_t kMode = 0640;
    static constexpr mode_t kFolderMode = 0750;
    static constexpr timespec kTime{1600000000, 123456789};

    static mode_t modeFor(const std::string& path)
    {
        struct stat st;
        return lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? kFolderMode : kMode;
    }

    static void stamp(const std::string& path)
    {
        QCOMPARE(chmod(path.c_str(), modeFor(path)), 0);
        const timespec times[2] = {kTime, kTime};
        QCOMPARE(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
    }

    static void checkStamp(const std::string& path)
    {
        struct stat st;
        QCOMPARE(lstat(path.c_str(), &st), 0);
        QCOMPARE(st.st_mode & 07777, modeFor(path));
        QCOMPARE(st.st_mtim.tv_sec, kTime.tv_sec);
        QCOMPARE(st.st_mtim.tv_nsec, kTime.tv_nsec);
    }

    static off_t sizeOf(const std::string& path)
    {
        struct stat st;
        return lstat(path.c_str(), &st) == 0 ? st.st_size : -1;
    }

    // A folder with a file, a nested folder and a link, all stamped.
    static void makeTree(const std::string& folder)
    {
        QCOMPARE(mkdir(folder.c_str(), 0755), 0);
        QCOMPARE(mkdir((folder + "/img").c_str(), 0755), 0);
        writeBytes(folder + "/page.htm", "page");
        writeBytes(folder + "/img/a.png", "png");
        QCOMPARE(symlink("../page.htm", (folder + "/img/lien").c_str()), 0);
        stamp(folder + "/page.htm");
        stamp(folder + "/img");
        stamp(folder);
    }

    static void checkTree(const std::string& folder)
    {
        QCOMPARE(readBytes(folder + "/page.htm"), std::string("page"));
        QCOMPARE(readBytes(folder + "/img/a.png"), std::string("png"));
        QVERIFY(isLink(folder + "/img/lien"));
        QCOMPARE(linkValue(folder + "/img/lien"), std::string("../page.htm"));
        checkStamp(folder + "/page.htm");
        checkStamp(folder + "/img");
        checkStamp(folder);
    }

private slots:
    void collisionNames_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<bool>("sameFolder");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected");
        const unsigned copy = FO_COPY;
        const unsigned move = FO_MOVE;
        QTest::newRow("copy to a free name") << copy << false << "a.htm"
                                             << "a.htm" << QStringList{} << "a.htm";
        QTest::newRow("copy onto a name taken in another folder")
            << copy << false << "a.htm"
            << "a.htm" << QStringList{"a.htm"} << "a (2).htm";
        QTest::newRow("copy, (2) taken too")
            << copy << false << "a.htm"
            << "a.htm" << QStringList{"a.htm", "a (2).htm"} << "a (3).htm";
        QTest::newRow("copy onto another name taken in its own folder")
            << copy << true << "a.htm"
            << "b.htm" << QStringList{"b.htm"} << "b - Copie.htm";
        QTest::newRow("copy onto itself") << copy << true << "a.htm"
                                          << "a.htm" << QStringList{} << "a - Copie.htm";
        QTest::newRow("copy onto itself, first copy taken")
            << copy << true << "a.htm"
            << "a.htm" << QStringList{"a - Copie.htm"} << "a - Copie (2).htm";
        QTest::newRow("copy onto itself, two copies taken")
            << copy << true << "a.htm"
            << "a.htm" << QStringList{"a - Copie.htm", "a - Copie (2).htm"} << "a - Copie (3).htm";
        QTest::newRow("copy without extension onto itself")
            << copy << true << "page"
            << "page" << QStringList{} << "page - Copie";
        // Collision names longer than 255 bytes are cut in their stem, never inside a character.
        const QString longStem(248, 'n');
        QTest::newRow("copy onto itself, name near the limit")
            << copy << true << longStem + ".htm" << longStem + ".htm" << QStringList{}
            << QString(243, 'n') + " - Copie.htm";
        const QString accented = QString(242, 'n') + "\u00e9t\u00e9";
        QTest::newRow("copy onto itself, cut before a two-byte character")
            << copy << true << accented + ".htm" << accented + ".htm" << QStringList{}
            << QString(242, 'n') + " - Copie.htm";
        QTest::newRow("copy near the limit, (2) taken")
            << copy << false << longStem + ".htm" << longStem + ".htm"
            << QStringList{longStem + ".htm", QString(247, 'n') + " (2).htm"}
            << QString(247, 'n') + " (3).htm";
        QTest::newRow("move to a free name in another folder")
            << move << false << "a.htm"
            << "a.htm" << QStringList{} << "a.htm";
        QTest::newRow("move onto a name taken in another folder")
            << move << false << "a.htm"
            << "a.htm" << QStringList{"a.htm"} << "a (2).htm";
        QTest::newRow("move to a new name in its own folder")
            << move << true << "a.htm"
            << "c.htm" << QStringList{} << "c.htm";
        QTest::newRow("move onto a name taken in its own folder")
            << move << true << "a.htm"
            << "b.htm" << QStringList{"b.htm"} << "b (2).htm";
    }
    void collisionNames()
    {
        QFETCH(unsigned, function);
        QFETCH(bool, sameFolder);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        FreshHome home;
        const std::string from = home.path() + "/src";
        const std::string to = sameFolder ? from : home.path() + "/dst";
        QCOMPARE(mkdir(from.c_str(), 0755), 0);
        mkdir(to.c_str(), 0755);
        for (const QString& name : existing)
            writeBytes(to + "/" + name.toStdString(), "ancien");
        const std::string sourcePath = from + "/" + source.toStdString();
        writeBytes(sourcePath, "nouveau");
        stamp(sourcePath);
        ScriptedFileDialogs dialogs;

        const int result = runFileOperation(
            requestOf(function, sourcePath, to + "/" + target.toStdString(), kTransferFlags),
            dialogs);

        QCOMPARE(result, 0);
        QVERIFY(dialogs.errors.empty());
        const std::string finalPath = to + "/" + expected.toStdString();
        QCOMPARE(readBytes(finalPath), std::string("nouveau"));
        checkStamp(finalPath);
        for (const QString& name : existing)
            QCOMPARE(readBytes(to + "/" + name.toStdString()), std::string("ancien"));
        QCOMPARE(exists(sourcePath), function == FO_COPY);
        // Nothing else in the target folder: no temporary copy left behind.
        std::vector<std::string> expectedNames;
        for (const QString& name : existing)
            expectedNames.push_back(name.toStdString());
        expectedNames.push_back(expected.toStdString());
        if (sameFolder && function == FO_COPY)
            expectedNames.push_back(source.toStdString());
        std::sort(expectedNames.begin(), expectedNames.end());
        expectedNames.erase(std::unique(expectedNames.begin(), expectedNames.end()),
                            expectedNames.end());
        QCOMPARE(entriesOf(to), expectedNames);
    }

    void copyWithoutRenameOnCollisionNeverReplaces()
    {
        FreshHome home;
        writeBytes(home.path() + "/a.htm", "nouveau");
        QCOMPARE(mkdir((home.path() + "/dst").c_str(), 0755), 0);
        writeBytes(home.path() + "/dst/a.htm", "ancien");
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(FO_COPY, home.path() + "/a.htm",
                                            home.path() + "/dst/a.htm", FOF_ALLOWUNDO),
                                  dialogs),
                 EEXIST);

        QCOMPARE(readBytes(home.path() + "/dst/a.htm"), std::string("ancien"));
        QCOMPARE(entriesOf(home.path() + "/dst"), std::vector<std::string>{"a.htm"});
        QVERIFY(dialogs.errorText().contains("existe déjà"));
    }

    void renames_data()
    {
        QTest::addColumn<QString>("target"); // relative to the home folder
        QTest::addColumn<bool>("succeeds");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after"); // the entries of the source's folder
        QTest::newRow("new name") << "src/b.htm" << true << "" << QStringList{"b.htm", "taken.htm"};
        QTest::newRow("extension alone")
            << "src/.htm" << true << "" << QStringList{".htm", "taken.htm"};
        QTest::newRow("same name")
            << "src/a.htm" << true << "" << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("onto an existing name")
            << "src/taken.htm" << false
            << "Le nom « taken.htm » existe déjà dans ce dossier : choisissez-en un autre."
            << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("into another folder")
            << "other/b.htm" << false << "même dossier" << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("new name holding a slash")
            << "src/sub/b.htm" << false << "Un nom ne peut pas contenir « / »."
            << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("new name climbing out of the folder")
            << "src/../other/b.htm" << false << "Un nom ne peut pas contenir « / »."
            << QStringList{"a.htm", "taken.htm"};
        // 255 bytes are 127 characters of a name written in two-byte letters.
        QTest::newRow("name too long in bytes, not in characters")
            << "src/" + QString(200, QChar(0xE9)) + ".htm" << false
            << "au plus 255 octets, soit environ 128 caractères de ce nom"
            << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("empty name") << "src/" << false << "pas un nom de fichier valable"
                                    << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("dot") << "src/." << false << "pas un nom de fichier valable"
                             << QStringList{"a.htm", "taken.htm"};
        QTest::newRow("dot dot") << "src/.." << false << "pas un nom de fichier valable"
                                 << QStringList{"a.htm", "taken.htm"};
    }
    void renames()
    {
        QFETCH(QString, target);
        QFETCH(bool, succeeds);
        QFETCH(QString, message);
        QFETCH(QStringList, after);
        FreshHome home;
        const std::string folder = home.path() + "/src";
        QCOMPARE(mkdir(folder.c_str(), 0755), 0);
        QCOMPARE(mkdir((home.path() + "/other").c_str(), 0755), 0);
        writeBytes(folder + "/a.htm", "page");
        writeBytes(folder + "/taken.htm", "autre");
        ScriptedFileDialogs dialogs;

        const int result = runFileOperation(
            requestOf(FO_RENAME, folder + "/a.htm",
                      home.path() + "/" + target.toUtf8().toStdString(), kRenameFlags),
            dialogs);

        QCOMPARE(result == 0, succeeds);
        std::vector<std::string> expected;
        for (const QString& name : after)
            expected.push_back(name.toStdString());
        QCOMPARE(entriesOf(folder), expected);
        QCOMPARE(readBytes(folder + "/taken.htm"), std::string("autre"));
        QVERIFY(entriesOf(home.path() + "/other").empty());
        if (succeeds) {
            QVERIFY(dialogs.errors.empty());
        } else {
            QCOMPARE(dialogs.errors.size(), std::size_t(1));
            QVERIFY2(dialogs.errorText().startsWith("Impossible de renommer « " +
                                                    QString::fromStdString(folder) + "/a.htm »."),
                     qPrintable(dialogs.errorText()));
            QVERIFY2(dialogs.errorText().contains(message), qPrintable(dialogs.errorText()));
        }
    }

    void nonLocalPathsTouchNothing_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<QString>("source"); // "@" stands for the home folder
        QTest::addColumn<QString>("target");
        const QList<QPair<const char*, unsigned>> functions = {
            {"move", FO_MOVE}, {"copy", FO_COPY}, {"delete", FO_DELETE}, {"rename", FO_RENAME}};
        for (const auto& [name, function] : functions) {
            const QString target = function == FO_DELETE ? "" : "@/b.htm";
            QTest::addRow("%s: web address", name)
                << function << "http://example.org/a.htm" << target;
            QTest::addRow("%s: file address", name) << function << "file://@/a.htm" << target;
            QTest::addRow("%s: relative path", name) << function << "a.htm" << target;
            if (function != FO_DELETE) {
                QTest::addRow("%s: web address as target", name) << function << "@/a.htm"
                                                                 << "https://example.org/b.htm";
                QTest::addRow("%s: relative target", name) << function << "@/a.htm"
                                                           << "b.htm";
            }
        }
    }
    void nonLocalPathsTouchNothing()
    {
        QFETCH(unsigned, function);
        QFETCH(QString, source);
        QFETCH(QString, target);
        FreshHome home;
        const QString here = QString::fromStdString(home.path());
        writeBytes(home.path() + "/a.htm", "page");
        ScriptedFileDialogs dialogs;

        const int result =
            runFileOperation(requestOf(function, source.replace("@", here).toStdString(),
                                       target.replace("@", here).toStdString(), kTransferFlags),
                             dialogs);

        QVERIFY(result != 0);
        QCOMPARE(entriesOf(home.path()), std::vector<std::string>{"a.htm"});
        QCOMPARE(readBytes(home.path() + "/a.htm"), std::string("page"));
        QCOMPARE(dialogs.errors.size(), std::size_t(1));
        QVERIFY2(dialogs.errorText().contains("chemin complet d'un fichier local"),
                 qPrintable(dialogs.errorText()));
        QCOMPARE(dialogs.workRuns, 0);
    }

    void acrossFileSystems_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("fromMount");
        QTest::newRow("move a file to a tmpfs") << unsigned(FO_MOVE) << false << false;
        QTest::newRow("move a folder to a tmpfs") << unsigned(FO_MOVE) << true << false;
        QTest::newRow("move a file from a tmpfs") << unsigned(FO_MOVE) << false << true;
        QTest::newRow("move a folder from a tmpfs") << unsigned(FO_MOVE) << true << true;
        QTest::newRow("copy a file to a tmpfs") << unsigned(FO_COPY) << false << false;
        QTest::newRow("copy a folder to a tmpfs") << unsigned(FO_COPY) << true << false;
    }
    void acrossFileSystems()
    {
        QFETCH(unsigned, function);
        QFETCH(bool, folder);
        QFETCH(bool, fromMount);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=8m");
        REQUIRE_MOUNTED(mount);
        const std::string disk = home.path() + "/disk";
        QCOMPARE(mkdir(disk.c_str(), 0755), 0);
        struct stat a;
        struct stat b;
        QCOMPARE(stat(disk.c_str(), &a), 0);
        QCOMPARE(stat(mount.path().c_str(), &b), 0);
        QVERIFY(a.st_dev != b.st_dev);
        const std::string source = (fromMount ? mount.path() : disk) + "/item";
        const std::string target = (fromMount ? disk : mount.path()) + "/item";
        if (folder) {
            makeTree(source);
        } else {
            writeLargeFile(source, 3 << 20);
            stamp(source);
        }
        const std::string original = folder ? std::string() : readBytes(source);
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(function, source, target, kTransferFlags), dialogs), 0);

        QVERIFY(dialogs.errors.empty());
        QCOMPARE(exists(source), function == FO_COPY);
        if (folder) {
            checkTree(target);
        } else {
            QVERIFY(readBytes(target) == original);
            checkStamp(target);
        }
        QCOMPARE(dialogs.lastDone, dialogs.lastTotal);
        QCOMPARE(dialogs.lastTotal, folder ? std::uint64_t(7) : std::uint64_t(3 << 20));
        QCOMPARE(entriesOf(parentOfTarget(target)), std::vector<std::string>{"item"});
    }

    void diskFillsDuringTheCopy_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::newRow("copy") << unsigned(FO_COPY);
        QTest::newRow("move") << unsigned(FO_MOVE);
    }
    void diskFillsDuringTheCopy()
    {
        QFETCH(unsigned, function);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=1m");
        REQUIRE_MOUNTED(mount);
        const std::string source = home.path() + "/big.bin";
        writeLargeFile(source, 3 << 20);
        const std::string original = readBytes(source);
        ScriptedFileDialogs dialogs;

        QCOMPARE(
            runFileOperation(requestOf(function, source, mount.path() + "/big.bin", kTransferFlags),
                             dialogs),
            ENOSPC);

        QVERIFY(readBytes(source) == original);
        QCOMPARE(entriesOf(mount.path()), std::vector<std::string>{});
        QVERIFY2(dialogs.errorText().contains("Le disque est plein."),
                 qPrintable(dialogs.errorText()));
    }

    void readOnlyTarget_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::newRow("copy") << unsigned(FO_COPY);
        QTest::newRow("move") << unsigned(FO_MOVE);
    }
    void readOnlyTarget()
    {
        QFETCH(unsigned, function);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=1m");
        REQUIRE_MOUNTED(mount);
        QVERIFY(mount.makeReadOnly());
        const std::string source = home.path() + "/a.htm";
        writeBytes(source, "page");
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(
                     requestOf(function, source, mount.path() + "/a.htm", kTransferFlags), dialogs),
                 EROFS);

        QCOMPARE(readBytes(source), std::string("page"));
        QCOMPARE(entriesOf(mount.path()), std::vector<std::string>{});
        QVERIFY2(dialogs.errorText().contains("lecture seule"), qPrintable(dialogs.errorText()));
    }

    void largeCopyStoppedInTheMiddle_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<bool>("toMount");
        QTest::addColumn<bool>("cutShort"); // else cancelled
        QTest::newRow("copy on one file system") << unsigned(FO_COPY) << false << false;
        QTest::newRow("copy to another file system") << unsigned(FO_COPY) << true << false;
        QTest::newRow("move to another file system") << unsigned(FO_MOVE) << true << false;
        QTest::newRow("copy on one file system, source cut short")
            << unsigned(FO_COPY) << false << true;
        QTest::newRow("move to another file system, source cut short")
            << unsigned(FO_MOVE) << true << true;
    }
    void largeCopyStoppedInTheMiddle()
    {
        QFETCH(unsigned, function);
        QFETCH(bool, toMount);
        QFETCH(bool, cutShort);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=64m");
        if (toMount)
            REQUIRE_MOUNTED(mount);
        const std::string target = toMount ? mount.path() : home.path() + "/dst";
        mkdir(target.c_str(), 0755);
        const std::string source = home.path() + "/big.bin";
        constexpr std::size_t size = 40 << 20;
        writeLargeFile(source, size);
        ScriptedFileDialogs dialogs;
        if (cutShort) {
            // The source ends early, as when the kernel's copy stops short: reads find no more.
            dialogs.duringWork = [&source](FileProgress& progress) {
                if (progress.done() > 0)
                    QCOMPARE(truncate(source.c_str(), 0), 0);
            };
        } else {
            dialogs.cancelAtBytes = 1;
        }

        const int result = runFileOperation(
            requestOf(function, source, target + "/big.bin", kTransferFlags), dialogs);

        QCOMPARE(entriesOf(target), std::vector<std::string>{});
        if (cutShort) {
            QVERIFY(result != 0 && result != ECANCELED);
            QVERIFY(exists(source));
            QVERIFY2(dialogs.errorText().contains("La copie est incomplète"),
                     qPrintable(dialogs.errorText()));
            return;
        }
        QCOMPARE(result, ECANCELED);
        QVERIFY(dialogs.errors.empty()); // a cancel is no error to report
        QCOMPARE(sizeOf(source), off_t(size));
        QVERIFY(dialogs.lastDone > 0 && dialogs.lastDone < size);
        QCOMPARE(dialogs.lastTotal, std::uint64_t(size));
    }

    void interruptedCopyIsClearedByTheNextOne()
    {
        FreshHome home;
        const std::string target = home.path() + "/dst";
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        makeTree(home.path() + "/page_files");
        writeLargeFile(home.path() + "/page_files/big.bin", 24 << 20);
        // A copy in another process, killed once it is under way.
        int ready[2];
        QCOMPARE(pipe(ready), 0);
        const pid_t copier = fork();
        if (copier == 0) {
            ScriptedFileDialogs dialogs;
            dialogs.duringWork = [&](FileProgress& progress) {
                if (progress.done() > 0 && write(ready[1], "x", 1) == 1)
                    pause();
            };
            runFileOperation(requestOf(FO_COPY, home.path() + "/page_files", target + "/page_files",
                                       kTransferFlags),
                             dialogs);
            _exit(0);
        }
        char byte = 0;
        QCOMPARE(read(ready[0], &byte, 1), ssize_t(1));
        kill(copier, SIGKILL);
        waitpid(copier, nullptr, 0);
        close(ready[0]);
        close(ready[1]);
        QCOMPARE(entriesOf(target).size(), std::size_t(1));
        // Another run's leftover holds a folder already given its read-only mode.
        const std::string digits = "0123456789abcdef";
        const std::string readOnly = target + "/.velmo-" + std::to_string(copier) + "-" +
                                     std::string(digits.rbegin(), digits.rend()) + ".part";
        QCOMPARE(mkdir(readOnly.c_str(), 0755), 0);
        QCOMPARE(mkdir((readOnly + "/img").c_str(), 0755), 0);
        writeBytes(readOnly + "/img/a.png", "png");
        QCOMPARE(chmod((readOnly + "/img").c_str(), 0555), 0);
        // Names alike that are not temporaries of an ended run of ours stay.
        const std::vector<std::string> others = {
            ".velmo-" + std::to_string(getpid()) + "-" + digits + ".part",
            ".velmo-" + std::to_string(copier) + "-0123.part", ".velmo-" + digits + ".part",
            ".velmo-" + std::to_string(copier) + "-" + digits + ".part.htm",
            "notes.velmo-" + std::to_string(copier) + "-" + digits + ".part"};
        for (const std::string& name : others)
            writeBytes(target + "/" + name, "autre");
        writeBytes(home.path() + "/a.htm", "page");
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(
                     requestOf(FO_COPY, home.path() + "/a.htm", target + "/a.htm", kTransferFlags),
                     dialogs),
                 0);

        std::vector<std::string> expected = others;
        expected.push_back("a.htm");
        std::sort(expected.begin(), expected.end());
        QCOMPARE(entriesOf(target), expected);
    }

    void sourceThatCannotBeRemovedKeepsItsPlace()
    {
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        const std::string source = home.path() + "/a.htm";
        writeBytes(source, "page");
        ImmutableFile immutable(source);
        if (!immutable.isSet())
            QSKIP("this file system cannot mark a file immutable");
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(
                     requestOf(FO_MOVE, source, mount.path() + "/a.htm", kTransferFlags), dialogs),
                 EPERM);

        // The copy was complete, but a move must not leave the file twice.
        QCOMPARE(readBytes(source), std::string("page"));
        QCOMPARE(entriesOf(mount.path()), std::vector<std::string>{});
        QVERIFY(dialogs.errorText().contains("L'accès est refusé."));
    }

    void missingTargetFolder_data()
    {
        QTest::addColumn<std::uint16_t>("flags");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("copied");
        QTest::newRow("yes creates it") << kTransferFlags << true << true << true;
        QTest::newRow("no is a cancel") << kTransferFlags << false << true << false;
        QTest::newRow("no confirmation: created without a question")
            << std::uint16_t(kTransferFlags | FOF_NOCONFIRMATION) << false << false << true;
    }
    void missingTargetFolder()
    {
        QFETCH(std::uint16_t, flags);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, copied);
        FreshHome home;
        writeBytes(home.path() + "/a.htm", "page");
        const std::string folder = home.path() + "/new/deeper";
        ScriptedFileDialogs dialogs;
        dialogs.answers = {answer};

        const int result = runFileOperation(
            requestOf(FO_COPY, home.path() + "/a.htm", folder + "/a.htm", flags), dialogs);

        QCOMPARE(result, copied ? 0 : ECANCELED);
        QCOMPARE(dialogs.questions.size(), std::size_t(asked ? 1 : 0));
        if (asked)
            QCOMPARE(QString::fromStdString(dialogs.questions.front()),
                     "Le dossier « " + QString::fromStdString(folder) +
                         " » n'existe pas. Voulez-vous le créer ?");
        QCOMPARE(exists(home.path() + "/new"), copied);
        if (copied)
            QCOMPARE(readBytes(folder + "/a.htm"), std::string("page"));
        QVERIFY(dialogs.errors.empty());
    }

    void placesThatCannotBeReached_data()
    {
        QTest::addColumn<unsigned>("function");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        QTest::newRow("move a file onto itself") << unsigned(FO_MOVE) << "dir/a.htm"
                                                 << "dir/a.htm"
                                                 << "le même élément";
        QTest::newRow("move a folder onto itself") << unsigned(FO_MOVE) << "dir"
                                                   << "dir"
                                                   << "le même élément";
        QTest::newRow("move a folder into itself") << unsigned(FO_MOVE) << "dir"
                                                   << "dir/sub/dir"
                                                   << "à l'intérieur de lui-même";
        QTest::newRow("copy a folder into itself") << unsigned(FO_COPY) << "dir"
                                                   << "dir/sub/dir"
                                                   << "à l'intérieur de lui-même";
        QTest::newRow("copy a folder into itself by a link") << unsigned(FO_COPY) << "dir"
                                                             << "lien/dir"
                                                             << "à l'intérieur de lui-même";
        // Checked before the missing folder is made: nothing is created for a failure.
        QTest::newRow("move a folder into a missing folder inside itself")
            << unsigned(FO_MOVE) << "dir"
            << "dir/sub/new/dir"
            << "à l'intérieur de lui-même";
        QTest::newRow("copy a folder into a missing folder inside itself")
            << unsigned(FO_COPY) << "dir"
            << "lien/new/deeper/dir"
            << "à l'intérieur de lui-même";
        QTest::newRow("copy a missing file") << unsigned(FO_COPY) << "absent.htm"
                                             << "b.htm"
                                             << "introuvable";
        QTest::newRow("copy into a file") << unsigned(FO_COPY) << "dir/a.htm"
                                          << "dir/a.htm/b.htm"
                                          << "n'est pas un dossier";
    }
    void placesThatCannotBeReached()
    {
        QFETCH(unsigned, function);
        QFETCH(QString, source);
        QFETCH(QString, target);
        QFETCH(QString, message);
        FreshHome home;
        const std::string dir = home.path() + "/dir";
        QCOMPARE(mkdir(dir.c_str(), 0755), 0);
        QCOMPARE(mkdir((dir + "/sub").c_str(), 0755), 0);
        QCOMPARE(symlink("dir/sub", (home.path() + "/lien").c_str()), 0);
        writeBytes(dir + "/a.htm", "page");
        ScriptedFileDialogs dialogs;

        const int result =
            runFileOperation(requestOf(function, home.path() + "/" + source.toStdString(),
                                       home.path() + "/" + target.toStdString(),
                                       kTransferFlags | FOF_NOCONFIRMATION),
                             dialogs);

        QVERIFY(result != 0);
        QCOMPARE(entriesOf(dir), (std::vector<std::string>{"a.htm", "sub"}));
        QCOMPARE(entriesOf(dir + "/sub"), std::vector<std::string>{});
        QCOMPARE(readBytes(dir + "/a.htm"), std::string("page"));
        QVERIFY2(dialogs.errorText().contains(message), qPrintable(dialogs.errorText()));
    }

    void copiesAFolderWhole()
    {
        FreshHome home;
        makeTree(home.path() + "/page_files");
        QCOMPARE(mkdir((home.path() + "/dst").c_str(), 0755), 0);
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(requestOf(FO_COPY, home.path() + "/page_files",
                                            home.path() + "/dst/page_files", kTransferFlags),
                                  dialogs),
                 0);

        checkTree(home.path() + "/page_files");
        checkTree(home.path() + "/dst/page_files");
        QCOMPARE(entriesOf(home.path() + "/dst"), std::vector<std::string>{"page_files"});
    }

    void severalSourcesGoIntoOneFolder()
    {
        FreshHome home;
        writeBytes(home.path() + "/a.htm", "a");
        writeBytes(home.path() + "/b.htm", "b");
        QCOMPARE(mkdir((home.path() + "/dst").c_str(), 0755), 0);
        FileOperationRequest request = requestOf(FO_COPY, {}, home.path() + "/dst", kTransferFlags);
        request.from = home.path() + "/a.htm" + '\0' + home.path() + "/b.htm" + '\0' + '\0';
        ScriptedFileDialogs dialogs;

        QCOMPARE(runFileOperation(request, dialogs), 0);

        QCOMPARE(readBytes(home.path() + "/dst/a.htm"), std::string("a"));
        QCOMPARE(readBytes(home.path() + "/dst/b.htm"), std::string("b"));
    }

private:
    static std::string parentOfTarget(const std::string& path)
    {
        return path.substr(0, path.rfind('/'));
    }
};

QTEST_GUILESS_MAIN(TestFileopsTransfer)
#include "tst_fileops_transfer.moc"
