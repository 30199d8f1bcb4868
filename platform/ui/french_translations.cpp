#include "platform/ui/french_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstring>

namespace {

struct FrenchText {
    const char* context;
    const char* source;
    const char* french;
};

// The web engine's own texts (the page's context menu, its actions, the leave-page question):
// Debian ships no French catalogue for them.
constexpr FrenchText webEngineTexts[] = {
    {"RenderViewContextMenuQt", "Back", "Page précédente"},
    {"RenderViewContextMenuQt", "Forward", "Page suivante"},
    {"RenderViewContextMenuQt", "Reload", "Actualiser"},
    {"RenderViewContextMenuQt", "Cut", "Couper"},
    {"RenderViewContextMenuQt", "Copy", "Copier"},
    {"RenderViewContextMenuQt", "Paste", "Coller"},
    {"RenderViewContextMenuQt", "Undo", "Annuler"},
    {"RenderViewContextMenuQt", "Redo", "Rétablir"},
    {"RenderViewContextMenuQt", "Select all", "Tout sélectionner"},
    {"RenderViewContextMenuQt", "Paste and match style", "Coller en adaptant le style"},
    {"RenderViewContextMenuQt", "Open link in new window",
     "Ouvrir le lien dans une nouvelle fenêtre"},
    {"RenderViewContextMenuQt", "Open link in new tab", "Ouvrir le lien dans un nouvel onglet"},
    {"RenderViewContextMenuQt", "Copy link address", "Copier l'adresse du lien"},
    {"RenderViewContextMenuQt", "Save link", "Enregistrer la cible du lien"},
    {"RenderViewContextMenuQt", "Copy image", "Copier l'image"},
    {"RenderViewContextMenuQt", "Copy image address", "Copier l'adresse de l'image"},
    {"RenderViewContextMenuQt", "Save image", "Enregistrer l'image"},
    {"RenderViewContextMenuQt", "Copy media address", "Copier l'adresse du média"},
    {"RenderViewContextMenuQt", "Show controls", "Afficher les commandes"},
    {"RenderViewContextMenuQt", "Loop", "Lire en boucle"},
    {"RenderViewContextMenuQt", "Save media", "Enregistrer le média"},
    {"RenderViewContextMenuQt", "Inspect", "Inspecter"},
    {"RenderViewContextMenuQt", "Exit full screen", "Quitter le plein écran"},
    {"RenderViewContextMenuQt", "Save page", "Enregistrer la page"},
    {"RenderViewContextMenuQt", "View page source", "Afficher le code source de la page"},
    {"QWebEnginePage", "Stop", "Arrêter"},
    {"QWebEnginePage", "Reload and Bypass Cache", "Actualiser sans le cache"},
    {"QWebEnginePage", "Open link in this window", "Ouvrir le lien dans cette fenêtre"},
    {"QWebEnginePage", "Open link in new background tab",
     "Ouvrir le lien dans un nouvel onglet en arrière-plan"},
    {"QWebEnginePage", "Toggle Play/Pause", "Lecture / pause"},
    {"QWebEnginePage", "Toggle Mute", "Couper / rétablir le son"},
    {"QWebEnginePage", "Close Page", "Fermer la page"},
    {"QWebEnginePage", "Unselect", "Désélectionner"},
    {"QWebEnginePage", "&Bold", "&Gras"},
    {"QWebEnginePage", "&Italic", "&Italique"},
    {"QWebEnginePage", "&Underline", "&Souligné"},
    {"QWebEnginePage", "&Strikethrough", "&Barré"},
    {"QWebEnginePage", "Align &Left", "Aligner à &gauche"},
    {"QWebEnginePage", "Align &Center", "&Centrer"},
    {"QWebEnginePage", "Align &Right", "Aligner à &droite"},
    {"QWebEnginePage", "Align &Justified", "&Justifier"},
    {"QWebEnginePage", "&Indent", "&Augmenter le retrait"},
    {"QWebEnginePage", "&Outdent", "&Diminuer le retrait"},
    {"QWebEnginePage", "Insert &Ordered List", "Insérer une liste &numérotée"},
    {"QWebEnginePage", "Insert &Unordered List", "Insérer une liste à &puces"},
    {"QWebEnginePage",
     "Are you sure you want to leave this page? Changes that you made may not be saved.",
     "Voulez-vous vraiment quitter cette page ? Les modifications que vous avez faites "
     "risquent de ne pas être enregistrées."},
};

class WebEngineFrenchTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*, int) const override
    {
        if (!context || !sourceText)
            return {};
        for (const FrenchText& text : webEngineTexts)
            if (std::strcmp(text.context, context) == 0 &&
                std::strcmp(text.source, sourceText) == 0)
                return QString::fromUtf8(text.french);
        return {};
    }
};

} // namespace

void installFrenchTranslations(QCoreApplication& app)
{
    // Installed first, so that a catalogue of the web engine's own, when there is one, wins.
    QCoreApplication::installTranslator(new WebEngineFrenchTexts(&app));
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_fr", "qtwebengine_fr"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
