// The commands that rename, delete, copy and move the file of the current page.
#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
#include "Unit1/path_pieces.h"
#include "platform/base/shown_text.h"
#include "platform/files/file_operation.h"
#include "platform/titles/name_from_title.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/user_dialogs.h"
#include "platform/viewer/web_browser.h"

#include <QAction>

namespace {

FileOperationRequest makeRequest(QWidget* owner, unsigned function, const std::string& source,
                                 const std::string* destination, std::uint16_t flags)
{
    FileOperationRequest request;
    request.owner = owner;
    request.function = function;
    request.from = singleNameList(source);
    if (destination)
        request.to = singleNameList(*destination);
    request.flags = flags;
    return request;
}

constexpr std::uint16_t inPlaceFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
constexpr std::uint16_t elsewhereFlags = FOF_ALLOWUNDO | FOF_RENAMEONCOLLISION;

} // namespace

void TForm1::releasePage()
{
    lastPage = Fichier_Courant;
    Charge_Page(std::string());
    processPendingMessages();
}

void TForm1::rapidement1Click()
{
    rapidement1->setChecked(!rapidement1->isChecked());
    Quitter_Rapide = rapidement1->isChecked();
}

void TForm1::Rename1Click()
{
    renamePage([](const std::string& name) { return name; });
}

void TForm1::renameAfterTitle()
{
    renamePage([this](const std::string& name) {
        return nameFromTitle(services.pageTitle ? services.pageTitle(Fichier_Courant) : QString(),
                             name);
    });
}

void TForm1::renamePage(const std::function<std::string(const std::string& name)>& proposal)
{
    const std::string oldName = fileNameOf(Fichier_Courant);
    if (oldName.empty())
        return;
    const std::string proposed = proposal(oldName);
    const std::optional<QString> answer = services.dialogs->inputQuery(
        this, QStringLiteral("Nouveau nom de ") + shownText(oldName),
        QStringLiteral("Entrer (nom[.ext]) puis confirmer"), shownText(proposed));
    if (!answer)
        return;
    // What the user left as shown keeps its bytes (a name that is not UTF-8 stays as it is).
    std::string newName = editedBytes(proposed, *answer);
    // A name typed without any "." keeps the page's extension.
    if (newName.find('.') == std::string::npos)
        newName += extensionOf(Fichier_Courant);

    releasePage();
    const std::string folder = folderWithDelimiterOf(Fichier_Courant);
    const std::string target = folder + newName;
    const FileOperationRequest request =
        makeRequest(this, FO_RENAME, Fichier_Courant, &target, inPlaceFlags);
    if (services.fileOperation(request) == 0) {
        Fichier_Courant = target;
        setTitle(Fichier_Courant);
        if (Quitter_Rapide)
            askMainWindowToClose();
    }
    Charge_Page(Fichier_Courant);
}

void TForm1::Delete1Click()
{
    if (fileNameOf(Fichier_Courant).empty())
        return;
    const FileOperationRequest request =
        makeRequest(this, FO_DELETE, Fichier_Courant, nullptr, inPlaceFlags);
    releasePage();
    if (services.fileOperation(request) != 0) {
        Charge_Page(Fichier_Courant);
        processPendingMessages();
        return;
    }
    if (Quitter_Rapide)
        askMainWindowToClose();
    Fichier_Courant.clear();
    setTitle(std::string());
    WebBrowser1->showBlankNotice(
        QStringLiteral("« %1 » est dans la corbeille.\nCtrl+Z l'en sort ; Ctrl+Page suiv. ouvre la "
                       "page suivante.")
            .arg(shownText(fileNameOf(lastPage))));
}

void TForm1::Copy1Click()
{
    if (fileNameOf(Fichier_Courant).empty())
        return;
    const std::optional<std::string> target = services.dialogs->saveFile(
        this, QStringLiteral("Copie du fichier ") + shownText(Fichier_Courant),
        Chemin_Copie + fileNameOf(Fichier_Courant));
    if (!target)
        return;
    const FileOperationRequest request =
        makeRequest(this, FO_COPY, Fichier_Courant, &*target, elsewhereFlags);
    if (services.fileOperation(request) == 0)
        Chemin_Copie = folderWithDelimiterOf(*target);
    // A copy that was run closes the program whatever its outcome.
    if (Quitter_Rapide)
        askMainWindowToClose();
}

void TForm1::Move1Click()
{
    if (fileNameOf(Fichier_Courant).empty())
        return;
    const std::optional<std::string> target = services.dialogs->saveFile(
        this, QStringLiteral("D\u00e9placement du fichier ") + shownText(Fichier_Courant),
        Chemin_Deplacement + fileNameOf(Fichier_Courant));
    if (!target)
        return;
    const FileOperationRequest request =
        makeRequest(this, FO_MOVE, Fichier_Courant, &*target, elsewhereFlags);
    releasePage();
    if (services.fileOperation(request) != 0) {
        Charge_Page(Fichier_Courant);
        processPendingMessages();
        return;
    }
    Chemin_Deplacement = folderWithDelimiterOf(*target);
    if (Quitter_Rapide)
        askMainWindowToClose();
    Fichier_Courant.clear();
    setTitle(std::string());
    WebBrowser1->showBlankNotice(
        QStringLiteral("« %1 » est maintenant dans « %2 ».\nCtrl+Z la ramène ; Ctrl+Page suiv. "
                       "ouvre la page suivante.")
            .arg(shownText(fileNameOf(lastPage)), shownText(folderWithoutDelimiterOf(*target))));
}
