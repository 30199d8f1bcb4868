#include "platform/viewer/page_context_menu.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

using Action = QWebEnginePage::WebAction;

const Action leavingActions[] = {
    QWebEnginePage::OpenLinkInNewWindow,
    QWebEnginePage::OpenLinkInNewTab,
    QWebEnginePage::OpenLinkInNewBackgroundTab,
    QWebEnginePage::DownloadLinkToDisk,
    QWebEnginePage::DownloadImageToDisk,
    QWebEnginePage::DownloadMediaToDisk,
    QWebEnginePage::InspectElement,
    QWebEnginePage::SavePage,
    QWebEnginePage::ViewSource,
};

} // namespace

QMenu* pageContextMenu(QWebEngineView& view)
{
    QMenu* menu = view.createStandardContextMenu();
    for (Action action : leavingActions)
        menu->removeAction(view.page()->action(action));
    // Separators left next to each other, or at an end, by the removals.
    QAction* previous = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->isSeparator() && (!previous || previous->isSeparator()))
            menu->removeAction(action);
        else
            previous = action;
    }
    if (previous && previous->isSeparator())
        menu->removeAction(previous);
    return menu;
}
