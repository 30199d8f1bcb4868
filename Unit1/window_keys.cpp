// The window's own keys, with no menu entry: next and previous page of the folder, undo, the
// folder's pages by title, and renaming after the title.
#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
#include "Unit1/path_pieces.h"
#include "platform/ui/folder_pages_panel.h"
#include "platform/viewer/web_browser.h"

#include <QShortcut>

void TForm1::buildKeys()
{
    const auto addKey = [this](QKeyCombination key, const std::function<void()>& handler) {
        auto* shortcut = new QShortcut(QKeySequence(key), this);
        connect(shortcut, &QShortcut::activated, this, [this, handler] { guarded(handler); });
    };
    addKey(Qt::CTRL | Qt::Key_PageDown, [this] { openNeighbourPage(PageStep::Next); });
    addKey(Qt::CTRL | Qt::Key_PageUp, [this] { openNeighbourPage(PageStep::Previous); });
    // In a field of the page, Ctrl+Z undoes the typing. The engine hands back a key the page did
    // not use (nothing left to undo), which must not then take back a file command.
    addKey(Qt::CTRL | Qt::Key_Z, [this] {
        if (!WebBrowser1->isTypingInPage())
            undoLastFileCommand();
    });
    addKey(Qt::CTRL | Qt::Key_L, [this] { showFolderPages(); });
    addKey(Qt::CTRL | Qt::SHIFT | Qt::Key_N, [this] { renameAfterTitle(); });
}

void TForm1::showAsCurrentPage(const std::string& page)
{
    Fichier_Courant = page;
    setTitle(Fichier_Courant);
    Charge_Page(Fichier_Courant);
}

void TForm1::openNeighbourPage(PageStep step)
{
    const std::string& place = Fichier_Courant.empty() ? lastPage : Fichier_Courant;
    if (place.empty() || !services.neighbourPage)
        return;
    const std::optional<std::string> page = services.neighbourPage(place, step);
    if (!page)
        return;
    showAsCurrentPage(*page);
}

void TForm1::undoLastFileCommand()
{
    if (!services.undoFileCommand)
        return;
    const std::optional<std::string> page = services.undoFileCommand(this);
    if (!page)
        return;
    showAsCurrentPage(*page);
}

void TForm1::showFolderPages()
{
    if (!services.folderPages || !services.pageTitle)
        return;
    const std::optional<std::string> folder = folderOfPlace(Fichier_Courant);
    if (!folder)
        return;
    if (!pagesPanel) {
        pagesPanel = new FolderPagesPanel(services.pageTitle, this);
        connect(pagesPanel, &FolderPagesPanel::pageChosen, this,
                [this](const std::string& page) { guarded([&] { showAsCurrentPage(page); }); });
    }
    pagesPanel->showPages(*folder, services.folderPages(*folder), fileNameOf(Fichier_Courant));
}
