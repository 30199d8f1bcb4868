#include "platform/viewer/web_page.h"

#include "platform/viewer/file_url.h"
#include "platform/viewer/link_clicks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QTimer>
#include <QUuid>
#include <QWebEngineHistory>
#include <QWebEngineScriptCollection>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace {

// Stands for a new window that a link or a script asks for. It shows nothing: the address it is
// sent to goes to the page itself, if the page may go there.
class NewWindowRequest : public QWebEnginePage {
public:
    explicit NewWindowRequest(WebPage& opener)
        : QWebEnginePage(opener.profile(), &opener), opener(opener)
    {
        // A window that is never sent anywhere goes too.
        QTimer::singleShot(std::chrono::seconds(30), this, &QObject::deleteLater);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override
    {
        if (isMainFrame && !handed && url.scheme() != QLatin1String("about")) {
            handed = true;
            opener.goFromNewWindow(url, type);
            deleteLater();
        }
        return false;
    }

private:
    WebPage& opener;
    bool handed = false;
};

} // namespace

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
{
    // The engine then refuses a window that a script opens without a click or key behind it.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    linkClickToken = QUuid::createUuid().toString(QUuid::Id128);
    scripts().insert(linkClickScript(linkClickToken));
}

QUrl WebPage::asLoaded(const QUrl& address) const
{
    const QUrl shown = address.adjusted(QUrl::RemoveFragment);
    return documentOfUrl && !shown.isEmpty() ? documentOfUrl(shown) : shown;
}

QUrl WebPage::documentAddress() const
{
    // The page's address stays that of the document shown while a load the page started itself
    // is under way (the history's current entry would already be the one the load goes to).
    return asLoaded(url());
}

bool WebPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
    return !isMainFrame || gate.accept(url, type, documentAddress(), NavigationGate::Clock::now());
}

void WebPage::goFromNewWindow(const QUrl& url, NavigationType type)
{
    // Loaded as the program's own load, so it must pass the rules of the page's own links here: a
    // web page never opens a local file.
    const QUrl shown = documentAddress();
    if (isLocalUrl(url) && !shown.isEmpty() && !isLocalUrl(shown))
        return;
    if (gate.accept(url, type, shown, NavigationGate::Clock::now()))
        setUrl(url);
}

QStringList WebPage::chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                                 const QStringList&)
{
    // Never titled or placed like the window's own Ouvrir: the user must see that the page asks.
    QWidget* owner = dialogOwner();
    const QString home = QDir::homePath();
    switch (mode) {
    case FileSelectOpenMultiple:
        return QFileDialog::getOpenFileNames(owner, QStringLiteral("La page demande des fichiers"),
                                             home);
    case FileSelectUploadFolder: {
        const QString folder = QFileDialog::getExistingDirectory(
            owner, QStringLiteral("La page demande un dossier"), home);
        return folder.isEmpty() ? QStringList() : QStringList{folder};
    }
    case FileSelectSave: {
        const QString name =
            oldFiles.isEmpty() ? QString() : QFileInfo(oldFiles.first()).fileName();
        const QString file = QFileDialog::getSaveFileName(
            owner, QStringLiteral("La page demande où enregistrer un fichier"),
            QDir(home).filePath(name));
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    case FileSelectOpen:
    default: {
        const QString file =
            QFileDialog::getOpenFileName(owner, QStringLiteral("La page demande un fichier"), home);
        return file.isEmpty() ? QStringList() : QStringList{file};
    }
    }
}

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    // Taking the new window in this page would first empty it, also when the page may not go where
    // the window is sent.
    return new NewWindowRequest(*this);
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString& message, int,
                                       const QString&)
{
    if (const std::optional<QUrl> link = clickedLinkIn(message, linkClickToken))
        gate.linkClicked(*link, NavigationGate::Clock::now());
}

QWidget* WebPage::dialogOwner() const
{
    return QWebEngineView::forPage(this);
}

void WebPage::javaScriptAlert(const QUrl&, const QString& message)
{
    dialogs.alert(dialogOwner(), documentAddress(), message);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    // The engine asks its leave-page question through here, in the words it translated.
    const QString leaving = QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
    // The question comes before the leaving load starts, while the history's current entry is
    // still the page that asks; the page's address may already name where the program goes.
    if (message == leaving)
        return dialogs.confirmLeaving(dialogOwner(), asLoaded(history()->currentItem().url()),
                                      message);
    return dialogs.confirm(dialogOwner(), documentAddress(), message);
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& message, const QString& defaultValue,
                               QString* result)
{
    const std::optional<QString> answer =
        dialogs.prompt(dialogOwner(), documentAddress(), message, defaultValue);
    if (answer && result)
        *result = *answer;
    return answer.has_value();
}
