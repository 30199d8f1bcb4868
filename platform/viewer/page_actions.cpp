#include "platform/viewer/page_actions.h"

#include <QAction>
#include <QMenu>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <utility>

namespace {

using Action = QWebEnginePage::WebAction;

const std::pair<Action, const char*> frenchTexts[] = {
    {QWebEnginePage::Back, "Précédente"},
    {QWebEnginePage::Forward, "Suivante"},
    {QWebEnginePage::Stop, "Arrêter"},
    {QWebEnginePage::Reload, "Actualiser"},
    {QWebEnginePage::ReloadAndBypassCache, "Actualiser sans le cache"},
    {QWebEnginePage::Cut, "Couper"},
    {QWebEnginePage::Copy, "Copier"},
    {QWebEnginePage::Paste, "Coller"},
    {QWebEnginePage::Undo, "Annuler"},
    {QWebEnginePage::Redo, "Rétablir"},
    {QWebEnginePage::SelectAll, "Tout sélectionner"},
    {QWebEnginePage::PasteAndMatchStyle, "Coller en adaptant le style"},
    {QWebEnginePage::Unselect, "Désélectionner"},
    {QWebEnginePage::OpenLinkInThisWindow, "Ouvrir le lien"},
    {QWebEnginePage::CopyLinkToClipboard, "Copier l'adresse du lien"},
    {QWebEnginePage::CopyImageToClipboard, "Copier l'image"},
    {QWebEnginePage::CopyImageUrlToClipboard, "Copier l'adresse de l'image"},
    {QWebEnginePage::CopyMediaUrlToClipboard, "Copier l'adresse du média"},
    {QWebEnginePage::ToggleMediaControls, "Afficher les commandes"},
    {QWebEnginePage::ToggleMediaLoop, "Lire en boucle"},
    {QWebEnginePage::ToggleMediaPlayPause, "Lecture / pause"},
    {QWebEnginePage::ToggleMediaMute, "Couper le son"},
    {QWebEnginePage::ExitFullScreen, "Quitter le plein écran"},
};

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

void translatePageActions(QWebEnginePage& page)
{
    for (const auto& [action, text] : frenchTexts)
        page.action(action)->setText(QString::fromUtf8(text));
}

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
