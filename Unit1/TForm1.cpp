#include "Unit1/TForm1.h"

#include "Unit1/Unit1_state.h"
#include "Unit1/page_path.h"
#include "platform/base/error.h"
#include "platform/ui/error_guard.h"
#include "platform/ui/event_loop.h"
#include "platform/ui/screen_size.h"
#include "platform/ui/wrapping_menu_bar.h"
#include "platform/viewer/web_browser.h"
#include "settings/TIniFile.h"
#include "settings/settings_path.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QScreen>

#include <algorithm>

namespace {

const QString banner =
    QStringLiteral("Velmo 2.3 \u2014 vos pages enregistr\u00e9es, bien rang\u00e9es");

// The window's bounds as the settings file sees them: the frame's position and the window's size.
class FormGeometry : public WindowGeometry {
public:
    explicit FormGeometry(QWidget& window) : window(window) {}
    int left() const override { return window.x(); }
    int top() const override { return window.y(); }
    int width() const override { return window.width(); }
    int height() const override { return window.height(); }
    void setLeft(int value) override { window.move(value, window.y()); }
    void setTop(int value) override { window.move(window.x(), value); }
    void setWidth(int value) override { window.resize(value, window.height()); }
    void setHeight(int value) override { window.resize(window.width(), value); }
    bool isMaximized() const override { return window.windowState() & Qt::WindowMaximized; }

private:
    QWidget& window;
};

} // namespace

TForm1::TForm1(TForm1Services givenServices) : services(std::move(givenServices))
{
    Form1 = this;
    setWindowTitle(banner);
    WebBrowser1 = services.makeViewer(this);
    setCentralWidget(WebBrowser1);
    buildMenu();
    buildKeys();
    connect(WebBrowser1, &WebBrowser::CommandStateChange, this, [this](int command, short enable) {
        guarded([&] { WebBrowser1CommandStateChange(command, enable); });
    });
    connect(WebBrowser1, &WebBrowser::DocumentComplete, this,
            [this](const std::string& url) { guarded([&] { WebBrowser1DocumentComplete(url); }); });
    connect(WebBrowser1, &WebBrowser::failedLater, this, [this](const QString& message) {
        guarded([&] { throw VelmoError(message.toStdString()); });
    });
    guarded([this] { FormCreate(); });
}

TForm1::~TForm1()
{
    guarded([this] { FormDestroy(); });
    // The viewer goes while the window is whole: a print it waits for may still report to it.
    delete WebBrowser1;
    WebBrowser1 = nullptr;
    Form1 = nullptr;
}

QAction* TForm1::addCommand(const QString& caption, void (TForm1::*handler)())
{
    QAction* action = MainMenu1->addAction(caption);
    connect(action, &QAction::triggered, this,
            [this, handler] { guarded([&] { (this->*handler)(); }); });
    return action;
}

void TForm1::buildMenu()
{
    // The bar takes as many rows as the window's width needs, so that every entry stays in sight.
    MainMenu1 = new WrappingMenuBar(this);
    setMenuWidget(MainMenu1);
    Load1 = addCommand(QStringLiteral("&Ouvrir"), &TForm1::Load1Click);
    N1 = addCommand(QStringLiteral("<<<"), &TForm1::N1Click);
    N2 = addCommand(QStringLiteral(">>>"), &TForm1::N2Click);
    X1 = addCommand(QStringLiteral("><"), &TForm1::X1Click);
    Rename1 = addCommand(QStringLiteral("Re&Nommer"), &TForm1::Rename1Click);
    Copy1 = addCommand(QStringLiteral("&Copier"), &TForm1::Copy1Click);
    Move1 = addCommand(QStringLiteral("&D\u00e9placer"), &TForm1::Move1Click);
    Trouver1 = addCommand(QStringLiteral("&Rechercher"), &TForm1::Trouver1Click);
    Imprimer1 = addCommand(QStringLiteral("&Imprimer"), &TForm1::Imprimer1Click);
    Source1 = addCommand(QStringLiteral("So&urce"), &TForm1::Source1Click);
    Actualiser1 = addCommand(QStringLiteral("&Actualiser"), &TForm1::Actualiser1Click);
    Delete1 = addCommand(QStringLiteral("&Supprimer (sans confirmation)"), &TForm1::Delete1Click);
    Quitterrapidement1 = MainMenu1->addMenu(QStringLiteral("O&ption"));
    rapidement1 = Quitterrapidement1->addAction(QStringLiteral("Quitter rapidement"));
    rapidement1->setCheckable(true);
    connect(rapidement1, &QAction::triggered, this, [this] {
        // The menu has already flipped the check mark; the handler flips it itself.
        rapidement1->setChecked(!rapidement1->isChecked());
        guarded([this] { rapidement1Click(); });
    });
    Quitter1 = addCommand(QStringLiteral("&Quitter"), &TForm1::Quitter1Click);
    for (QAction* viewerCommand : {N1, N2, X1})
        viewerCommand->setEnabled(false);
}

void TForm1::guarded(const std::function<void()>& handler)
{
    runGuarded(*services.dialogs, this, handler);
}

void TForm1::FormCreate()
{
    Lit_Ini();
    if (Plein_Ecran)
        setWindowState(windowState() | Qt::WindowMaximized);
    rapidement1->setChecked(Quitter_Rapide);
    Fichier_Courant.clear();
    setAcceptDrops(true);
    // An empty argument ("" on a command line) is no argument.
    const auto& arguments = services.arguments;
    const auto first = std::find_if(arguments.begin(), arguments.end(),
                                    [](const std::string& argument) { return !argument.empty(); });
    if (first != arguments.end()) {
        Fichier_Courant = pagePathFor(*first);
        setTitle(Fichier_Courant);
        openNamedPage(*first);
    }
}

void TForm1::FormDestroy()
{
    Sauve_Ini();
    setAcceptDrops(false);
}

void TForm1::Lit_Ini()
{
    const SettingsLocation location = settingsFiles();
    const TIniFile ini(location.readPath);
    FormGeometry geometry(*this);
    const std::string startFolder =
        defaultStartFolder(location, settingsFilePath(services.executablePath),
                           executableFolder(services.executablePath), homeFolder());
    const SettingsValues values = readSettings(ini, startFolder, services.screen, geometry);
    if (values.Plein_Ecran) {
        // Un-maximized, the window comes back to a usable size, its whole menu on two rows at most.
        const int width = MainMenu1->narrowestWidthFor(2);
        const QSize least(width, 2 * MainMenu1->heightForWidth(width));
        setGeometry(usualPlacement(screen()->availableGeometry(), least));
    }
    Chemin_Chargement = values.Chemin_Chargement;
    Chemin_Copie = values.Chemin_Copie;
    Chemin_Deplacement = values.Chemin_Deplacement;
    Plein_Ecran = values.Plein_Ecran;
    Quitter_Rapide = values.Quitter_Rapide;
}

void TForm1::Sauve_Ini()
{
    const SettingsLocation location = settingsFiles();
    prepareForWriting(location);
    TIniFile ini(location.writePath);
    const FormGeometry geometry(*this);
    SettingsValues values{Chemin_Chargement, Chemin_Copie, Chemin_Deplacement, Plein_Ecran,
                          Quitter_Rapide};
    writeSettings(ini, values, geometry);
    Plein_Ecran = values.Plein_Ecran;
}

SettingsLocation TForm1::settingsFiles() const
{
    return settingsLocation(settingsFilePath(services.executablePath),
                            services.perUserSettingsPath);
}

void TForm1::Quitter1Click()
{
    askMainWindowToClose();
}

void TForm1::askMainWindowToClose()
{
    askToClose(this);
}

void TForm1::setTitle(const std::string& title)
{
    // Qt takes "[*]" for the place of its modified mark; doubled, it shows as itself.
    setWindowTitle(QFile::decodeName(QByteArray::fromStdString(title))
                       .replace(QStringLiteral("[*]"), QStringLiteral("[*][*]")));
}
