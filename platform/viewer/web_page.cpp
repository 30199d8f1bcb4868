#include "platform/viewer/web_page.h"

#include <QCoreApplication>
#include <QWebEngineHistory>
#include <QWebEngineSettings>
#include <QWebEngineView>

WebPage::WebPage(QObject* parent) : QWebEnginePage(parent)
{
    applyPolicy();
}

WebPage::WebPage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent)
{
    applyPolicy();
}

void WebPage::applyPolicy()
{
    // The engine then refuses a window that a script opens without a click or key behind it.
    settings()->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
}

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    return this;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                       const QString&)
{}

QWidget* WebPage::dialogOwner() const
{
    return QWebEngineView::forPage(this);
}

// The document that asks: the one committed, not one that a load under way may bring.
QUrl WebPage::documentShown() const
{
    const QUrl committed = history()->currentItem().url();
    return committed.isEmpty() ? url() : committed;
}

void WebPage::javaScriptAlert(const QUrl&, const QString& message)
{
    dialogs.alert(dialogOwner(), documentShown(), message);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    // The engine asks its leave-page question through here, in the words it translated.
    const QString leaving = QCoreApplication::translate(
        "QWebEnginePage",
        "Are you sure you want to leave this page? Changes that you made may not be saved.");
    if (message == leaving)
        return dialogs.confirmLeaving(dialogOwner(), documentShown(), message);
    return dialogs.confirm(dialogOwner(), documentShown(), message);
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& message, const QString& defaultValue,
                               QString* result)
{
    const std::optional<QString> answer =
        dialogs.prompt(dialogOwner(), documentShown(), message, defaultValue);
    if (answer && result)
        *result = *answer;
    return answer.has_value();
}
