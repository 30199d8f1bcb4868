// Times the pages of a large folder by title: the list of names shown, the titles all read on the
// worker thread (first from the disk's cache, then from the titles kept for the run), the longest
// time the window went without handling its events meanwhile, one key typed in the search field,
// and the folder's listing page.

#include "platform/files/folder_pages.h"
#include "platform/titles/page_title.h"
#include "platform/titles/page_titles.h"
#include "platform/ui/folder_pages_panel.h"
#include "platform/viewer/folder_listing.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeView>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char* const kWords[] = {"Église",  "recette", "village", "histoire", "été",   "Tarte",
                              "rivière", "château", "musée",   "voyage",   "hiver", "jardin"};

// A saved page: a title of a few words, after a long inline style sheet for one page in ten.
std::string pageContent(int i)
{
    std::string title = "Article " + std::to_string(i);
    for (int w = 0; w < 4; ++w)
        title += std::string(" ") + kWords[(i * 7 + w * 5) % 12];
    const std::string style = i % 10 == 0 ? "<style>" + std::string(30000, ' ') + "</style>" : "";
    return "<!DOCTYPE html><html><head><meta charset=\"utf-8\">" + style + "<title>" + title +
           "</title></head><body><p>" + std::string(2000, 'x') + "</p></body></html>";
}

double ms(const QElapsedTimer& timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Shows the folder's pages and runs the loop until every title is in; gives the time to the
// names, the time to the last title and the longest pause of the loop meanwhile.
struct Showing {
    double names = 0;
    double titles = 0;
    double longestPause = 0;
};

Showing showAll(FolderPagesPanel& panel, const std::string& folder)
{
    Showing result;
    QElapsedTimer clock;
    clock.start();
    panel.showPages(folder, pagesOfFolder(folder), std::string());
    panel.pageList()->viewport()->repaint();
    result.names = ms(clock);
    QAbstractItemModel* model = panel.pageList()->model();
    const QModelIndex last = model->index(model->rowCount() - 1, 0);
    QElapsedTimer sinceTick;
    sinceTick.start();
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        result.longestPause = std::max(result.longestPause, ms(sinceTick));
        sinceTick.restart();
    });
    tick.start(1);
    while (last.data().toString().isEmpty())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    result.titles = ms(clock);
    return result;
}

} // namespace

int main(int argc, char** argv)
{
    int count = 5000;
    for (int i = 1; i + 1 < argc; i += 2)
        if (std::string(argv[i]) == "--pages")
            count = std::max(1, std::atoi(argv[i + 1]));
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    QTemporaryDir dir;
    const std::string folder = QFile::encodeName(dir.path()).toStdString() + "/";
    for (int i = 0; i < count; ++i) {
        const std::string name =
            i % 2 ? "index(" + std::to_string(i) + ").html" : "page " + std::to_string(i) + ".htm";
        std::ofstream(folder + name) << pageContent(i);
    }
    std::printf("%d pages dans %s\n", count, folder.c_str());

    QElapsedTimer clock;
    clock.start();
    const std::vector<std::string> pages = pagesOfFolder(folder);
    std::printf("noms lus et ordonnés : %.1f ms\n", ms(clock));

    QWidget window;
    window.resize(1000, 700);
    window.show();
    // A cache of its own, so that the first showing reads every file.
    TitleCache cache(readPageTitle);
    FolderPagesPanel panel([&cache](const std::string& path) { return cache.titleOf(path); },
                           &window);
    for (const char* round :
         {"premier affichage (titres lus)", "second affichage (titres gardés)"}) {
        const Showing shown = showAll(panel, folder);
        std::printf("%s : noms affichés %.1f ms, tous les titres %.1f ms, plus longue pause de la "
                    "boucle %.1f ms\n",
                    round, shown.names, shown.titles, shown.longestPause);
    }

    // One key after another, each until the list is drawn again.
    const QString typed = QStringLiteral("eglise village 12");
    double longestKey = 0;
    double allKeys = 0;
    for (qsizetype n = 1; n <= typed.size(); ++n) {
        clock.restart();
        panel.searchField()->setText(typed.left(n));
        panel.pageList()->viewport()->repaint();
        const double key = ms(clock);
        longestKey = std::max(longestKey, key);
        allKeys += key;
    }
    std::printf("une touche tapée (filtre et liste redessinée) : en moyenne %.2f ms, au plus "
                "%.2f ms ; %d pages trouvées pour « %s »\n",
                allKeys / double(typed.size()), longestKey, panel.pageList()->model()->rowCount(),
                qPrintable(typed));

    TitleCache listingCache(readPageTitle);
    for (const char* round : {"titres lus", "titres gardés"}) {
        clock.restart();
        const QByteArray listing = folderListing(folder, [&listingCache](const std::string& path) {
            return listingCache.titleOf(path);
        });
        std::printf("page d'index du dossier (%s) : %.1f ms, %lld octets\n", round, ms(clock),
                    static_cast<long long>(listing.size()));
    }
    return 0;
}
