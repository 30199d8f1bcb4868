// The window's own keys, with no menu entry: next and previous page of the folder, and undo.
#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
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
}

void TForm1::openNeighbourPage(PageStep step)
{
    const std::string& place = Fichier_Courant.empty() ? lastPage : Fichier_Courant;
    if (place.empty() || !services.neighbourPage)
        return;
    const std::optional<std::string> page = services.neighbourPage(place, step);
    if (!page)
        return;
    // As an open from the dialog, which folder the dialog starts in aside.
    Fichier_Courant = *page;
    setTitle(Fichier_Courant);
    Charge_Page(Fichier_Courant);
}

void TForm1::undoLastFileCommand()
{
    if (!services.undoFileCommand)
        return;
    const std::optional<std::string> page = services.undoFileCommand(this);
    if (!page)
        return;
    Fichier_Courant = *page;
    setTitle(Fichier_Courant);
    Charge_Page(Fichier_Courant);
}
