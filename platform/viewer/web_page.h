#pragma once

#include <QWebEnginePage>

// The page policy of the viewer: links that would open a new window open in the same page, and the
// page's console messages are not logged.
class WebPage : public QWebEnginePage {
    Q_OBJECT
public:
    using QWebEnginePage::QWebEnginePage;

protected:
    QWebEnginePage* createWindow(WebWindowType type) override;
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel level, const QString& message,
                                  int lineNumber, const QString& sourceId) override;
};
