#include "Unit1/path_pieces.h"

#include <QTest>

static std::string bytes(const QString& text)
{
    return text.toStdString();
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

        QTest::newRow("file in a folder") << "/d/page.htm"
                                          << "page.htm"
                                          << "/d/"
                                          << "/d"
                                          << ".htm";
        QTest::newRow("file at the root") << "/page.htm"
                                          << "page.htm"
                                          << "/"
                                          << "/"
                                          << ".htm";
        QTest::newRow("no folder") << "page.htm"
                                   << "page.htm"
                                   << ""
                                   << ""
                                   << ".htm";
        QTest::newRow("folder ending in /") << "/d/e/"
                                            << ""
                                            << "/d/e/"
                                            << "/d/e"
                                            << "";
        QTest::newRow("delimiter after a delimiter stays") << "/d//p"
                                                           << "p"
                                                           << "/d//"
                                                           << "/d//"
                                                           << "";
        QTest::newRow("dot in a folder only") << "/a.b/pages"
                                              << "pages"
                                              << "/a.b/"
                                              << "/a.b"
                                              << "";
        QTest::newRow("two dots") << "/d/a.b.htm"
                                  << "a.b.htm"
                                  << "/d/"
                                  << "/d"
                                  << ".htm";
        QTest::newRow("trailing dot") << "/d/b."
                                      << "b."
                                      << "/d/"
                                      << "/d"
                                      << ".";
        QTest::newRow("hidden file") << "/d/.htm"
                                     << ".htm"
                                     << "/d/"
                                     << "/d"
                                     << ".htm";
        QTest::newRow("colon is a plain character") << "/C:page.htm"
                                                    << "C:page.htm"
                                                    << "/"
                                                    << "/"
                                                    << ".htm";
        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << ""
                               << "";
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
