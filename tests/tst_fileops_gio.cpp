#include "support/fileops_support.h"

#include <QProcess>
#include <QStandardPaths>
#include <climits>
#include <cstdlib>

// What the service puts in the trash, the desktop's own tools list and restore.
class TestFileopsGio : public QObject {
    Q_OBJECT

    QString gio_;
    QString session_;

    // Runs "gio trash ..." on a private session bus; its standard output, or a skip reason.
    bool runGio(const QStringList& arguments, QByteArray& output, QString& problem)
    {
        QProcess process;
        process.setProgram(session_);
        process.setArguments(QStringList{"--", gio_, "trash"} + arguments);
        process.start();
        if (!process.waitForFinished(60000)) {
            problem = "gio did not answer within a minute";
            return false;
        }
        output = process.readAllStandardOutput();
        if (process.exitCode() != 0) {
            problem = "gio trash failed: " + QString::fromLocal8Bit(process.readAllStandardError());
            return false;
        }
        return true;
    }

    static std::string resolved(const std::string& path)
    {
        char buffer[PATH_MAX];
        return realpath(path.c_str(), buffer) ? std::string(buffer) : path;
    }

private slots:
    void initTestCase()
    {
        gio_ = QStandardPaths::findExecutable("gio");
        session_ = QStandardPaths::findExecutable("dbus-run-session");
        if (gio_.isEmpty() || session_.isEmpty())
            QSKIP("gio or dbus-run-session is missing: install libglib2.0-bin, dbus and gvfs");
    }

    void listedAndRestored_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("folder");
        // ASCII names: Debian 12's GLib restores other names to a wrong path.
        QTest::newRow("file with spaces, hash and percent") << "Page d'essai #1 (50%).htm" << false;
        QTest::newRow("folder") << "page_files" << true;
    }
    void listedAndRestored()
    {
        QFETCH(QString, name);
        QFETCH(bool, folder);
        FreshHome home;
        const std::string folderPath = resolved(home.path()) + "/pages";
        QCOMPARE(mkdir(folderPath.c_str(), 0755), 0);
        const std::string item = folderPath + "/" + name.toStdString();
        const std::string content = std::string("octets\0\xFF\n", 9);
        if (folder) {
            QCOMPARE(mkdir(item.c_str(), 0755), 0);
            writeBytes(item + "/a.png", content);
        } else {
            writeBytes(item, content);
        }
        ScriptedFileDialogs dialogs;
        QCOMPARE(runFileOperation(requestOf(FO_DELETE, item, {}, kRenameFlags), dialogs), 0);
        QVERIFY(!exists(item));

        QByteArray listing;
        QString problem;
        if (!runGio({"--list"}, listing, problem))
            QSKIP(qPrintable(problem + " (is gvfs installed?)"));
        // Each line: the item's trash address, a tab, its original path.
        QString address;
        for (const QByteArray& line : listing.split('\n')) {
            const QList<QByteArray> fields = line.split('\t');
            if (fields.size() == 2 && fields[1] == QByteArray::fromStdString(item))
                address = QString::fromUtf8(fields[0]);
        }
        QVERIFY2(!address.isEmpty(), listing.constData());

        QByteArray ignored;
        QVERIFY2(runGio({"--restore", address}, ignored, problem), qPrintable(problem));

        QCOMPARE(readBytes(folder ? item + "/a.png" : item), content);
        QCOMPARE(entriesOf(home.trash() + "/files"), std::vector<std::string>{});
        QCOMPARE(entriesOf(home.trash() + "/info"), std::vector<std::string>{});
    }
};

QTEST_GUILESS_MAIN(TestFileopsGio)
#include "tst_fileops_gio.moc"
