// The commands that act on the viewer without changing any file.
#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
#include "Unit1/path_pieces.h"
#include "platform/viewer/web_browser.h"

#include <QAction>

void TForm1::N1Click()
{
    WebBrowser1->GoBack();
}

void TForm1::N2Click()
{
    WebBrowser1->GoForward();
}

void TForm1::X1Click()
{
    WebBrowser1->Stop();
}

void TForm1::WebBrowser1CommandStateChange(int Command, short Enable)
{
    const bool enabled = Enable != 0;
    switch (Command) {
    case viewerCommand::update:
        X1->setEnabled(enabled);
        break;
    case viewerCommand::forward:
        N2->setEnabled(enabled);
        break;
    case viewerCommand::back:
        N1->setEnabled(enabled);
        break;
    default:
        break;
    }
}

void TForm1::Actualiser1Click()
{
    if (Fichier_Courant.empty())
        return;
    Charge_Page(Fichier_Courant);
}

void TForm1::Trouver1Click()
{
    Recherche_Page(*WebBrowser1);
}

void TForm1::Recherche_Page(WebBrowser& viewer)
{
    if (!viewer.Document())
        return;
    // Only the first look at the document reports an error; the find itself fails silently.
    try {
        if (ViewerDocument* document = viewer.Document())
            document->showFindDialog();
    } catch (...) {
    }
}

void TForm1::Imprimer1Click()
{
    if (fileNameOf(Fichier_Courant).empty())
        return;
    WebBrowser1->PrintWithoutPrompt();
}

void TForm1::Source1Click()
{
    if (Fichier_Courant.empty())
        return;
    // A missing editor is not reported.
    if (services.launchEditor)
        services.launchEditor(Fichier_Courant);
}
