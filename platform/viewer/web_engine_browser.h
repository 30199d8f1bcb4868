#pragma once

#include "platform/viewer/web_browser.h"

#include <QPointer>

#include <memory>

class DocumentHosts;
class FindDialog;
class IsolatingInterceptor;
class LoopbackFileServer;
class PagePrinter;
class PageSchemeHandler;
class QLabel;
class QTimer;
class QWebEngineLoadingInfo;
class QWebEngineProfile;
class QWebEngineView;
class WebPage;

// The viewer over Qt WebEngine: a private off-the-record profile in which every local file is an
// origin of its own (see page_isolation.h), one page, one view filling the widget.
class WebEngineBrowser : public WebBrowser {
    Q_OBJECT
public:
    explicit WebEngineBrowser(QWidget* parent = nullptr);
    ~WebEngineBrowser() override;

    void Navigate(const std::string& address) override;
    void showFolderOfMissingFile(const std::string& folder, const std::string& missing) override;
    void GoBack() override;
    void GoForward() override;
    void Stop() override;
    void PrintWithoutPrompt() override;
    ViewerDocument* Document() override;
    bool isTypingInPage() const override;
    void showBlankNotice(const QString& text) override;

    QWebEngineView* view() const { return webView; }

protected:
    // Notes the user's clicks and keys in the page, which alone let it follow a link to a local
    // file.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    class ShownDocument;

    // The parts of the viewer, made once by the constructor.
    void makePage();
    void makeView();
    void returnFocusAfterEngineSwaps();
    // Turns the states of the page's back, forward and stop actions into CommandStateChange.
    void reportCommandStates();

    // The URL the engine loads for an address: a local path under a new document host, a URL, or
    // "" for a blank page.
    QUrl urlForAddress(const std::string& address, const std::string& notice = {});
    void onLoadingChanged(const QWebEngineLoadingInfo& loading);
    // The address of a document shown: for a local one, the path its host was issued for.
    std::string addressShown(const QUrl& url) const;
    void showNotice(const std::string& path, const QString& text);
    void hideBlankNotice();
    void showFindDialog();

    // What the profile uses lives longer than the profile.
    std::shared_ptr<DocumentHosts> documentHosts;
    std::unique_ptr<LoopbackFileServer> fileServer;
    std::unique_ptr<IsolatingInterceptor> interceptor;
    std::unique_ptr<PageSchemeHandler> schemeHandler;
    QWebEngineProfile* profile = nullptr;
    WebPage* page = nullptr;
    QWebEngineView* webView = nullptr;
    PagePrinter* printer = nullptr;
    QPointer<FindDialog> findDialog;
    // The word over the blank view after a command; hidden while a page is shown.
    QLabel* blankNotice = nullptr;
    // Gives the keyboard focus back to the page once the engine has swapped its drawing widget.
    QTimer* focusReturn = nullptr;
    int focusReturnsLeft = 0;
    std::unique_ptr<ShownDocument> document;
    bool documentShown = false;
    // A path shown through a notice page (a FIFO, a device) is reported as itself once it
    // completes.
    bool showingNotice = false;
    std::string noticePath;
};
