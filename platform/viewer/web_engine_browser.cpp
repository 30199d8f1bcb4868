#include "platform/viewer/web_engine_browser.h"

#include "platform/base/error.h"
#include "platform/base/page_names.h"
#include "platform/viewer/document_hosts.h"
#include "platform/viewer/file_url.h"
#include "platform/viewer/find_dialog.h"
#include "platform/viewer/folder_listing.h"
#include "platform/viewer/loopback_file_server.h"
#include "platform/viewer/navigation_gate.h"
#include "platform/viewer/page_context_menu.h"
#include "platform/viewer/page_isolation.h"
#include "platform/viewer/page_printer.h"
#include "platform/viewer/page_scheme_handler.h"
#include "platform/viewer/web_page.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <chrono>
#include <sys/stat.h>
#include <utility>

class WebEngineBrowser::ShownDocument : public ViewerDocument {
public:
    explicit ShownDocument(WebEngineBrowser& browser) : browser(browser) {}
    void showFindDialog() override { browser.showFindDialog(); }

private:
    WebEngineBrowser& browser;
};

WebEngineBrowser::WebEngineBrowser(QWidget* parent)
    : WebBrowser(parent), documentHosts(std::make_shared<DocumentHosts>()),
      fileServer(std::make_unique<LoopbackFileServer>(
          [hosts = documentHosts](const std::string& host) { return hosts->rootOf(host); })),
      interceptor(std::make_unique<IsolatingInterceptor>(
          std::make_unique<PageIsolation>(
              *documentHosts,
              FileServerAddress{fileServer->port(), fileServer->secret(), fileServer->key()}),
          [this](const QUrl& target) {
              if (page)
                  page->navigationGate().redirectedTo(target);
          })),
      schemeHandler(std::make_unique<PageSchemeHandler>(*documentHosts)),
      document(std::make_unique<ShownDocument>(*this))
{
    makePage();
    makeView();
    returnFocusAfterEngineSwaps();
    reportCommandStates();
    connect(page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowser::onLoadingChanged);
    qApp->installEventFilter(this);
    // A page too big for the memory, or one that crashes the engine, leaves a French notice in
    // place of a blank view; the file stays the current page.
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                // The notice names no document, whatever the page's script made of its address.
                showNotice({}, QStringLiteral("L'affichage de la page s'est interrompu (elle est "
                                              "peut-être trop grande pour la mémoire)."));
            });

    // The engine makes its drawing surface with the page's engine side, which otherwise waits for
    // the first page; making it now, before the window is shown, keeps that from remaking the shown
    // window (which would drop its maximized state). Running nothing makes it, with no page loaded:
    // the first page then goes to the same engine process.
    page->runJavaScript(QString(), QWebEngineScript::ApplicationWorld);

    printer = new PagePrinter(this);
    connect(printer, &PagePrinter::failed, this, &WebBrowser::failedLater);
}

void WebEngineBrowser::makePage()
{
    // Off the record: nothing of the pages read is kept on disk.
    profile = new QWebEngineProfile(this);
    profile->setUrlRequestInterceptor(interceptor.get());
    profile->installUrlSchemeHandler(localPageScheme, schemeHandler.get());
    page = new WebPage(profile, this);
    page->setDocumentOfUrl([this](const QUrl& url) {
        if (url.scheme() != QLatin1String(localPageScheme))
            return url;
        const std::string host = url.host(QUrl::FullyEncoded).toStdString();
        const std::optional<std::string> path = documentHosts->pathOf(host);
        return path ? pageUrlFor(host, *path) : QUrl();
    });
    // A file document (a web archive) is no more than an origin of its own either.
    page->settings()->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
}

void WebEngineBrowser::makeView()
{
    webView = new QWebEngineView(this);
    webView->setPage(page);
    webView->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(webView, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu* menu = pageContextMenu(*webView);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        if (menu->isEmpty())
            delete menu;
        else
            menu->popup(webView->mapToGlobal(at));
    });
    // Drops belong to the main window, which opens the dropped file as the current page.
    webView->setAcceptDrops(false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(webView);
    setFocusProxy(webView);
}

void WebEngineBrowser::returnFocusAfterEngineSwaps()
{
    // Going to a page of another site (from a local page to the web, or back) moves it to another
    // engine process, and the engine then swaps the widget that draws it: the keyboard focus, lost
    // with the old widget, goes to the new one once it shows, if the user has not gone elsewhere
    // meanwhile.
    constexpr auto lookEvery = std::chrono::milliseconds(50);
    constexpr int looksAtMost = 40; // two seconds
    focusReturn = new QTimer(this);
    focusReturn->setInterval(lookEvery);
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget* now) {
        focusReturnsLeft = 0;
        if (!now && old && webView && webView->isAncestorOf(old)) {
            focusReturnsLeft = looksAtMost;
            focusReturn->start();
        }
    });
    connect(focusReturn, &QTimer::timeout, this, [this] {
        QWidget* drawing = webView ? webView->focusProxy() : nullptr;
        if (focusReturnsLeft <= 0 || QApplication::focusWidget() || !window()->isActiveWindow()) {
            focusReturn->stop();
        } else if (drawing && drawing->isVisible()) {
            focusReturn->stop();
            drawing->setFocus(Qt::OtherFocusReason);
        } else {
            --focusReturnsLeft;
        }
    });
}

void WebEngineBrowser::reportCommandStates()
{
    const auto report = [this](QWebEnginePage::WebAction action, int command) {
        QAction* pageAction = page->action(action);
        connect(pageAction, &QAction::changed, this, [this, pageAction, command] {
            emit CommandStateChange(command,
                                    pageAction->isEnabled() ? commandEnabled : commandDisabled);
        });
    };
    report(QWebEnginePage::Back, viewerCommand::back);
    report(QWebEnginePage::Forward, viewerCommand::forward);
    report(QWebEnginePage::Stop, viewerCommand::update);
    // The page's context menu offers the same steps.
    for (const auto step : {QWebEnginePage::Back, QWebEnginePage::Forward})
        connect(page->action(step), &QAction::triggered, this, [this] {
            // The engine may already have begun the step: any entry next to it counts.
            QWebEngineHistory* history = page->history();
            page->navigationGate().historyStepAsked({history->currentItem().url(),
                                                     history->backItem().url(),
                                                     history->forwardItem().url()},
                                                    NavigationGate::Clock::now());
        });
}

WebEngineBrowser::~WebEngineBrowser()
{
    qApp->removeEventFilter(this);
    // The engine must be done with a page being printed before the page goes, and wants the view
    // and the page gone before their profile.
    printer->finishRendering();
    delete findDialog;
    delete webView;
    webView = nullptr;
    delete page;
    page = nullptr;
    delete profile;
    profile = nullptr;
}

void WebEngineBrowser::showBlankNotice(const QString& text)
{
    if (!blankNotice) {
        blankNotice = new QLabel(this);
        blankNotice->setTextFormat(Qt::PlainText);
        blankNotice->setWordWrap(true);
        blankNotice->setAlignment(Qt::AlignCenter);
        blankNotice->setMargin(24);
        blankNotice->setBackgroundRole(QPalette::Base);
        blankNotice->setForegroundRole(QPalette::Text);
        blankNotice->setAutoFillBackground(true);
        // Any page that comes, also one the engine goes to by itself, takes the word away.
        connect(page, &QWebEnginePage::urlChanged, blankNotice, [this](const QUrl& url) {
            if (url.scheme() != QLatin1String("about"))
                hideBlankNotice();
        });
    }
    blankNotice->setText(text);
    blankNotice->setGeometry(rect());
    blankNotice->show();
    blankNotice->raise();
}

void WebEngineBrowser::hideBlankNotice()
{
    if (blankNotice)
        blankNotice->hide();
}

void WebEngineBrowser::resizeEvent(QResizeEvent* event)
{
    WebBrowser::resizeEvent(event);
    if (blankNotice)
        blankNotice->setGeometry(rect());
}

void WebEngineBrowser::Navigate(const std::string& address)
{
    hideBlankNotice();
    showingNotice = false;
    noticePath.clear();
    if (!address.empty() && address.front() == '/') {
        struct stat info;
        if (::stat(address.c_str(), &info) == 0 && !S_ISREG(info.st_mode) &&
            !S_ISDIR(info.st_mode)) {
            // Reading a FIFO or a device could block or never end: say what it is instead.
            showNotice(address, notOrdinaryFileNotice(address));
            return;
        }
    }
    page->setUrl(urlForAddress(address));
}

void WebEngineBrowser::showFolderOfMissingFile(const std::string& folder,
                                               const std::string& missing)
{
    showingNotice = false;
    noticePath.clear();
    const QString notice = QStringLiteral("Le fichier « %1 » est introuvable ; voici son dossier.")
                               .arg(QFile::decodeName(QByteArray::fromStdString(missing)));
    page->setUrl(urlForAddress(folder, notice.toStdString()));
}

QUrl WebEngineBrowser::urlForAddress(const std::string& address, const std::string& notice)
{
    if (address.empty())
        return QUrl(QStringLiteral("about:blank"));
    if (address.front() != '/')
        return QUrl(QString::fromStdString(address));
    if (isWebArchive(address))
        return fileUrlFor(address);
    return pageUrlFor(documentHosts->issue(address, folderTreeOf(address), false, notice), address);
}

void WebEngineBrowser::showNotice(const std::string& path, const QString& text)
{
    showingNotice = true;
    noticePath = path;
    page->setHtml(QString::fromUtf8(noticePage(text)));
}

void WebEngineBrowser::GoBack()
{
    hideBlankNotice();
    page->navigationGate().historyStepAsked({page->history()->backItem().url()},
                                            NavigationGate::Clock::now());
    page->triggerAction(QWebEnginePage::Back);
}

void WebEngineBrowser::GoForward()
{
    hideBlankNotice();
    page->navigationGate().historyStepAsked({page->history()->forwardItem().url()},
                                            NavigationGate::Clock::now());
    page->triggerAction(QWebEnginePage::Forward);
}

void WebEngineBrowser::Stop()
{
    page->triggerAction(QWebEnginePage::Stop);
}

void WebEngineBrowser::PrintWithoutPrompt()
{
    if (!printer->print(page))
        throw VelmoError(
            QStringLiteral("Une impression de la page est déjà en cours").toStdString());
}

void WebEngineBrowser::showFindDialog()
{
    if (!findDialog)
        findDialog = new FindDialog(page, window());
    findDialog->showFind();
}

bool WebEngineBrowser::isTypingInPage() const
{
    // The engine's own rule for the keys it keeps: a field that takes text, a password one too.
    const QWidget* drawing = webView ? webView->focusProxy() : nullptr;
    return drawing && drawing->hasFocus() &&
           (drawing->inputMethodQuery(Qt::ImEnabled).toBool() ||
            (drawing->inputMethodQuery(Qt::ImHints).toInt() & Qt::ImhHiddenText));
}

ViewerDocument* WebEngineBrowser::Document()
{
    return documentShown ? document.get() : nullptr;
}

bool WebEngineBrowser::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonRelease && type != QEvent::KeyPress)
        return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || !webView || !webView->isAncestorOf(widget))
        return false;
    NavigationGate& gate = page->navigationGate();
    const auto now = NavigationGate::Clock::now();
    if (type == QEvent::MouseButtonRelease) {
        const Qt::MouseButton button = static_cast<QMouseEvent*>(event)->button();
        if (button == Qt::LeftButton || button == Qt::MiddleButton)
            gate.userActivated(now);
        else if (button == Qt::BackButton)
            gate.historyStepAsked({page->history()->backItem().url()}, now);
        else if (button == Qt::ForwardButton)
            gate.historyStepAsked({page->history()->forwardItem().url()}, now);
    } else {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            gate.userActivated(now);
    }
    return false;
}

void WebEngineBrowser::onLoadingChanged(const QWebEngineLoadingInfo& loading)
{
    if (loading.status() == QWebEngineLoadingInfo::LoadStartedStatus)
        return;
    if (showingNotice) {
        showingNotice = false;
        documentShown = true;
        if (!noticePath.empty())
            emit DocumentComplete(std::exchange(noticePath, std::string()));
        return;
    }
    // Only a document now shown counts: not an error page (a load refused or failed), nor a load
    // stopped before its document came.
    const QUrl url = loading.url();
    if (loading.isErrorPage() ||
        (loading.status() != QWebEngineLoadingInfo::LoadSucceededStatus && page->url() != url))
        return;
    // The blank page that lets go of a file is not a document of the user's.
    if (url.isEmpty() || url.scheme() == QLatin1String("about"))
        return;
    const std::string address = addressShown(url);
    if (address.empty())
        return;
    documentShown = true;
    emit DocumentComplete(address);
}

std::string WebEngineBrowser::addressShown(const QUrl& url) const
{
    if (url.scheme() != QLatin1String(localPageScheme))
        return addressOfUrl(url);
    // A script may give its document another path of the same host (history.pushState); the
    // document is still the one the host was issued for.
    const std::optional<std::string> path =
        documentHosts->pathOf(url.host(QUrl::FullyEncoded).toStdString());
    if (!path)
        return {};
    return *path == localPathOfUrl(url) ? addressOfUrl(url) : *path;
}
