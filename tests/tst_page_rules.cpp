#include "Unit1/completed_page.h"
#include "platform/application_title.h"
#include "platform/folder/folder_pages.h"
#include "platform/viewer/file_url.h"
#include "platform/viewer/local_file_guard.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <fstream>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

using ResourceType = QWebEngineUrlRequestInfo::ResourceType;
Q_DECLARE_METATYPE(ResourceType)

namespace {

// Makes the entries of a folder: "name" a file, "name/" a folder, "name->target" a link.
void makeEntries(const std::string& folder, const QByteArrayList& entries)
{
    for (const QByteArray& entry : entries) {
        const std::string text = entry.toStdString();
        const std::size_t arrow = text.find("->");
        if (arrow != std::string::npos)
            QCOMPARE(symlink(text.substr(arrow + 2).c_str(),
                             (folder + "/" + text.substr(0, arrow)).c_str()),
                     0);
        else if (text.back() == '/')
            QCOMPARE(mkdir((folder + "/" + text).c_str(), 0755), 0);
        else
            QVERIFY(std::ofstream(folder + "/" + text).good());
    }
}

} // namespace

class TestPageRules : public QObject {
    Q_OBJECT
private slots:
    void currentPageAfterDocumentComplete_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("existing");
        QTest::addColumn<QString>("expected"); // "=" when nothing changes
        QTest::newRow("%20 becomes a space") << "/d/My%20Pages/a.htm"
                                             << "" << QStringList{} << "/d/My Pages/a.htm";
        QTest::newRow("no other escape is decoded") << "/d/x%41.htm"
                                                    << "" << QStringList{} << "/d/x%41.htm";
        QTest::newRow("no re-scan of replaced text") << "/d/%2520%20%2020"
                                                     << "" << QStringList{} << "/d/%2520  20";
        QTest::newRow("jump within the page") << "/d/p.htm#top"
                                              << "/d/p.htm" << QStringList{} << "=";
        QTest::newRow("jump within a page with spaces") << "/d/a%20b.htm#top"
                                                        << "/d/a b.htm" << QStringList{} << "=";
        QTest::newRow("link to another page's anchor") << "/d/b.htm#part"
                                                       << "/d/a.htm" << QStringList{} << "/d/b.htm";
        QTest::newRow("a file named with %20 stays itself")
            << "/d/My%20Page.html"
            << "" << QStringList{"/d/My%20Page.html"} << "/d/My%20Page.html";
        QTest::newRow("a file named with #")
            << "/d/a#b.htm"
            << "/d/a#b.htm" << QStringList{"/d/a#b.htm"} << "/d/a#b.htm";
        QTest::newRow("anchor in a file named with #")
            << "/d/a#b.htm#top"
            << "/d/a#b.htm" << QStringList{"/d/a#b.htm"} << "=";
        QTest::newRow("anchor in another file named with #")
            << "/d/a#b.htm#top"
            << "/d/c.htm" << QStringList{"/d/a#b.htm"} << "/d/a#b.htm";
        QTest::newRow("web address") << "http://example.com/a%20b.html"
                                     << "" << QStringList{} << "http://example.com/a b.html";
        QTest::newRow("web anchor on the same page")
            << "http://example.com/a.html#x"
            << "http://example.com/a.html" << QStringList{} << "=";
        QTest::newRow("bare anchor") << "#x"
                                     << "/d/a.htm" << QStringList{} << "=";
    }
    void currentPageAfterDocumentComplete()
    {
        QFETCH(QString, address);
        QFETCH(QString, current);
        QFETCH(QStringList, existing);
        QFETCH(QString, expected);
        std::set<std::string> files;
        for (const QString& file : existing)
            files.insert(file.toStdString());
        const auto exists = [&](const std::string& path) { return files.count(path) > 0; };
        const std::optional<std::string> page =
            pageAfterDocumentComplete(address.toStdString(), current.toStdString(), exists);
        if (expected == "=")
            QVERIFY2(!page, page ? page->c_str() : "");
        else
            QCOMPARE(QString::fromStdString(page.value_or("(unchanged)")), expected);
    }

    void localPathsTravelByteForByte_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("plain") << QByteArray("/d/page.htm");
        QTest::newRow("space and accents") << QByteArray("/d/\xC3\xa9t\xC3\xa9 x.htm");
        QTest::newRow("not valid UTF-8") << QByteArray("/d/\xE9t\xE9.htm");
        QTest::newRow("percent and hash") << QByteArray("/d/50%25 #1.htm");
        QTest::newRow("newline and question mark") << QByteArray("/d/a\nb?.htm");
        QTest::newRow("folder") << QByteArray("/d/e/");
    }
    void localPathsTravelByteForByte()
    {
        QFETCH(QByteArray, path);
        const QUrl url = urlForAddress(path.toStdString());
        QVERIFY(url.isLocalFile());
        QCOMPARE(QByteArray::fromStdString(addressOfUrl(url)), path);
        QUrl withFragment = url;
        withFragment.setFragment("top");
        QCOMPARE(QByteArray::fromStdString(addressOfUrl(withFragment)), path + "#top");
    }

    void otherAddresses()
    {
        QCOMPARE(urlForAddress(""), QUrl("about:blank"));
        QCOMPARE(urlForAddress("https://example.com/a b.html").host(), QString("example.com"));
        QCOMPARE(addressOfUrl(QUrl("https://example.com/a b.html#x")),
                 std::string("https://example.com/a%20b.html#x"));
        QCOMPARE(localPathOfUrl(QUrl("https://example.com/a")), std::string());
    }

    void localResourcesAPageMayLoad_data()
    {
        QTest::addColumn<QString>("request"); // relative to the test folder when not a URL
        QTest::addColumn<ResourceType>("type");
        QTest::addColumn<bool>("allowed");
        using Info = QWebEngineUrlRequestInfo;
        QTest::newRow("script read of the page's own files")
            << "site/page_files/a.json" << Info::ResourceTypeXhr << false;
        QTest::newRow("script read of another file")
            << "secret.txt" << Info::ResourceTypeXhr << false;
        QTest::newRow("beacon") << "secret.txt" << Info::ResourceTypePing << false;
        QTest::newRow("frame in the page's folder tree")
            << "site/page_files/inner.htm" << Info::ResourceTypeSubFrame << true;
        QTest::newRow("frame outside it") << "secret.txt" << Info::ResourceTypeSubFrame << false;
        QTest::newRow("frame through .. out of it")
            << "site/../secret.txt" << Info::ResourceTypeSubFrame << false;
        QTest::newRow("frame through a link leading out")
            << "site/escape/secret.txt" << Info::ResourceTypeSubFrame << false;
        QTest::newRow("object outside") << "secret.txt" << Info::ResourceTypeObject << false;
        QTest::newRow("sibling folder with a longer name")
            << "site2/x.htm" << Info::ResourceTypeSubFrame << false;
        QTest::newRow("picture anywhere") << "secret.png" << Info::ResourceTypeImage << true;
        QTest::newRow("style sheet")
            << "site/page_files/s.css" << Info::ResourceTypeStylesheet << true;
        QTest::newRow("page the user opens") << "secret.txt" << Info::ResourceTypeMainFrame << true;
        QTest::newRow("web frame") << "https://example.com/" << Info::ResourceTypeSubFrame << true;
        QTest::newRow("web read") << "https://example.com/x" << Info::ResourceTypeXhr << true;
    }
    void localResourcesAPageMayLoad()
    {
        QFETCH(QString, request);
        QFETCH(ResourceType, type);
        QFETCH(bool, allowed);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath("site/page_files"));
        QVERIFY(QDir(dir.path()).mkpath("site2"));
        for (const char* name :
             {"secret.txt", "site/page.htm", "site/page_files/inner.htm", "site2/x.htm"}) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        QVERIFY(QFile::link(dir.path(), dir.filePath("site/escape")));
        const QUrl page = QUrl::fromLocalFile(dir.filePath("site/page.htm"));
        const QUrl url = request.contains("://") ? QUrl(request)
                                                 : QUrl::fromLocalFile(dir.path() + "/" + request);
        QCOMPARE(mayLoadLocalResource(url, page, type), allowed);
    }

    void pagesOfAFolderInOrder_data()
    {
        QTest::addColumn<QByteArrayList>("entries");
        QTest::addColumn<QByteArrayList>("pages");
        QTest::newRow("letters without regard to case")
            << QByteArrayList{"b.htm", "C.htm", "A.htm"}
            << QByteArrayList{"A.htm", "b.htm", "C.htm"};
        QTest::newRow("numbers by their value")
            << QByteArrayList{"c 10.htm", "c 100.htm", "c 9.htm"}
            << QByteArrayList{"c 9.htm", "c 10.htm", "c 100.htm"};
        QTest::newRow("a dot before any other character")
            << QByteArrayList{"B2.HTML", "a1.htm", "a-b.htm", "a b.htm",
                              "a_b.htm", "b.htm",  "a.htm"}
            << QByteArrayList{"a.htm",  "a b.htm", "a_b.htm", "a-b.htm",
                              "a1.htm", "b.htm",   "B2.HTML"};
        QTest::newRow("accents beside their letter")
            << QByteArrayList{"f.htm", "\xc3\xa9t\xc3\xa9.htm", "e.htm"}
            << QByteArrayList{"e.htm", "\xc3\xa9t\xc3\xa9.htm", "f.htm"};
        QTest::newRow("names that are not UTF-8 are kept, in a fixed order")
            << QByteArrayList{"\xe9t\xe9.htm", "a.htm", "\xe8t\xe9.htm"}
            << QByteArrayList{"a.htm", "\xe8t\xe9.htm", "\xe9t\xe9.htm"};
        QTest::newRow("names alike but for case go by their bytes")
            << QByteArrayList{"a.htm", "A.htm"} << QByteArrayList{"A.htm", "a.htm"};
        QTest::newRow("every page extension in any case, no other file")
            << QByteArrayList{"a.HTM",   "b.Html", "c.shtml",   "d.XHTML", "e.xht", "f.mht",
                              "g.MHTML", "h.txt",  "i.htm.bak", "j",       "k.png", "lhtm"}
            << QByteArrayList{"a.HTM", "b.Html", "c.shtml", "d.XHTML", "e.xht", "f.mht", "g.MHTML"};
        QTest::newRow("no folder, companion or not")
            << QByteArrayList{"a.htm", "a_files/", "b.htm/", "c.html"}
            << QByteArrayList{"a.htm", "c.html"};
        QTest::newRow("a link to a page counts, a dangling one does not")
            << QByteArrayList{"a.htm", "b.htm->a.htm", "c.htm->gone.htm", "d.htm->a_files",
                              "a_files/"}
            << QByteArrayList{"a.htm", "b.htm"};
        QTest::newRow("an empty folder") << QByteArrayList{} << QByteArrayList{};
    }
    void pagesOfAFolderInOrder()
    {
        QFETCH(QByteArrayList, entries);
        QFETCH(QByteArrayList, pages);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString();
        makeEntries(folder, entries);
        QByteArrayList found;
        for (const std::string& name : pagesOfFolder(folder))
            found << QByteArray::fromStdString(name);
        QCOMPARE(found, pages);
        // Taken one by one, the pages come in the same order both ways.
        for (qsizetype i = 0; i < pages.size(); ++i) {
            const std::string page = folder + "/" + pages[i].toStdString();
            const auto next = neighbourPage(page, PageStep::Next);
            const auto previous = neighbourPage(page, PageStep::Previous);
            QCOMPARE(next.value_or(""),
                     i + 1 < pages.size() ? folder + "/" + pages[i + 1].toStdString() : "");
            QCOMPARE(previous.value_or(""), i > 0 ? folder + "/" + pages[i - 1].toStdString() : "");
        }
        // Names that are not UTF-8 go with the temporary folder only through their bytes.
        for (const std::string& name : pagesOfFolder(folder))
            unlink((folder + "/" + name).c_str());
    }

    void neighbourOfAPlace_data()
    {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("next");     // empty: none
        QTest::addColumn<QString>("previous"); // empty: none
        QTest::newRow("a page that vanished: where its name sorts") << "b.htm"
                                                                    << "c 10.htm"
                                                                    << "a.htm";
        QTest::newRow("a file that is no page") << "b.txt"
                                                << "c 10.htm"
                                                << "a.htm";
        QTest::newRow("a folder") << "a_files"
                                  << "c 10.htm"
                                  << "a.htm";
        QTest::newRow("before every page") << "0.htm"
                                           << "a.htm"
                                           << "";
        QTest::newRow("after every page") << "z.htm"
                                          << ""
                                          << "c 10.htm";
        QTest::newRow("a folder's path, no name") << ""
                                                  << "a.htm"
                                                  << "";
    }
    void neighbourOfAPlace()
    {
        QFETCH(QString, place);
        QFETCH(QString, next);
        QFETCH(QString, previous);
        QTemporaryDir dir;
        const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
        makeEntries(folder, {"a.htm", "a_files/", "c 10.htm", "b.txt"});
        const std::string at = folder + place.toStdString();
        const auto expected = [&](const QString& name) {
            return name.isEmpty() ? std::optional<std::string>() : folder + name.toStdString();
        };
        QCOMPARE(neighbourPage(at, PageStep::Next), expected(next));
        QCOMPARE(neighbourPage(at, PageStep::Previous), expected(previous));
        // The folder is read at each call: a page added meanwhile counts.
        makeEntries(folder, {"b1.htm"});
        QCOMPARE(neighbourPage(folder + "c 10.htm", PageStep::Previous), folder + "b1.htm");
    }

    void neighbourOfWhatIsNoPath()
    {
        QCOMPARE(neighbourPage("", PageStep::Next), std::nullopt);
        QCOMPARE(neighbourPage("http://example.com/a.htm", PageStep::Next), std::nullopt);
        QCOMPARE(neighbourPage("a.htm", PageStep::Previous), std::nullopt);
    }

    void applicationTitle_data()
    {
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("title");
        QTest::newRow("extensions cut, rest lowered") << "/opt/ABC.DEF.EXE"
                                                      << "Abc";
        QTest::newRow("first letter kept as it is") << "/usr/bin/velmo"
                                                    << "velmo";
        QTest::newRow("capital first letter") << "/x/VELMO"
                                              << "Velmo";
        QTest::newRow("dot in a folder does not count") << "/a.b/Prog"
                                                        << "Prog";
        QTest::newRow("accented capitals lowered") << "/x/\u00c9T\u00c9"
                                                   << "\u00c9t\u00e9";
    }
    void applicationTitle()
    {
        QFETCH(QString, executable);
        QFETCH(QString, title);
        QCOMPARE(applicationTitleFor(QFile::encodeName(executable).toStdString()), title);
    }
};

QTEST_GUILESS_MAIN(TestPageRules)
#include "tst_page_rules.moc"
