#include "Unit1/Nom_Long.h"
#include "Unit1/command_line.h"
#include "Unit1/page_path.h"
#include "support/scratch_files.h"

#include <QTest>

namespace {

QByteArrayList bytesList(const std::vector<std::string>& items)
{
    QByteArrayList list;
    for (const std::string& item : items)
        list << QByteArray::fromStdString(item);
    return list;
}

} // namespace

// The path of the page to show from a command-line argument or a dropped file.
class TestCommandLine : public QObject {
    Q_OBJECT

    QTemporaryDir dir;
    std::string folder;
    QString startFolder;

    std::string pathOf(const std::string& name) const { return folder + "/" + name; }

private slots:
    void initTestCase()
    {
        QVERIFY(dir.isValid());
        folder = toPath(QFileInfo(dir.path()).canonicalFilePath());
        for (const char* name : {"b.htm", "a.htm", "c.txt", "Page One.htm", "exact.htm",
                                 "EXACT.htm", "\xC3\xA9t\xC3\xA9.htm", "lat\xE9.htm"})
            QVERIFY(writeFile(pathOf(name), "x"));
        QVERIFY(QDir(dir.path()).mkpath("Sub/inner"));
        startFolder = QDir::currentPath();
    }
    void cleanup() { QDir::setCurrent(startFolder); }
    // A name that is not UTF-8 cannot be removed through Qt.
    void cleanupTestCase() { ::unlink(pathOf("lat\xE9.htm").c_str()); }

    void split_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::newRow("plain") << QByteArray("velmo page.htm")
                               << QByteArrayList{"velmo", "page.htm"};
        QTest::newRow("quoted path") << QByteArray("velmo \"/d/My Pages/a.htm\" more")
                                     << QByteArrayList{"velmo", "/d/My Pages/a.htm", "more"};
        QTest::newRow("unquoted path cut at the space")
            << QByteArray("velmo /d/My Pages/a.htm")
            << QByteArrayList{"velmo", "/d/My", "Pages/a.htm"};
        QTest::newRow("touching stretches") << QByteArray("a\"b c\"d") << QByteArrayList{"ab cd"};
        QTest::newRow("quote left open")
            << QByteArray("velmo \"/d/a b") << QByteArrayList{"velmo", "/d/a b"};
        QTest::newRow("codes 1 to 32 separate") << QByteArray("\x01"
                                                              "a\tb\x1f"
                                                              "c\r\nd  ")
                                                << QByteArrayList{"a", "b", "c", "d"};
        QTest::newRow("8-bit bytes do not")
            << QByteArray("\xA0\xE9t\xE9\x7F") << QByteArrayList{"\xA0\xE9t\xE9\x7F"};
        QTest::newRow("leading \"\" skipped")
            << QByteArray("velmo \"\"page.htm") << QByteArrayList{"velmo", "page.htm"};
        QTest::newRow("\"\" alone is no argument")
            << QByteArray("velmo \"\" page.htm") << QByteArrayList{"velmo", "page.htm"};
        QTest::newRow("\"\" at the end") << QByteArray("velmo \"\"") << QByteArrayList{"velmo"};
        QTest::newRow("two pairs") << QByteArray("velmo \"\"\"\"x") << QByteArrayList{"velmo", "x"};
        QTest::newRow("lone quote at the end") << QByteArray("velmo \"") << QByteArrayList{"velmo"};
        QTest::newRow("\"\" inside") << QByteArray("a\"\"b") << QByteArrayList{"ab"};
        QTest::newRow("quoted \"\" then text")
            << QByteArray("\"\"\"a b\"") << QByteArrayList{"a b"};
        QTest::newRow("NUL ends the line") << raw("a b\0c") << QByteArrayList{"a", "b"};
        QTest::newRow("blank line") << QByteArray(" \t ") << QByteArrayList{};
    }
    void split()
    {
        QFETCH(QByteArray, line);
        QFETCH(QByteArrayList, arguments);
        QCOMPARE(bytesList(splitCommandLine(line.toStdString())), arguments);
    }

    void splitLimit()
    {
        const std::string longArgument = std::string(4000, 'a') + std::string(1000, 'b');
        for (const std::string& line :
             {"velmo " + longArgument, "velmo \"" + longArgument + "\"",
              "velmo " + longArgument.substr(0, 4000) + "\"" + longArgument.substr(4000)}) {
            const std::vector<std::string> arguments = splitCommandLine(line);
            QVERIFY(arguments.size() >= 2);
            QCOMPARE(arguments[1], longArgument.substr(0, 4096));
        }
    }

    void nomLong_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("exact name") << QByteArray("exact.htm") << QByteArray("exact.htm");
        QTest::newRow("exact name among case variants")
            << QByteArray("EXACT.htm") << QByteArray("EXACT.htm");
        QTest::newRow("other case") << QByteArray("PAGE ONE.HTM") << QByteArray("Page One.htm");
        QTest::newRow("accented letters in other case")
            << QByteArray("\xC3\x89T\xC3\x89.HTM") << QByteArray("\xC3\xA9t\xC3\xA9.htm");
        QTest::newRow("bytes that are not UTF-8")
            << QByteArray("LAT\xE9.HTM") << QByteArray("lat\xE9.htm");
        QTest::newRow("* takes the first in name order")
            << QByteArray("*.htm") << QByteArray("EXACT.htm");
        QTest::newRow("? is one character") << QByteArray("?.TXT") << QByteArray("c.txt");
        QTest::newRow("* and ?") << QByteArray("p*E?htm") << QByteArray("Page One.htm");
        QTest::newRow("* matches no dot entries") << QByteArray("*") << QByteArray("EXACT.htm");
        QTest::newRow("folder") << QByteArray("sub") << QByteArray("Sub");
        QTest::newRow("inside a folder") << QByteArray("Sub/INNER") << QByteArray("inner");
        QTest::newRow("missing") << QByteArray("nothing.htm") << QByteArray("");
        QTest::newRow("? is not a run") << QByteArray("?.htmx") << QByteArray("");
        QTest::newRow("trailing /") << QByteArray("Sub/") << QByteArray("");
        QTest::newRow("missing folder") << QByteArray("none/a.htm") << QByteArray("");
    }
    void nomLong()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, expected);
        QCOMPARE(QByteArray::fromStdString(Nom_Long(pathOf(name.toStdString()))), expected);
        // A relative path is looked up from the current folder.
        QVERIFY(QDir::setCurrent(dir.path()));
        QCOMPARE(QByteArray::fromStdString(Nom_Long(name.toStdString())), expected);
    }

    void pagePath_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("absolute") << QByteArray("<>/PAGE ONE.htm") << QByteArray("<>/Page One.htm");
        QTest::newRow("relative") << QByteArray("a.htm") << QByteArray("<>/a.htm");
        QTest::newRow("relative with ./") << QByteArray("./A.HTM") << QByteArray("<>/a.htm");
        QTest::newRow("relative in a folder")
            << QByteArray("Sub/inner") << QByteArray("<>/Sub/inner");
        QTest::newRow("missing file") << QByteArray("<>/none.htm") << QByteArray("<>/");
        QTest::newRow("folder") << QByteArray("<>/SUB") << QByteArray("<>/Sub");
    }
    void pagePath()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, expected);
        QVERIFY(QDir::setCurrent(dir.path()));
        const QByteArray here = QByteArray::fromStdString(folder);
        QCOMPARE(QByteArray::fromStdString(pagePathFor(path.replace("<>", here).toStdString())),
                 expected.replace("<>", here));
    }

    // An entry of the root keeps one "/": never "//".
    void pagePathAtTheRoot()
    {
        QCOMPARE(pagePathFor("/TMP"), std::string("/tmp"));
        QVERIFY(QDir::setCurrent("/"));
        QCOMPARE(pagePathFor("tmp"), std::string("/tmp"));
        QCOMPARE(pagePathFor("no such entry here"), std::string("/"));
    }
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
