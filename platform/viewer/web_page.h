#pragma once

#include "platform/viewer/script_dialogs.h"

#include <QWebEnginePage>

// The page policy of the viewer: links that would open a new window open in the same page, a
// script opens none unless the user's click or key is behind it, the page's console messages are
// not logged, and the page's script dialogs are French and can be stopped.
class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    explicit WebPage(QObject* parent = nullptr);
    explicit WebPage(QWebEngineProfile* profile, QObject* parent = nullptr);

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
    void javaScriptAlert(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& securityOrigin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& securityOrigin, const QString& message,
                          const QString& defaultValue, QString* result) override;

private:
    void applyPolicy();
    QWidget* dialogOwner() const;
    QUrl documentShown() const;

    ScriptDialogs dialogs;
};
