#include "Unit1/TForm1.h"
#include "platform/desktop/text_editor.h"
#include "platform/files/file_history.h"
#include "platform/files/file_operation.h"
#include "platform/files/folder_pages.h"
#include "platform/files/qt_file_operation_dialogs.h"
#include "platform/titles/page_titles.h"
#include "platform/ui/application_title.h"
#include "platform/ui/french_translations.h"
#include "platform/ui/qt_user_dialogs.h"
#include "platform/ui/screen_size.h"
#include "platform/ui/start_failure.h"
#include "platform/viewer/web_engine_browser.h"
#include "platform/viewer/web_engine_setup.h"
#include "settings/settings_location.h"
#include "settings/settings_path.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include <memory>

namespace {

TForm1* createMainWindow(TForm1Services services)
{
    return new TForm1(std::move(services));
}

} // namespace

int main(int argc, char* argv[])
{
    prepareWebEngineProcess();
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("velmo"));
    QApplication::setApplicationVersion(QStringLiteral(VELMO_VERSION));
    // Lets the desktop match the windows with the installed entry (and so its icon).
    QGuiApplication::setDesktopFileName(QStringLiteral("velmo"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/velmo/velmo-32.png")));
    installFrenchTranslations(app);

    const std::string exePath = executablePath();
    QtUserDialogs dialogs(applicationTitleFor(exePath));
    FileHistory history;

    TForm1Services services;
    services.makeViewer = [](QWidget* parent) { return new WebEngineBrowser(parent); };
    services.dialogs = &dialogs;
    services.fileOperation = [&history](const FileOperationRequest& request) {
        QtFileOperationDialogs fileDialogs(request.owner);
        return history.run(request, fileDialogs);
    };
    services.undoFileCommand = [&history](QWidget* owner) {
        QtFileOperationDialogs fileDialogs(owner);
        return history.undoLast(fileDialogs);
    };
    services.neighbourPage = neighbourPage;
    services.folderPages = pagesOfFolder;
    services.pageTitle = cachedPageTitle;
    services.launchEditor = startTextEditor;
    services.executablePath = exePath;
    services.perUserSettingsPath = perUserSettingsPath();
    for (int i = 1; i < argc; ++i)
        services.arguments.emplace_back(argv[i]);
    std::unique_ptr<TForm1> window;
    try {
        const QSize screen = sizeOfScreen(QGuiApplication::primaryScreen());
        services.screen = {screen.width(), screen.height()};
        window.reset(createMainWindow(std::move(services)));
    } catch (const std::exception& error) {
        // An error that escapes the start ends the program.
        showStartFailure(
            startFailureText(error, exePath, reinterpret_cast<const void*>(&createMainWindow)));
        return 1;
    }
    if (window->windowState() & Qt::WindowMaximized)
        window->showMaximized();
    else
        window->show();
    const int result = QApplication::exec();
    // The window, and the viewer in it, go before the web engine and the application object.
    window.reset();
    return result;
}
