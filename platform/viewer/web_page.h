#pragma once

#include "platform/viewer/navigation_gate.h"
#include "platform/viewer/script_dialogs.h"

#include <QWebEnginePage>

#include <functional>

// The page policy of the viewer: links that would open a new window open in the same page, a
// script opens none unless the user's click or key is behind it, the main frame goes to a local
// document only as the user asked (see NavigationGate), the page's console messages are not
// logged, its script dialogs are French and can be stopped, and its file chooser says that the page
// asks.
class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

    // Told by the viewer what the user does in the page and what the request rule redirects.
    NavigationGate& navigationGate() { return gate; }
    // Goes where a new window asked for by the page is sent, if the page may go there: links and
    // scripts that would open a window open in this page.
    void goFromNewWindow(const QUrl& url, NavigationType type);
    // How the viewer knows the address a document was loaded at from its URL now.
    void setDocumentOfUrl(std::function<QUrl(const QUrl&)> documentOf)
    {
        documentOfUrl = std::move(documentOf);
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    QStringList chooseFiles(FileSelectionMode mode, const QStringList& oldFiles,
                            const QStringList& acceptedMimeTypes) override;
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;

private:
    QWidget* dialogOwner() const;
    // An address of the page as the document was loaded, without its fragment.
    QUrl asLoaded(const QUrl& address) const;
    // The address of the document shown, as it was loaded.
    QUrl documentAddress() const;

    ScriptDialogs dialogs;
    NavigationGate gate;
    // Marks the messages of the viewer's own script that reports the links the user clicks.
    QString linkClickToken;
    std::function<QUrl(const QUrl&)> documentOfUrl;
};
