// Opening pages and following what the viewer shows.
#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
#include "Unit1/completed_page.h"
#include "Unit1/page_path.h"
#include "Unit1/path_pieces.h"
#include "platform/base/ascii_text.h"
#include "platform/ui/user_dialogs.h"
#include "platform/viewer/file_url.h"
#include "platform/viewer/web_browser.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>

#include <optional>
#include <sys/stat.h>

namespace {

bool entryExists(const std::string& path)
{
    struct stat info;
    return ::lstat(path.c_str(), &info) == 0;
}

bool isFolder(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The first local file of a drop from another program, as path bytes. A drag that starts in the
// window, in the page shown say, names what the page chose: it opens nothing.
std::optional<std::string> firstLocalFile(const QDropEvent& event)
{
    const QMimeData* data = event.mimeData();
    if (event.source() || !data || !data->hasUrls())
        return std::nullopt;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile())
            return localPathOfUrl(url);
    return std::nullopt;
}

// Takes the drop as a copy, or else a link: never as a move, after which the source may delete
// its file. False, leaving the drop refused, when the source offers neither.
bool acceptedWithoutMove(QDropEvent& event)
{
    if (event.possibleActions() & Qt::CopyAction)
        event.setDropAction(Qt::CopyAction);
    else if (event.possibleActions() & Qt::LinkAction)
        event.setDropAction(Qt::LinkAction);
    else
        return false;
    event.accept();
    return true;
}

} // namespace

void TForm1::Charge_Page(const std::string& path)
{
    Form1->WebBrowser1->Navigate(path);
}

void TForm1::openNamedPage(const std::string& named)
{
    // A name that is not found gives its folder, which is shown saying so.
    if (!fileNameOf(named).empty() && fileNameOf(Fichier_Courant).empty())
        WebBrowser1->showFolderOfMissingFile(Fichier_Courant, fileNameOf(named));
    else
        Charge_Page(Fichier_Courant);
}

void TForm1::Load1Click()
{
    const std::optional<std::string> chosen = services.dialogs->openFile(this, Chemin_Chargement);
    if (!chosen)
        return;
    Fichier_Courant = *chosen;
    // The title names the file that the commands act on, also for a page that never completes.
    setTitle(Fichier_Courant);
    Charge_Page(Fichier_Courant);
    Chemin_Chargement = folderWithDelimiterOf(Fichier_Courant);
}

void TForm1::FileDropped(const std::string& path)
{
    Fichier_Courant = pagePathFor(path);
    setTitle(asciiLowerCase(Fichier_Courant));
    // The window comes to the front also when the viewer refuses the page.
    const auto bringToFront = [this] {
        raise();
        activateWindow();
    };
    try {
        openNamedPage(path);
    } catch (...) {
        bringToFront();
        throw;
    }
    bringToFront();
}

void TForm1::WebBrowser1DocumentComplete(const std::string& URL)
{
    const std::optional<std::string> page =
        pageAfterDocumentComplete(URL, Fichier_Courant, entryExists);
    if (!page)
        return;
    // A folder is the current page only when the user named it; reached by a link it is only
    // shown, and the folder keys go on from it.
    if (*page != Fichier_Courant && isFolder(*page)) {
        lastPage = *page;
        Fichier_Courant.clear();
    } else {
        Fichier_Courant = *page;
    }
    setTitle(Fichier_Courant);
}

void TForm1::dragEnterEvent(QDragEnterEvent* event)
{
    if (firstLocalFile(*event))
        acceptedWithoutMove(*event);
}

void TForm1::dragMoveEvent(QDragMoveEvent* event)
{
    if (firstLocalFile(*event))
        acceptedWithoutMove(*event);
}

void TForm1::dropEvent(QDropEvent* event)
{
    const std::optional<std::string> path = firstLocalFile(*event);
    if (!path || !acceptedWithoutMove(*event))
        return;
    guarded([&] { FileDropped(*path); });
}
