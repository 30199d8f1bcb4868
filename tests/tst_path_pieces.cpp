#include "Unit1/path_pieces.h"

#include <QTest>

static std::string bytes(const QString& text)
{
    return text.toStdString();
}

static void row(const char* name, const char* path, const char* fileName, const char* folderWith,
                const char* folderWithout, const char* extension)
{
    QTest::newRow(name) << QString(path) << QString(fileName) << QString(folderWith)
                        << QString(folderWithout) << QString(extension);
}

class TestPathPieces : public QObject {
    Q_OBJECT
private slots:
    void pieces_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("fileName");
        QTest::addColumn<QString>("folderWith");
        QTest::addColumn<QString>("folderWithout");
        QTest::addColumn<QString>("extension");

        row("file in a folder", "/d/page.htm", "page.htm", "/d/", "/d", ".htm");
        row("file at the root", "/page.htm", "page.htm", "/", "/", ".htm");
        row("no folder", "page.htm", "page.htm", "", "", ".htm");
        row("folder ending in /", "/d/e/", "", "/d/e/", "/d/e", "");
        row("delimiter after a delimiter stays", "/d//p", "p", "/d//", "/d//", "");
        row("dot in a folder only", "/a.b/pages", "pages", "/a.b/", "/a.b", "");
        row("two dots", "/d/a.b.htm", "a.b.htm", "/d/", "/d", ".htm");
        row("trailing dot", "/d/b.", "b.", "/d/", "/d", ".");
        row("hidden file", "/d/.htm", ".htm", "/d/", "/d", ".htm");
        row("colon is a plain character", "/C:page.htm", "C:page.htm", "/", "/", ".htm");
        row("root after a root", "//page.htm", "page.htm", "//", "//", ".htm");
        row("empty", "", "", "", "", "");
    }
    void pieces()
    {
        QFETCH(QString, path);
        QFETCH(QString, fileName);
        QFETCH(QString, folderWith);
        QFETCH(QString, folderWithout);
        QFETCH(QString, extension);
        const std::string p = bytes(path);
        QCOMPARE(QString::fromStdString(fileNameOf(p)), fileName);
        QCOMPARE(QString::fromStdString(folderWithDelimiterOf(p)), folderWith);
        QCOMPARE(QString::fromStdString(folderWithoutDelimiterOf(p)), folderWithout);
        QCOMPARE(QString::fromStdString(extensionOf(p)), extension);
    }
};

QTEST_GUILESS_MAIN(TestPathPieces)
#include "tst_path_pieces.moc"
