#pragma once

#include "platform/viewer/web_browser.h"

#include <QPointer>

#include <memory>

class FindDialog;
class LocalFileGuard;
class PagePrinter;
class QWebEngineProfile;
class QWebEngineView;
class WebPage;

// The viewer over Qt WebEngine: a private off-the-record profile guarded against local file reads,
// one page, one view filling the widget.
class WebEngineBrowser : public WebBrowser {
    Q_OBJECT
public:
    explicit WebEngineBrowser(QWidget* parent = nullptr);
    ~WebEngineBrowser() override;

    void Navigate(const std::string& address) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void PrintWithoutPrompt() override;
    ViewerDocument* Document() override;

    QWebEngineView* view() const { return webView; }

private:
    class ShownDocument;

    void onLoadFinished();
    void showNotice(const std::string& path, const QString& text);
    void showFindDialog();

    std::unique_ptr<LocalFileGuard> guard;
    QWebEngineProfile* profile = nullptr;
    WebPage* page = nullptr;
    QWebEngineView* webView = nullptr;
    PagePrinter* printer = nullptr;
    QPointer<FindDialog> findDialog;
    std::unique_ptr<ShownDocument> document;
    bool documentShown = false;
    // A path shown through a notice page (a FIFO, a device) is reported as itself once it
    // completes.
    bool showingNotice = false;
    std::string noticePath;
};
