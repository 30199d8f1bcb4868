#include "platform/base/local_path.h"
#include "platform/files/dialog_text.h"
#include "platform/files/error_text.h"
#include "platform/files/name_list.h"
#include "platform/files/trash_info.h"

#include <QTest>

// The pure pieces of the file-operation service: request lists, names, trash info, French texts.
class TestFileopsTexts : public QObject {
    Q_OBJECT
private slots:
    void nameLists_data()
    {
        QTest::addColumn<QByteArray>("list");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("one name") << QByteArray("/d/a.htm\0\0", 10) << QStringList{"/d/a.htm"};
        QTest::newRow("two names") << QByteArray("/a\0/b\0\0", 7) << QStringList{"/a", "/b"};
        QTest::newRow("empty list") << QByteArray("\0", 1) << QStringList{};
        QTest::newRow("nothing") << QByteArray() << QStringList{};
        QTest::newRow("no final NULs") << QByteArray("/a") << QStringList{"/a"};
        QTest::newRow("stops at the empty name")
            << QByteArray("/a\0\0/b\0\0", 8) << QStringList{"/a"};
    }
    void nameLists()
    {
        QFETCH(QByteArray, list);
        QFETCH(QStringList, names);
        QStringList got;
        for (const std::string& name : parseNameList(list.toStdString()))
            got << QString::fromStdString(name);
        QCOMPARE(got, names);
    }

    void percentEncoding_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("encoded");
        QTest::newRow("kept as is") << QByteArray("/d/A-z_0.9~x") << QByteArray("/d/A-z_0.9~x");
        QTest::newRow("space") << QByteArray("/d/a b") << QByteArray("/d/a%20b");
        QTest::newRow("hash and percent") << QByteArray("/d/#1%") << QByteArray("/d/%231%25");
        QTest::newRow("accented, as UTF-8 bytes")
            << QByteArray("/d/\xC3\xA9t\xC3\xA9") << QByteArray("/d/%C3%A9t%C3%A9");
        QTest::newRow("not UTF-8") << QByteArray("/d/\xFF\xE9") << QByteArray("/d/%FF%E9");
        QTest::newRow("reserved characters") << QByteArray("/d/a+b&c=d?e:f;g,h'i")
                                             << QByteArray("/d/a%2Bb%26c%3Dd%3Fe%3Af%3Bg%2Ch%27i");
        QTest::newRow("control byte") << QByteArray("/d/a\nb") << QByteArray("/d/a%0Ab");
    }
    void percentEncoding()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, encoded);
        QCOMPARE(QByteArray::fromStdString(percentEncodePath(path.toStdString())), encoded);
    }

    void infoText()
    {
        std::tm moment{};
        moment.tm_year = 2024 - 1900;
        moment.tm_mon = 2;
        moment.tm_mday = 5;
        moment.tm_hour = 7;
        moment.tm_min = 8;
        moment.tm_sec = 9;
        moment.tm_isdst = -1;
        const std::time_t when = std::mktime(&moment);
        QCOMPARE(QString::fromStdString(trashInfoText("/d/a b.htm", when)),
                 QString("[Trash Info]\nPath=/d/a%20b.htm\nDeletionDate=2024-03-05T07:08:09\n"));
    }

    void trashEntryNamesFitWithTheInfoSuffix()
    {
        // 120 two-byte characters: 240 bytes, cut on a character boundary.
        std::string longName;
        for (int i = 0; i < 120; ++i)
            longName += "\xC3\xA9";
        longName += ".htm";
        for (unsigned attempt : {1u, 2u, 12345u}) {
            const std::string name = trashEntryName(longName, attempt);
            QVERIFY(name.size() + std::string(".trashinfo").size() <= 255);
            QVERIFY(QString::fromUtf8(name).toUtf8().toStdString() == name); // still valid UTF-8
            QVERIFY(name.ends_with(".htm"));
            QVERIFY(trashEntryName(longName, attempt + 1) != name);
        }
    }

    void insideChecks_data()
    {
        QTest::addColumn<QString>("inner");
        QTest::addColumn<QString>("outer");
        QTest::addColumn<bool>("inside");
        QTest::newRow("same") << "/d/e"
                              << "/d/e" << true;
        QTest::newRow("below") << "/d/e/f"
                               << "/d/e" << true;
        QTest::newRow("name sharing a start") << "/d/ef"
                                              << "/d/e" << false;
        QTest::newRow("above") << "/d"
                               << "/d/e" << false;
        QTest::newRow("everything is inside the root") << "/d"
                                                       << "/" << true;
    }
    void insideChecks()
    {
        QFETCH(QString, inner);
        QFETCH(QString, outer);
        QFETCH(bool, inside);
        QCOMPARE(isSameOrInside(inner.toStdString(), outer.toStdString()), inside);
    }

    void byteCounts_data()
    {
        QTest::addColumn<qulonglong>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << 1ULL << "1 octet";
        QTest::newRow("few") << 512ULL << "512 octets";
        QTest::newRow("kilo") << 1536ULL << "1,5 Ko";
        QTest::newRow("mega") << 12897485ULL << "12,3 Mo";
        QTest::newRow("just under a mega rounds up") << 1048575ULL << "1,0 Mo";
        QTest::newRow("giga") << 1073741824ULL << "1,0 Go";
    }
    void byteCounts()
    {
        QFETCH(qulonglong, bytes);
        QFETCH(QString, text);
        QCOMPARE(QString::fromStdString(byteCountText(bytes)), text);
    }

    void progressAndQuestionTexts()
    {
        QCOMPARE(QString::fromStdString(
                     progressLabel(FileAction::Copy, "/d/a.htm", 1536, 1073741824ULL)),
                 QString("Copie de « /d/a.htm »\n1,5 Ko sur 1,0 Go"));
        QCOMPARE(QString::fromStdString(missingFolderQuestion("/d/new")),
                 QString("Le dossier « /d/new » n'existe pas. Voulez-vous le créer ?"));
    }

    void errorMessageWithoutItemGivesTheReasonOnly()
    {
        const FileFailure failure{FileProblem::UnknownFunction, 0, "", ""};
        QCOMPARE(QString::fromStdString(failureMessage(FileAction::Copy, failure)),
                 QString("Cette opération sur les fichiers n'existe pas."));
    }

    void everyProblemHasItsOwnSentence()
    {
        // A problem that fell through to the errno table would read "Erreur système".
        QStringList seen;
        for (int p = static_cast<int>(FileProblem::Cancelled);
             p <= static_cast<int>(FileProblem::NameTooLong); ++p) {
            const FileFailure failure{static_cast<FileProblem>(p), 0, "", ""};
            const QString text = QString::fromStdString(failureMessage(FileAction::Copy, failure));
            QVERIFY2(!text.contains("Erreur système"), qPrintable(text));
            QVERIFY2(!seen.contains(text), qPrintable(text));
            seen << text;
        }
    }
};

QTEST_GUILESS_MAIN(TestFileopsTexts)
#include "tst_fileops_texts.moc"
