#include "support/fileops_support.h"
#include "support/saved_page.h"

#include <QDateTime>
#include <QRegularExpression>
#include <atomic>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

// The calls that make the trash durable, recorded while `recording` is set: "fsync PATH" and
// "rename TARGET". Defined in the test program, these take the place of the C library's.
namespace durability {
std::atomic<bool> recording{false};
std::mutex mutex;
std::vector<std::string> calls;

void record(const std::string& call)
{
    if (!recording)
        return;
    std::lock_guard lock(mutex);
    calls.push_back(call);
}
} // namespace durability

extern "C" int fsync(int fd)
{
    char path[PATH_MAX];
    const ssize_t length =
        readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    durability::record("fsync " + std::string(path, length > 0 ? std::size_t(length) : 0));
    return static_cast<int>(syscall(SYS_fsync, fd));
}

extern "C" int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
                         unsigned int flags) noexcept
{
    durability::record("rename " + std::string(to));
    return static_cast<int>(syscall(SYS_renameat2, fromFolder, from, toFolder, to, flags));
}

// Delete to the trash: where items go, what the info file says, and that nothing is ever lost.
class TestFileopsTrash : public QObject {
    Q_OBJECT

    static std::string resolved(const std::string& folder)
    {
        char buffer[PATH_MAX];
        return realpath(folder.c_str(), buffer) ? std::string(buffer) : folder;
    }

    static int trash(const std::string& path, ScriptedFileDialogs& dialogs)
    {
        return runFileOperation(requestOf(FO_DELETE, path, {}, kRenameFlags), dialogs);
    }

    static std::string uid() { return std::to_string(getuid()); }

    static mode_t modeOf(const std::string& path)
    {
        struct stat st;
        return lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
    }

    // The value of one "Key=" line of an info file.
    static QString infoValue(const std::string& infoPath, const QString& key)
    {
        const QString text = QString::fromUtf8(readBytes(infoPath));
        for (const QString& line : text.split('\n'))
            if (line.startsWith(key + "="))
                return line.mid(key.size() + 1);
        return {};
    }

private slots:
    void infoFileContent_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("encodedName");
        QTest::newRow("plain") << QByteArray("page.htm") << QByteArray("page.htm");
        QTest::newRow("space, hash, percent")
            << QByteArray("a b#1%.htm") << QByteArray("a%20b%231%25.htm");
        QTest::newRow("accented") << QByteArray("\xC3\xA9t\xC3\xA9.htm")
                                  << QByteArray("%C3%A9t%C3%A9.htm");
        QTest::newRow("not UTF-8")
            << QByteArray("\xE9t\xE9\xFF.htm") << QByteArray("%E9t%E9%FF.htm");
    }
    void infoFileContent()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, encodedName);
        FreshHome home;
        const std::string folder = home.path() + "/pages";
        QCOMPARE(mkdir(folder.c_str(), 0755), 0);
        const std::string item = folder + "/" + name.toStdString();
        writeBytes(item, "contenu");
        ScriptedFileDialogs dialogs;
        // The date is whole seconds from the kernel's coarse clock, which may lag a few ms.
        QDateTime before = QDateTime::currentDateTime().addSecs(-1);
        before.setTime(QTime(before.time().hour(), before.time().minute(), before.time().second()));

        QCOMPARE(trash(item, dialogs), 0);

        QVERIFY(!exists(item));
        QVERIFY(dialogs.errors.empty());
        const std::string trashed = home.trash() + "/files/" + name.toStdString();
        QCOMPARE(readBytes(trashed), std::string("contenu"));
        const std::string info = home.trash() + "/info/" + name.toStdString() + ".trashinfo";
        const std::string text = readBytes(info);
        const std::string expectedStart = "[Trash Info]\nPath=" + resolved(folder) + "/" +
                                          encodedName.toStdString() + "\nDeletionDate=";
        QCOMPARE(text.substr(0, expectedStart.size()), expectedStart);
        const QString date = QString::fromStdString(text.substr(expectedStart.size()));
        QVERIFY2(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\n$")
                     .match(date)
                     .hasMatch(),
                 qPrintable(date));
        const QDateTime when = QDateTime::fromString(date.trimmed(), Qt::ISODate);
        QVERIFY(when >= before && when <= QDateTime::currentDateTime());
        QCOMPARE(modeOf(info), mode_t(0600));
    }

    void infoFileIsOnDiskBeforeTheItemMovesIn()
    {
        FreshHome home;
        const std::string item = home.path() + "/a.htm";
        writeBytes(item, "a");
        ScriptedFileDialogs dialogs;

        durability::recording = true;
        const int result = trash(item, dialogs);
        durability::recording = false;

        QCOMPARE(result, 0);
        const std::vector<std::string>& calls = durability::calls;
        const auto indexOf = [&](const std::string& call) {
            return std::find(calls.begin(), calls.end(), call) - calls.begin();
        };
        const std::string trashPath = resolved(home.trash());
        const auto move = indexOf("rename " + home.trash() + "/files/a.htm");
        std::string seen;
        for (const std::string& call : calls)
            seen += call + "\n";
        QVERIFY2(move < std::ssize(calls), seen.c_str());
        QVERIFY(indexOf("fsync " + trashPath + "/info/a.htm.trashinfo") < move);
        QVERIFY(indexOf("fsync " + trashPath + "/info") < move);
    }

    void abandonedTemporariesLeaveTheTrash()
    {
        FreshHome home;
        const std::string first = home.path() + "/a.htm";
        writeBytes(first, "a");
        ScriptedFileDialogs dialogs;
        QCOMPARE(trash(first, dialogs), 0);
        // A copy into the trash by a process that has ended since, beside names that stay.
        const pid_t ended = fork();
        if (ended == 0)
            _exit(0);
        waitpid(ended, nullptr, 0);
        const std::string files = home.trash() + "/files/";
        const std::string digits = "0123456789abcdef";
        writeBytes(files + ".velmo-" + std::to_string(ended) + "-" + digits + ".part", "reste");
        const std::vector<std::string> others = {
            ".velmo-" + std::to_string(getpid()) + "-" + digits + ".part",
            ".velmo-" + std::to_string(ended) + "-" + digits + ".partie"};
        for (const std::string& name : others)
            writeBytes(files + name, "autre");
        const std::string second = home.path() + "/b.htm";
        writeBytes(second, "b");

        QCOMPARE(trash(second, dialogs), 0);

        std::vector<std::string> expected = others;
        expected.insert(expected.end(), {"a.htm", "b.htm"});
        std::sort(expected.begin(), expected.end());
        QCOMPARE(entriesOf(home.trash() + "/files"), expected);
    }

    void freshAccountGetsItsTrash_data()
    {
        QTest::addColumn<bool>("withDataHome");
        QTest::newRow("XDG_DATA_HOME set") << true;
        QTest::newRow("XDG_DATA_HOME unset: ~/.local/share") << false;
    }
    void freshAccountGetsItsTrash()
    {
        QFETCH(bool, withDataHome);
        FreshHome home;
        if (!withDataHome)
            qunsetenv("XDG_DATA_HOME");
        QVERIFY(!exists(home.path() + "/.local"));
        const std::string item = home.path() + "/a.htm";
        writeBytes(item, "a");
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(item, dialogs), 0);

        for (const char* part : {"", "/files", "/info"})
            QCOMPARE(modeOf(home.trash() + part), mode_t(0700));
        QCOMPARE(readBytes(home.trash() + "/files/a.htm"), std::string("a"));
    }

    void namesCollideInTheTrash()
    {
        FreshHome home;
        const std::string item = home.path() + "/a.htm";
        ScriptedFileDialogs dialogs;
        for (const char* content : {"first", "second", "third"}) {
            writeBytes(item, content);
            QCOMPARE(trash(item, dialogs), 0);
        }
        QCOMPARE(entriesOf(home.trash() + "/files"),
                 (std::vector<std::string>{"a.2.htm", "a.3.htm", "a.htm"}));
        QCOMPARE(readBytes(home.trash() + "/files/a.htm"), std::string("first"));
        QCOMPARE(readBytes(home.trash() + "/files/a.2.htm"), std::string("second"));
        QCOMPARE(readBytes(home.trash() + "/files/a.3.htm"), std::string("third"));
        for (const char* name : {"a.htm", "a.2.htm", "a.3.htm"})
            QCOMPARE(infoValue(home.trash() + "/info/" + name + ".trashinfo", "Path"),
                     QString::fromStdString(resolved(home.path()) + "/a.htm"));
    }

    void orphanInTrashFilesIsNotReplaced()
    {
        // A file left in files/ without its info file keeps its name.
        FreshHome home;
        const std::string item = home.path() + "/a.htm";
        writeBytes(item, "one");
        ScriptedFileDialogs dialogs;
        QCOMPARE(trash(item, dialogs), 0);
        QCOMPARE(unlink((home.trash() + "/info/a.htm.trashinfo").c_str()), 0);
        writeBytes(item, "two");

        QCOMPARE(trash(item, dialogs), 0);

        QCOMPARE(readBytes(home.trash() + "/files/a.htm"), std::string("one"));
        QCOMPARE(readBytes(home.trash() + "/files/a.2.htm"), std::string("two"));
        QCOMPARE(entriesOf(home.trash() + "/info"), std::vector<std::string>{"a.2.htm.trashinfo"});
    }

    void linkGoesTargetStays()
    {
        FreshHome home;
        const std::string target = home.path() + "/target.htm";
        const std::string link = home.path() + "/link.htm";
        writeBytes(target, "cible");
        QCOMPARE(symlink("target.htm", link.c_str()), 0);
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(link, dialogs), 0);

        QVERIFY(!exists(link));
        QCOMPARE(readBytes(target), std::string("cible"));
        QVERIFY(isLink(home.trash() + "/files/link.htm"));
        QCOMPARE(linkValue(home.trash() + "/files/link.htm"), std::string("target.htm"));
    }

    void folderGoesWhole()
    {
        FreshHome home;
        const std::string folder = home.path() + "/page_files";
        QCOMPARE(mkdir(folder.c_str(), 0755), 0);
        QCOMPARE(mkdir((folder + "/img").c_str(), 0755), 0);
        writeBytes(folder + "/style.css", "css");
        writeBytes(folder + "/img/a.png", "png");
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(folder, dialogs), 0);

        QVERIFY(!exists(folder));
        QCOMPARE(readBytes(home.trash() + "/files/page_files/style.css"), std::string("css"));
        QCOMPARE(readBytes(home.trash() + "/files/page_files/img/a.png"), std::string("png"));
        QVERIFY(exists(home.trash() + "/info/page_files.trashinfo"));
    }

    void otherFileSystemUsesItsTopTrash_data()
    {
        QTest::addColumn<QString>("shared");
        QTest::addColumn<QString>("trashFolder");
        // The mount's own trash, by the kind of "$topdir/.Trash" already there.
        QTest::newRow("no .Trash") << ""
                                   << ".Trash-%1";
        QTest::newRow("sticky .Trash") << "sticky"
                                       << ".Trash/%1";
        QTest::newRow(".Trash without the sticky bit") << "plain"
                                                       << ".Trash-%1";
        QTest::newRow(".Trash a link to a sticky folder") << "link"
                                                          << ".Trash-%1";
    }
    void otherFileSystemUsesItsTopTrash()
    {
        QFETCH(QString, shared);
        QFETCH(QString, trashFolder);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        const std::string top = mount.path();
        if (shared == "sticky" || shared == "plain") {
            QCOMPARE(mkdir((top + "/.Trash").c_str(), 0777), 0);
            QCOMPARE(chmod((top + "/.Trash").c_str(), shared == "sticky" ? 01777 : 0777), 0);
        } else if (shared == "link") {
            QCOMPARE(mkdir((top + "/sticky").c_str(), 0777), 0);
            QCOMPARE(chmod((top + "/sticky").c_str(), 01777), 0);
            QCOMPARE(symlink("sticky", (top + "/.Trash").c_str()), 0);
        }
        QCOMPARE(mkdir((top + "/sub").c_str(), 0755), 0);
        const std::string item = top + "/sub/a b.htm";
        writeBytes(item, "ailleurs");
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(item, dialogs), 0);

        const std::string trashPath = top + "/" + trashFolder.arg(uid().c_str()).toStdString();
        QVERIFY(!exists(item));
        QCOMPARE(readBytes(trashPath + "/files/a b.htm"), std::string("ailleurs"));
        QCOMPARE(infoValue(trashPath + "/info/a b.htm.trashinfo", "Path"),
                 QString("sub/a%20b.htm"));
        QCOMPARE(modeOf(trashPath), mode_t(0700));
        QVERIFY(!exists(home.trash()));
    }

    void unusableTopTrashFallsBackToACopyInTheHomeTrash_data()
    {
        QTest::addColumn<bool>("folder");
        QTest::addColumn<bool>("strangerOwnsTheTrash");
        QTest::newRow("file") << false << false;
        QTest::newRow("folder with a link") << true << false;
        QTest::newRow("mount's trash owned by another user") << false << true;
    }
    void unusableTopTrashFallsBackToACopyInTheHomeTrash()
    {
        QFETCH(bool, folder);
        QFETCH(bool, strangerOwnsTheTrash);
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        // Where the mount's trash should be, a file, or a folder of another user: not ours to use.
        const std::string blocker = mount.path() + "/.Trash-" + uid();
        if (strangerOwnsTheTrash) {
            QCOMPARE(mkdir(blocker.c_str(), 0700), 0);
            if (chown(blocker.c_str(), getuid() + 1, getgid()) != 0)
                QSKIP("cannot give a folder to another user (needs root)");
        } else {
            writeBytes(blocker, "x");
        }
        const std::string item = mount.path() + (folder ? "/dossier" : "/a.htm");
        if (folder) {
            QCOMPARE(mkdir(item.c_str(), 0750), 0);
            writeBytes(item + "/a.htm", "dedans");
            QCOMPARE(symlink("a.htm", (item + "/lien").c_str()), 0);
        } else {
            writeBytes(item, "dedans");
            QCOMPARE(chmod(item.c_str(), 0640), 0);
        }
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(item, dialogs), 0);

        QVERIFY(!exists(item));
        if (strangerOwnsTheTrash)
            QCOMPARE(entriesOf(blocker), std::vector<std::string>{});
        else
            QCOMPARE(readBytes(blocker), std::string("x"));
        const std::string name = folder ? "dossier" : "a.htm";
        const std::string trashed = home.trash() + "/files/" + name;
        QCOMPARE(readBytes(folder ? trashed + "/a.htm" : trashed), std::string("dedans"));
        QCOMPARE(modeOf(trashed), mode_t(folder ? 0750 : 0640));
        if (folder) {
            QVERIFY(isLink(trashed + "/lien"));
            QCOMPARE(linkValue(trashed + "/lien"), std::string("a.htm"));
        }
        QCOMPARE(infoValue(home.trash() + "/info/" + name + ".trashinfo", "Path"),
                 QString::fromStdString(resolved(mount.path()) + "/" + name));
        QCOMPARE(entriesOf(home.trash() + "/files"), std::vector<std::string>{name});
    }

    void itemOnReadOnlyMountStays()
    {
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        const std::string item = mount.path() + "/a.htm";
        writeBytes(item, "reste");
        QVERIFY(mount.makeReadOnly());
        ScriptedFileDialogs dialogs;

        QVERIFY(trash(item, dialogs) != 0);

        QCOMPARE(readBytes(item), std::string("reste"));
        QVERIFY2(dialogs.errorText().contains("lecture seule"), qPrintable(dialogs.errorText()));
        QVERIFY(dialogs.errorText().contains(QString::fromStdString(item)));
        QVERIFY(entriesOf(home.trash() + "/files").empty());
        QVERIFY(entriesOf(home.trash() + "/info").empty());
    }

    void itemThatCannotBeRemovedStaysOutOfEveryTrash()
    {
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=4m");
        REQUIRE_MOUNTED(mount);
        const std::string item = mount.path() + "/a.htm";
        writeBytes(item, "reste");
        ImmutableFile immutable(item);
        if (!immutable.isSet())
            QSKIP("this kernel's tmpfs cannot mark a file immutable");
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(item, dialogs), EPERM);

        // Neither the mount's trash (a rename) nor the home trash (a copy) may keep anything.
        QCOMPARE(readBytes(item), std::string("reste"));
        QCOMPARE(entriesOf(mount.path() + "/.Trash-" + uid() + "/info"),
                 std::vector<std::string>{});
        QCOMPARE(entriesOf(home.trash() + "/files"), std::vector<std::string>{});
        QCOMPARE(entriesOf(home.trash() + "/info"), std::vector<std::string>{});
        QVERIFY(dialogs.errorText().contains("L'accès est refusé."));
    }

    void itemStaysWhenTheHomeTrashCannotBeMade()
    {
        FreshHome home;
        // XDG_DATA_HOME below a plain file: the home trash can never be made.
        writeBytes(home.path() + "/blocker", "x");
        qputenv("XDG_DATA_HOME", QByteArray::fromStdString(home.path() + "/blocker/share"));
        const std::string item = home.path() + "/a.htm";
        writeBytes(item, "reste");
        ScriptedFileDialogs dialogs;

        QCOMPARE(trash(item, dialogs), ENOTDIR);

        QCOMPARE(readBytes(item), std::string("reste"));
        QCOMPARE(dialogs.errors.size(), std::size_t(1));
        QVERIFY(dialogs.errorText().startsWith("Impossible de mettre"));
    }

    void missingItemFails()
    {
        FreshHome home;
        ScriptedFileDialogs dialogs;
        QCOMPARE(trash(home.path() + "/absent.htm", dialogs), ENOENT);
        QVERIFY(dialogs.errorText().contains("introuvable"));
        QVERIFY(!exists(home.trash() + "/info/absent.htm.trashinfo"));
    }

    void cancelledCopyToTheHomeTrashLeavesTheItem()
    {
        FreshHome home;
        TmpfsMount mount(home.path() + "/mnt", "size=64m");
        REQUIRE_MOUNTED(mount);
        writeBytes(mount.path() + "/.Trash-" + uid(), "x");
        const std::string item = mount.path() + "/big.bin";
        writeLargeFile(item, 24 << 20);
        ScriptedFileDialogs dialogs;
        dialogs.cancelAtBytes = 1;

        QCOMPARE(trash(item, dialogs), ECANCELED);

        QVERIFY(dialogs.errors.empty());
        QCOMPARE(entriesOf(home.trash() + "/files"), std::vector<std::string>{});
        QCOMPARE(entriesOf(home.trash() + "/info"), std::vector<std::string>{});
        struct stat st;
        QCOMPARE(stat(item.c_str(), &st), 0);
        QCOMPARE(st.st_size, off_t(24 << 20));
    }

    void undoneDeleteComesBackFromEveryTrash_data()
    {
        QTest::addColumn<QString>("where");       // home, mount (its own trash), copy (by a copy)
        QTest::addColumn<QString>("cancelledIn"); // where a first try is cancelled, if it is
        QTest::newRow("home trash") << "home"
                                    << "";
        QTest::newRow("the mount's own trash") << "mount"
                                               << "";
        QTest::newRow("a copy in the home trash") << "copy"
                                                  << "";
        QTest::newRow("cancelled in the folder") << "copy"
                                                 << "folder";
        QTest::newRow("cancelled in the page, after the folder") << "copy"
                                                                 << "page";
    }
    void undoneDeleteComesBackFromEveryTrash()
    {
        QFETCH(QString, where);
        QFETCH(QString, cancelledIn);
        FreshHome home;
        std::optional<TmpfsMount> mount;
        std::string folder = home.path() + "/pages";
        std::vector<std::string> others; // what the folder holds besides the page
        if (where == "home") {
            QCOMPARE(mkdir(folder.c_str(), 0755), 0);
        } else {
            mount.emplace(home.path() + "/mnt", "size=4m");
            REQUIRE_MOUNTED(*mount);
            folder = mount->path();
            others = {".Trash-" + uid()};
            if (where == "copy") // where the mount's trash would be: no trash there
                writeBytes(folder + "/" + others[0], "x");
        }
        savedPage::make(folder);
        ScriptedFileDialogs dialogs;
        FileOperationReport report;
        QCOMPARE(runFileOperation(requestOf(FO_DELETE, folder + "/a.htm", {}, kRenameFlags),
                                  dialogs, &report),
                 0);
        QCOMPARE(entriesOf(folder), others);
        const std::string trash = where == "mount" ? folder + "/" + others[0] : home.trash();
        QCOMPARE(entriesOf(trash + "/files"), (std::vector<std::string>{"a.htm", "a_files"}));

        if (!cancelledIn.isEmpty()) {
            // The folder comes back first; a cancel leaves both in the trash, for another try.
            std::uint64_t folderBytes = 0;
            for (const std::string& file : savedPage::linkedFiles())
                folderBytes += savedPage::contentOf(file).size();
            dialogs.cancelAtBytes = cancelledIn == "folder" ? 1 : folderBytes + 1;
            QVERIFY(!undoFileOperation(report, dialogs));
            QVERIFY(dialogs.errors.empty());
            QCOMPARE(entriesOf(folder), others);
            QCOMPARE(entriesOf(trash + "/files"), (std::vector<std::string>{"a.htm", "a_files"}));
            dialogs.cancelAtBytes.reset();
        }
        QVERIFY(undoFileOperation(report, dialogs));

        QVERIFY(dialogs.errors.empty());
        std::vector<std::string> back = others;
        back.insert(back.end(), {"a.htm", "a_files"});
        QCOMPARE(entriesOf(folder), back);
        QCOMPARE(savedPage::brokenLinks(folder + "/a.htm"), std::vector<std::string>{});
        QCOMPARE(readBytes(folder + "/a.htm"), savedPage::html());
        QCOMPARE(entriesOf(trash + "/files"), std::vector<std::string>{});
        QCOMPARE(entriesOf(trash + "/info"), std::vector<std::string>{});
    }
};

QTEST_GUILESS_MAIN(TestFileopsTrash)
#include "tst_fileops_trash.moc"
