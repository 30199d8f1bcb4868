#include "Unit1/TForm1.h"
#include "Unit1/Unit1_state.h"
#include "platform/application_title.h"
#include "platform/error.h"
#include "platform/fileops/file_operation.h"
#include "platform/fileops/qt_file_operation_dialogs.h"
#include "platform/text_editor.h"
#include "platform/ui/error_guard.h"
#include "platform/ui/french_translations.h"
#include "platform/ui/qt_user_dialogs.h"
#include "platform/viewer/web_engine_browser.h"
#include "platform/viewer/web_engine_setup.h"
#include "settings/settings_path.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>
#include <QMessageBox>
#include <QScreen>

#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace {

QString className(const std::exception& error)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(error).name());
}

TForm1* createMainWindow(TForm1Services services)
{
    return new TForm1(std::move(services));
}

// An error that escapes the start ends the program with this box.
int startFailed(const std::exception& error, const std::string& exePath)
{
    const QString module = QString::fromStdString(exePath.substr(exePath.rfind('/') + 1));
    const auto address = reinterpret_cast<quintptr>(&createMainWindow);
    const QString text =
        QStringLiteral("Exception %1 dans le module %2 \u00e0 %3.\n%4")
            .arg(className(error), module,
                 QStringLiteral("%1").arg(address, 8, 16, QLatin1Char('0')).toUpper(),
                 errorBoxText(QString::fromUtf8(error.what())));
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erreur d'application"), text,
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return 1;
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

    TForm1Services services;
    services.makeViewer = [](QWidget* parent) { return new WebEngineBrowser(parent); };
    services.dialogs = &dialogs;
    services.fileOperation = [](const FileOperationRequest& request) {
        QtFileOperationDialogs fileDialogs(request.owner);
        return runFileOperation(request, fileDialogs);
    };
    services.launchEditor = startTextEditor;
    services.executablePath = exePath;
    for (int i = 1; i < argc; ++i)
        services.arguments.emplace_back(argv[i]);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    services.screen = {screen.width(), screen.height()};

    std::unique_ptr<TForm1> window;
    try {
        window.reset(createMainWindow(std::move(services)));
    } catch (const std::exception& error) {
        return startFailed(error, exePath);
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
