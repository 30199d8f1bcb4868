#include "platform/viewer/web_page.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QWebEngineView>

namespace {
const QString pageCaption = QStringLiteral("Message de la page");
} // namespace

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    return this;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                       const QString&)
{}

void WebPage::javaScriptAlert(const QUrl&, const QString& message)
{
    QMessageBox::information(QWebEngineView::forPage(this), pageCaption, message);
}

bool WebPage::javaScriptConfirm(const QUrl&, const QString& message)
{
    return QMessageBox::question(QWebEngineView::forPage(this), pageCaption, message,
                                 QMessageBox::Ok | QMessageBox::Cancel) == QMessageBox::Ok;
}

bool WebPage::javaScriptPrompt(const QUrl&, const QString& message, const QString& defaultValue,
                               QString* result)
{
    bool accepted = false;
    const QString answer =
        QInputDialog::getText(QWebEngineView::forPage(this), pageCaption, message,
                              QLineEdit::Normal, defaultValue, &accepted);
    if (accepted && result)
        *result = answer;
    return accepted;
}
