#include "platform/viewer/web_page.h"

#include "platform/viewer/file_url.h"

#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QWebEngineView>

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    return this;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                       const QString&)
{}

// The engine's own script dialogs carry English titles; these say the same in French.
QString WebPage::dialogTitle(const QString& sentence) const
{
    return sentence.arg(displayedAddressOf(url()));
}

namespace {

// The page's message is shown as plain text, whatever it holds.
int askWithMessageBox(QWidget* owner, QMessageBox::Icon icon, const QString& title,
                      const QString& message, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, title, message, buttons, owner);
    box.setTextFormat(Qt::PlainText);
    return box.exec();
}

} // namespace

void WebPage::javaScriptAlert(const QUrl&, const QString& message)
{
    askWithMessageBox(QWebEngineView::forPage(this), QMessageBox::Information,
                      dialogTitle(QStringLiteral("Message de la page %1")), message,
                      QMessageBox::Ok);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    return askWithMessageBox(QWebEngineView::forPage(this), QMessageBox::Question,
                             dialogTitle(QStringLiteral("Question de la page %1")), message,
                             QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& message, const QString& defaultValue,
                               QString* result)
{
    QInputDialog dialog(QWebEngineView::forPage(this));
    dialog.setWindowTitle(dialogTitle(QStringLiteral("Saisie pour la page %1")));
    dialog.setLabelText(message);
    if (auto* label = dialog.findChild<QLabel*>())
        label->setTextFormat(Qt::PlainText);
    dialog.setTextValue(defaultValue);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    if (result)
        *result = dialog.textValue();
    return true;
}
