#include "Unit1/Nom_Long.h"
#include "Unit1/page_path.h"
#include "support/scratch_files.h"

#include <QTest>

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
