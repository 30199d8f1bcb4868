#include "platform/desktop/desktop_entry.h"
#include "platform/desktop/detached_process.h"
#include "platform/desktop/text_editor.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <iostream>
#include <iterator>
#include <unistd.h>

using Strings = std::vector<std::string>;
Q_DECLARE_METATYPE(Strings)

// Each row's expected arguments, "|"-separated to keep the tables readable.
static Strings split(const char* joined)
{
    Strings items;
    if (!*joined)
        return items;
    const QByteArrayList pieces = QByteArray(joined).split('|');
    for (const QByteArray& piece : pieces)
        items.push_back(piece.toStdString());
    return items;
}

static QByteArray joined(const Strings& items)
{
    QByteArrayList pieces;
    for (const std::string& item : items)
        pieces.append(QByteArray::fromStdString(item));
    return pieces.join('|');
}

// GIO reads the XDG folders and lists once per process, so each look-up runs in a child process of
// its own with the row's environment: this program again, given the file on standard input. It
// answers the command NUL-separated, or whether the editor started.
static QByteArray inChild(const QString& mode, const QByteArray& file)
{
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(), {mode});
    child.write(file);
    child.closeWriteChannel();
    if (!child.waitForFinished(30000) || child.exitStatus() != QProcess::NormalExit)
        return "child failed";
    return child.readAllStandardOutput();
}

static QByteArray command(const QByteArray& file)
{
    QByteArray answer = inChild(QStringLiteral("--command"), file);
    answer.chop(1);
    return answer.replace('\0', '|');
}

static bool started(const QByteArray& file)
{
    return inChild(QStringLiteral("--start"), file) == "started";
}

class TestTextEditor : public QObject {
    Q_OBJECT
private:
    QTemporaryDir root;

    std::string at(const QString& relative) const { return root.filePath(relative).toStdString(); }

    void write(const QString& relative, const QByteArray& text, bool executable = false)
    {
        const QString path = root.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
        file.close();
        if (executable)
            file.setPermissions(file.permissions() | QFile::ExeOwner);
    }

    // A stand-in editor that records its arguments, NUL-separated, and its session id.
    void writeStandIn(const QString& relative)
    {
        const QByteArray record = root.filePath(QStringLiteral("record")).toUtf8();
        write(relative,
              "#!/bin/sh\nPATH=/usr/bin:/bin\nprintf '%s\\0' \"$@\" > '" + record +
                  ".part'\ncut -d' ' -f6 /proc/$$/stat > '" + record + ".sid'\nmv '" + record +
                  ".part' '" + record + "'\n",
              true);
    }

    void writeDesktopFile(const QString& relative, const QByteArray& exec,
                          const QByteArray& extra = {})
    {
        write(QStringLiteral("data/applications/") + relative,
              "[Desktop Entry]\nType=Application\nName=Stand-in\nExec=" + exec + "\n" + extra);
    }

    void setDefaults(const QString& list, const QByteArray& ids)
    {
        write(list, "[Added Associations]\ntext/plain=other.desktop;\n\n[Default Applications]\n"
                    "text/html=other.desktop\ntext/plain=" +
                        ids + "\n");
    }

private slots:
    void init()
    {
        QVERIFY(root.isValid());
        QVERIFY(root.remove());
        QVERIFY(QDir().mkpath(root.path()));
        QDir(root.path()).mkpath(QStringLiteral("bin"));
        qputenv("HOME", root.path().toUtf8());
        qputenv("XDG_CONFIG_HOME", root.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", root.filePath(QStringLiteral("etc-xdg")).toUtf8());
        qputenv("XDG_DATA_HOME", root.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_DATA_DIRS", root.filePath(QStringLiteral("share")).toUtf8());
        qunsetenv("XDG_CURRENT_DESKTOP");
        // Only the stand-ins are found, never an editor installed on this machine.
        qputenv("PATH", root.filePath(QStringLiteral("bin")).toUtf8());
    }

    void splitsExecLines_data()
    {
        QTest::addColumn<QByteArray>("exec");
        QTest::addColumn<QByteArray>("arguments");
        QTest::newRow("plain") << QByteArray("gedit --new-window %U")
                               << QByteArray("gedit|--new-window|%U");
        QTest::newRow("extra blanks") << QByteArray("  a \t b  ") << QByteArray("a|b");
        QTest::newRow("double quotes group")
            << QByteArray("\"/opt/My Editor/ed\" %f") << QByteArray("/opt/My Editor/ed|%f");
        QTest::newRow("escapes inside double quotes")
            << QByteArray(R"(sh -c "echo \"\$x\" \`y\` \\")")
            << QByteArray(R"(sh|-c|echo "$x" `y` \)");
        QTest::newRow("single quotes are literal")
            << QByteArray(R"(a 'b \" c')") << QByteArray(R"(a|b \" c)");
        QTest::newRow("quotes join with text")
            << QByteArray(R"(--x="a b"c)") << QByteArray("--x=a bc");
        QTest::newRow("empty quoted argument kept")
            << QByteArray(R"(a "" b)") << QByteArray("a||b");
    }
    void splitsExecLines()
    {
        QFETCH(QByteArray, exec);
        QFETCH(QByteArray, arguments);
        const auto split = splitExecLine(exec.toStdString());
        QVERIFY(split.has_value());
        QCOMPARE(joined(*split), arguments);
    }

    void rejectsAnOpenQuote()
    {
        QVERIFY(!splitExecLine("ed \"unfinished").has_value());
        QVERIFY(!splitExecLine("ed 'unfinished").has_value());
    }

    void expandsFieldCodes_data()
    {
        QTest::addColumn<QByteArray>("arguments");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("%f") << QByteArray("ed|%f") << QByteArray("ed|/p a/x.htm");
        QTest::newRow("%F") << QByteArray("ed|%F|-x") << QByteArray("ed|/p a/x.htm|-x");
        QTest::newRow("%u") << QByteArray("ed|%u") << QByteArray("ed|/p a/x.htm");
        QTest::newRow("%U") << QByteArray("ed|%U") << QByteArray("ed|/p a/x.htm");
        QTest::newRow("inside an argument")
            << QByteArray("ed|--open=%f") << QByteArray("ed|--open=/p a/x.htm");
        QTest::newRow("only the first file code")
            << QByteArray("ed|%f|%U") << QByteArray("ed|/p a/x.htm");
        QTest::newRow("no file code appends the file")
            << QByteArray("ed|--new") << QByteArray("ed|--new|/p a/x.htm");
        QTest::newRow("other codes dropped")
            << QByteArray("ed|%i|%c|%k|%f") << QByteArray("ed|/p a/x.htm");
        QTest::newRow("percent kept")
            << QByteArray("ed|100%%|%f") << QByteArray("ed|100%|/p a/x.htm");
    }
    void expandsFieldCodes()
    {
        QFETCH(QByteArray, arguments);
        QFETCH(QByteArray, expected);
        QCOMPARE(joined(expandExecArguments(split(arguments), "/p a/x.htm")), expected);
    }

    void readsDesktopEntries()
    {
        const auto entry = parseDesktopEntry("# comment\n[Other]\nExec=wrong\n[Desktop Entry]\n"
                                             "Type = Application\nExec=ed\\s--x \\\\%f\n"
                                             "Exec[fr]=faux\nTryExec=ed\nTerminal=true\n"
                                             "[Desktop Action new]\nExec=wrong too\n");
        QVERIFY(entry.has_value());
        QCOMPARE(QString::fromStdString(entry->type), QStringLiteral("Application"));
        QCOMPARE(QString::fromStdString(entry->exec), QStringLiteral("ed --x \\%f"));
        QCOMPARE(QString::fromStdString(entry->tryExec), QStringLiteral("ed"));
        QVERIFY(entry->terminal);
        QVERIFY(!entry->hidden);
        QVERIFY(!parseDesktopEntry("[Something Else]\nExec=ed\n").has_value());
    }

    void findsTheDefaultApplication_data()
    {
        QTest::addColumn<QString>("list");
        QTest::addColumn<QByteArray>("ids");
        QTest::addColumn<QString>("desktopFile");
        QTest::newRow("user list")
            << "config/mimeapps.list" << QByteArray("standin.desktop") << "standin.desktop";
        QTest::newRow("system list")
            << "etc-xdg/mimeapps.list" << QByteArray("standin.desktop") << "standin.desktop";
        QTest::newRow("list among the data") << "share/applications/mimeapps.list"
                                             << QByteArray("standin.desktop") << "standin.desktop";
        QTest::newRow("older defaults file") << "share/applications/defaults.list"
                                             << QByteArray("standin.desktop") << "standin.desktop";
        QTest::newRow("first id not installed")
            << "config/mimeapps.list" << QByteArray("missing.desktop;standin.desktop;")
            << "standin.desktop";
        QTest::newRow("id naming a subfolder")
            << "config/mimeapps.list" << QByteArray("velmo-tools-standin.desktop")
            << "velmo/tools/standin.desktop";
    }
    void findsTheDefaultApplication()
    {
        QFETCH(QString, list);
        QFETCH(QByteArray, ids);
        QFETCH(QString, desktopFile);
        writeStandIn(QStringLiteral("opt/standin"));
        writeDesktopFile(desktopFile, QByteArray::fromStdString(at("opt/standin")) + " --new %U");
        setDefaults(list, ids);
        QCOMPARE(command("/d/page.htm"), joined({at("opt/standin"), "--new", "/d/page.htm"}));
    }

    void desktopListBeforeTheGeneralOne()
    {
        qputenv("XDG_CURRENT_DESKTOP", "Velmo:Other");
        writeStandIn(QStringLiteral("opt/first"));
        writeStandIn(QStringLiteral("opt/second"));
        writeDesktopFile(QStringLiteral("first.desktop"),
                         QByteArray::fromStdString(at("opt/first")));
        writeDesktopFile(QStringLiteral("second.desktop"),
                         QByteArray::fromStdString(at("opt/second")));
        setDefaults(QStringLiteral("config/mimeapps.list"), "first.desktop");
        setDefaults(QStringLiteral("config/velmo-mimeapps.list"), "second.desktop");
        QCOMPARE(command("/x"), joined({at("opt/second"), "/x"}));
    }

    void terminalDefaultPassedOverForAnEditorOfTheType()
    {
        writeStandIn(QStringLiteral("opt/standin"));
        const QByteArray program = QByteArray::fromStdString(at("opt/standin"));
        writeDesktopFile(QStringLiteral("vim.desktop"), program + " %f",
                         "Terminal=true\nMimeType=text/plain;\n");
        writeDesktopFile(QStringLiteral("editor.desktop"), program + " --window %f",
                         "MimeType=text/x-c;text/plain;\n");
        setDefaults(QStringLiteral("config/mimeapps.list"), "vim.desktop");
        // What update-desktop-database makes of the entries.
        write(QStringLiteral("data/applications/mimeinfo.cache"),
              "[MIME Cache]\ntext/plain=vim.desktop;editor.desktop;\ntext/x-c=editor.desktop;\n");
        QCOMPARE(command("/x"), joined({at("opt/standin"), "--window", "/x"}));
    }

    void programFoundOnPath()
    {
        writeStandIn(QStringLiteral("bin/standin"));
        writeDesktopFile(QStringLiteral("standin.desktop"), "standin %f");
        setDefaults(QStringLiteral("config/mimeapps.list"), "standin.desktop");
        QCOMPARE(command("/x"), joined({at("bin/standin"), "/x"}));
    }

    void unusableDefaultsFallBackToCommonEditors_data()
    {
        QTest::addColumn<QByteArray>("entry");
        QTest::newRow("terminal program") << QByteArray("Exec=%1 %f\nTerminal=true\n");
        QTest::newRow("hidden") << QByteArray("Exec=%1 %f\nHidden=true\n");
        QTest::newRow("program missing") << QByteArray("Exec=/nowhere/ed %f\n");
        QTest::newRow("TryExec missing") << QByteArray("Exec=%1 %f\nTryExec=no-such-editor\n");
        QTest::newRow("open quote") << QByteArray("Exec=\"%1 %f\n");
        QTest::newRow("not an application") << QByteArray("Type=Link\nExec=%1\n");
        QTest::newRow("no Exec") << QByteArray("Name=x\n");
    }
    void unusableDefaultsFallBackToCommonEditors()
    {
        QFETCH(QByteArray, entry);
        writeStandIn(QStringLiteral("opt/standin"));
        write(QStringLiteral("data/applications/standin.desktop"),
              "[Desktop Entry]\n" +
                  entry.replace("%1", QByteArray::fromStdString(at("opt/standin"))));
        setDefaults(QStringLiteral("config/mimeapps.list"), "standin.desktop");
        writeStandIn(QStringLiteral("bin/mousepad"));
        QCOMPARE(command("/x"), joined({at("bin/mousepad"), "/x"}));
    }

    void commonEditorsInTheirOrder()
    {
        writeStandIn(QStringLiteral("bin/geany"));
        QCOMPARE(command("/x"), joined({at("bin/geany"), "/x"}));
        writeStandIn(QStringLiteral("bin/kate"));
        writeStandIn(QStringLiteral("bin/gedit"));
        QCOMPARE(command("/x"), joined({at("bin/gedit"), "/x"}));
        // A file that cannot be executed is no editor.
        write(QStringLiteral("bin/gnome-text-editor"), "#!/bin/sh\n");
        QCOMPARE(command("/x"), joined({at("bin/gedit"), "/x"}));
    }

    void noEditorIsNotAnError()
    {
        QCOMPARE(command("/x"), QByteArray());
        QVERIFY(!started("/x"));
    }

    void startsTheEditorWithThePathAsOneArgument_data()
    {
        QTest::addColumn<bool>("asDefault");
        QTest::addColumn<QByteArray>("path");
        const QByteArrayList paths = {
            "/My Pages/a page.htm",       "/d/it's \"quoted\".htm",
            "/d/a;rm -rf x;.htm",         "/d/$(touch pwned)$HOME.htm",
            "/d/`touch pwned`.htm",       "/d/tab\there & pipe | star *.htm",
            "/d/\xe9t\xe9 not UTF-8.htm", "/d/ends in a folder/",
        };
        for (const QByteArray& path : paths) {
            QTest::newRow(("default application: " + path).constData()) << true << path;
            QTest::newRow(("editor on PATH: " + path).constData()) << false << path;
        }
    }
    void startsTheEditorWithThePathAsOneArgument()
    {
        QFETCH(bool, asDefault);
        QFETCH(QByteArray, path);
        if (asDefault) {
            writeStandIn(QStringLiteral("opt/standin"));
            writeDesktopFile(QStringLiteral("standin.desktop"),
                             "\"" + QByteArray::fromStdString(at("opt/standin")) + "\" %F");
            setDefaults(QStringLiteral("config/mimeapps.list"), "standin.desktop");
        } else {
            writeStandIn(QStringLiteral("bin/kwrite"));
        }
        QVERIFY(started(path));

        QFile record(root.filePath(QStringLiteral("record")));
        QTRY_VERIFY_WITH_TIMEOUT(record.exists(), 10000);
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), path + '\0');
        QVERIFY(!QFile::exists(root.filePath(QStringLiteral("pwned"))));

        // The editor runs in a session of its own, so it outlives this program.
        QFile session(root.filePath(QStringLiteral("record.sid")));
        QVERIFY(session.open(QIODevice::ReadOnly));
        QVERIFY(session.readAll().trimmed().toLongLong() != getsid(0));
    }

    void reportsAProgramThatCannotStart()
    {
        QVERIFY(!startDetachedProcess({"/nowhere/editor", "/x"}));
        write(QStringLiteral("opt/not-executable"), "#!/bin/sh\n");
        QVERIFY(!startDetachedProcess({at("opt/not-executable")}));
        QVERIFY(!startDetachedProcess({}));
    }
};

int main(int argc, char** argv)
{
    if (argc == 2 && (argv[1] == std::string("--command") || argv[1] == std::string("--start"))) {
        const std::string file{std::istreambuf_iterator<char>(std::cin), {}};
        if (argv[1] == std::string("--start"))
            std::cout << (startTextEditor(file) ? "started" : "not started");
        else
            for (const std::string& argument : textEditorCommand(file))
                std::cout << argument << '\0';
        return 0;
    }
    QCoreApplication app(argc, argv);
    TestTextEditor test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_text_editor.moc"
