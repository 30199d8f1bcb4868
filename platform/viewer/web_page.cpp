#include "platform/viewer/web_page.h"

QWebEnginePage* WebPage::createWindow(WebWindowType)
{
    return this;
}

void WebPage::javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                       const QString&)
{}
