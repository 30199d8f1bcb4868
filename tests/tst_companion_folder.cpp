#include "platform/base/page_names.h"
#include "platform/files/companion_folder.h"
#include "platform/files/page_links.h"
#include "support/fileops_support.h"

// Which folder beside a saved page is its companion: by the page's name, or by where its links
// point for a renamed page.
class TestCompanionFolder : public QObject {
    Q_OBJECT

    static std::vector<std::string> strings(const QStringList& list)
    {
        std::vector<std::string> out;
        for (const QString& item : list)
            out.push_back(item.toStdString());
        return out;
    }

private slots:
    void names_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("page");
        QTest::addColumn<bool>("suffix");
        QTest::newRow("htm") << "a.htm" << true << false;
        QTest::newRow("html upper case") << "A.HTML" << true << false;
        QTest::newRow("shtml mixed case") << "a.sHtMl" << true << false;
        QTest::newRow("xhtml") << "a.b.xhtml" << true << false;
        QTest::newRow("mht holds all in one file") << "a.mht" << false << false;
        QTest::newRow("htm in the middle") << "a.htm.txt" << false << false;
        QTest::newRow("no extension") << "htm" << false << false;
        QTest::newRow("_files") << "a_files" << false << true;
        QTest::newRow(".files") << "a.files" << false << true;
        QTest::newRow("-Dateien") << "Seite-Dateien" << false << true;
        QTest::newRow("_fitxategiak") << "orria_fitxategiak" << false << true;
        QTest::newRow("suffix alone") << "_files" << false << false;
        QTest::newRow("suffix in another case") << "a_FILES" << false << false;
        QTest::newRow("suffix not at the end") << "a_files_old" << false << false;
    }
    void names()
    {
        QFETCH(QString, name);
        QFETCH(bool, page);
        QFETCH(bool, suffix);
        QCOMPARE(isPageSavedWithFolder(name.toStdString()), page);
        QCOMPARE(hasCompanionSuffix(name.toStdString()), suffix);
    }

    void links_data()
    {
        QTest::addColumn<QByteArray>("html");
        QTest::addColumn<QStringList>("folders");
        QTest::newRow("double quotes")
            << QByteArray("<img src=\"p_files/a.png\">") << QStringList{"p_files"};
        QTest::newRow("single quotes, upper case, spaces")
            << QByteArray("<IMG SRC = 'p_files/a.png'>") << QStringList{"p_files"};
        QTest::newRow("unquoted") << QByteArray("<img src=p_files/a.png alt=x>")
                                  << QStringList{"p_files"};
        QTest::newRow("style sheet link")
            << QByteArray("<link rel=\"stylesheet\" href=\"./p_files/s.css\">")
            << QStringList{"p_files"};
        QTest::newRow("percent-encoded name")
            << QByteArray("<img src=\"Ma%20page_files/a.png\">") << QStringList{"Ma page_files"};
        QTest::newRow("character references")
            << QByteArray("<img src=\"A&amp;B&#95;files/a.png\">") << QStringList{"A&B_files"};
        QTest::newRow("backslash")
            << QByteArray("<img src=\"p_files\\a.png\">") << QStringList{"p_files"};
        QTest::newRow("query and fragment after the folder")
            << QByteArray("<script src=\"p_files/a.js?v=2#x\"></script>") << QStringList{"p_files"};
        QTest::newRow("srcset") << QByteArray("<img srcset=\"a_files/1.png 1x, b_files/2.png 2x\">")
                                << QStringList{"a_files", "b_files"};
        QTest::newRow("url() in a style attribute and a style element")
            << QByteArray("<div style=\"background: url('a_files/bg.png')\"></div>"
                          "<style>p { background: url( b_files/x.png ) }</style>")
            << QStringList{"a_files", "b_files"};
        QTest::newRow("@import") << QByteArray("<style>@import \"p_files/s.css\";</style>")
                                 << QStringList{"p_files"};
        QTest::newRow("most linked first")
            << QByteArray("<img src=\"a_files/1\"><img src=\"b_files/1\"><img src=\"b_files/2\">")
            << QStringList{"b_files", "a_files"};
        QTest::newRow("addresses that are not relative links into a folder")
            << QByteArray("<a href=\"http://e.org/p_files/a\"></a><img src=\"//e.org/x/a\">"
                          "<img src=\"/abs/x\"><a href=\"#p_files/a\"></a>"
                          "<img src=\"data:image/png;base64,AAAA/BB\">"
                          "<a href=\"javascript:go('x/y')\"></a><a href=\"mailto:a@b/c\"></a>"
                          "<img src=\"a.png\"><img src=\"../up_files/a.png\">"
                          "<a href=\"?q=a/b\"></a><a href=\"x?y/z\"></a><img src=\"\">")
            << QStringList{};
        QTest::newRow("other attributes and text are not links")
            << QByteArray("<img data-src=\"d_files/a\" alt=\"e_files/a\"> src=\"f_files/a\"")
            << QStringList{};
        QTest::newRow("comments and scripts hold no tags")
            << QByteArray(
                   "<!-- <img src=\"c_files/a\"> --><script>var s = '<img src=\"d_files/a\">';"
                   "if (a<b) x();</script><img src=\"p_files/a\">")
            << QStringList{"p_files"};
        QTest::newRow("a page read only in part, cut in an address")
            << QByteArray("<img src=\"p_files/a.png\"><img src=\"q_files/")
            << QStringList{"p_files", "q_files"};
    }
    void links()
    {
        QFETCH(QByteArray, html);
        QFETCH(QStringList, folders);
        QCOMPARE(linkedFolders(html.toStdString()), strings(folders));
    }

    void choice_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QStringList>("linked");
        QTest::addColumn<QString>("companion");
        QTest::newRow("by name") << "a.htm" << QStringList{"a_files", "b_files"} << QStringList{}
                                 << QStringList{} << "a_files";
        QTest::newRow("by name, localised suffix")
            << "Seite.HTML" << QStringList{"Seite-Dateien"} << QStringList{} << QStringList{}
            << "Seite-Dateien";
        QTest::newRow("by name, the first suffix in order")
            << "a.htm" << QStringList{"a_fichiers", "a.files", "a_files"} << QStringList{}
            << QStringList{} << "a_files";
        QTest::newRow("an mht page has none")
            << "a.mht" << QStringList{"a_files"} << QStringList{} << QStringList{} << "";
        QTest::newRow("no folder of its name")
            << "a.htm" << QStringList{"b_files"} << QStringList{"b.htm"} << QStringList{} << "";
        QTest::newRow("renamed page, by its links")
            << "b.htm" << QStringList{"a_files"} << QStringList{} << QStringList{"a_files"}
            << "a_files";
        QTest::newRow("a folder named for another page stays that page's")
            << "b.htm" << QStringList{"a_files"} << QStringList{"a.htm"} << QStringList{"a_files"}
            << "";
        QTest::newRow("...whatever that page's extension")
            << "b.htm" << QStringList{"a_files"} << QStringList{"a.XHTML"} << QStringList{"a_files"}
            << "";
        QTest::newRow("links into a missing folder")
            << "b.htm" << QStringList{} << QStringList{} << QStringList{"a_files"} << "";
        QTest::newRow("links into its named folder")
            << "a.htm" << QStringList{"a_files", "old_files"} << QStringList{}
            << QStringList{"old_files", "a_files"} << "a_files";
        QTest::newRow("renamed onto a stray folder's name: its links tell")
            << "b.htm" << QStringList{"a_files", "b_files"} << QStringList{}
            << QStringList{"a_files"} << "a_files";
        QTest::newRow("links into another page's folder only: by name")
            << "b.htm" << QStringList{"a_files", "b_files"} << QStringList{"a.htm"}
            << QStringList{"a_files"} << "b_files";
        QTest::newRow("the first linked folder that is free")
            << "c.htm" << QStringList{"a_files", "b_files"} << QStringList{"a.htm"}
            << QStringList{"a_files", "b_files"} << "b_files";
        QTest::newRow("a page named by its extension alone has no folder by name")
            << ".htm" << QStringList{"_files"} << QStringList{} << QStringList{} << "";
    }
    void choice()
    {
        QFETCH(QString, page);
        QFETCH(QStringList, folders);
        QFETCH(QStringList, pages);
        QFETCH(QStringList, linked);
        QFETCH(QString, companion);
        CompanionClues clues;
        clues.page = page.toStdString();
        clues.folders = strings(folders);
        clues.pages = strings(pages);
        clues.linked = strings(linked);
        QCOMPARE(QString::fromStdString(chooseCompanion(clues)), companion);
    }

    void onDisk_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("setup"); // what stands beside the page
        QTest::addColumn<QString>("companion");
        QTest::newRow("folder of its name") << "a.htm"
                                            << "folder a_files"
                                            << "a_files";
        QTest::newRow("upper-case extension") << "a.HTM"
                                              << "folder a_files"
                                              << "a_files";
        QTest::newRow("a link to a folder is not followed") << "a.htm"
                                                            << "link a_files"
                                                            << "";
        QTest::newRow("a file of that name") << "a.htm"
                                             << "file a_files"
                                             << "";
        QTest::newRow("renamed page") << "b.htm"
                                      << "folder a_files"
                                      << "a_files";
        QTest::newRow("renamed page, folder named for another page") << "b.htm"
                                                                     << "folder a_files, page a.htm"
                                                                     << "";
        QTest::newRow("renamed page, link to a folder") << "b.htm"
                                                        << "link a_files"
                                                        << "";
        QTest::newRow("a page that is a link has none") << "a.htm"
                                                        << "folder a_files, page is a link"
                                                        << "";
        QTest::newRow("an mht page has none") << "a.mht"
                                              << "folder a_files"
                                              << "";
    }
    void onDisk()
    {
        QFETCH(QString, page);
        QFETCH(QString, setup);
        QFETCH(QString, companion);
        QTemporaryDir dir;
        const std::string folder = dir.path().toStdString();
        const std::string target = folder + "/elsewhere";
        QCOMPARE(mkdir(target.c_str(), 0755), 0);
        writeBytes(target + "/a.png", "png");
        const std::string html = "<html><img src=\"a_files/a.png\"></html>";
        const std::string pagePath = folder + "/" + page.toStdString();
        if (setup.contains("page is a link")) {
            writeBytes(folder + "/real.txt", html);
            QCOMPARE(symlink("real.txt", pagePath.c_str()), 0);
        } else {
            writeBytes(pagePath, html);
        }
        if (setup.contains("folder a_files")) {
            QCOMPARE(mkdir((folder + "/a_files").c_str(), 0755), 0);
            writeBytes(folder + "/a_files/a.png", "png");
        }
        if (setup.contains("link a_files"))
            QCOMPARE(symlink("elsewhere", (folder + "/a_files").c_str()), 0);
        if (setup.contains("file a_files"))
            writeBytes(folder + "/a_files", "not a folder");
        if (setup.contains("page a.htm"))
            writeBytes(folder + "/a.htm", html);

        const std::string expected =
            companion.isEmpty() ? std::string() : folder + "/" + companion.toStdString();
        QCOMPARE(findCompanionFolder(pagePath), expected);
    }
};

QTEST_GUILESS_MAIN(TestCompanionFolder)
#include "tst_companion_folder.moc"
