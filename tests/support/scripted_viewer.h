#pragma once

#include "platform/base/error.h"
#include "platform/viewer/web_browser.h"

#include <QMetaObject>

#include <deque>
#include <functional>
#include <string>
#include <vector>

// A viewer that records every call in a shared log. Each Navigate also posts an event that logs
// "pending" when handled, so the log shows whether pending messages were processed after it.
class ScriptedViewer : public WebBrowser {
public:
    ScriptedViewer(QWidget* parent, std::vector<std::string>& log) : WebBrowser(parent), log(log) {}
    ~ScriptedViewer() override
    {
        if (onDestroy)
            onDestroy(*this);
    }

    void Navigate(const std::string& address) override
    {
        log.push_back("Navigate:" + address);
        if (refuseNavigate)
            throw VelmoError(refusal);
        QMetaObject::invokeMethod(
            this, [this] { log.push_back("pending"); }, Qt::QueuedConnection);
    }
    void showBlankNotice(const QString& text) override
    {
        log.push_back("Notice:" + text.toStdString());
    }
    void GoBack() override { log.push_back("GoBack"); }
    void GoForward() override { log.push_back("GoForward"); }
    void Stop() override { log.push_back("Stop"); }
    void PrintWithoutPrompt() override
    {
        log.push_back("Print");
        if (refusePrint)
            throw VelmoError(refusal);
    }
    ViewerDocument* Document() override
    {
        log.push_back("Document");
        if (documentReads++ > 0 && failLaterDocumentReads)
            throw VelmoError("second read fails");
        return hasDocument ? &document : nullptr;
    }

    struct FindRecorder : ViewerDocument {
        int opened = 0;
        void showFindDialog() override { ++opened; }
    } document;

    std::vector<std::string>& log;
    std::function<void(ScriptedViewer&)> onDestroy; // what still happens as the viewer goes
    bool hasDocument = false;
    bool refuseNavigate = false;
    bool refusePrint = false;
    bool failLaterDocumentReads = false;
    int documentReads = 0;
    std::string refusal = "La page est refusée";
};
