#pragma once

#include <QWebEngineUrlRequestInfo>
#include <QWebEngineUrlRequestInterceptor>

// Whether a page may load `request`: a page's scripts may not read local files, and its frames and
// objects may show local files only from the page's own folder tree. Everything else is allowed.
bool mayLoadLocalResource(const QUrl& request, const QUrl& page,
                          QWebEngineUrlRequestInfo::ResourceType type);

// Applies mayLoadLocalResource to every request of a profile.
class LocalFileGuard : public QWebEngineUrlRequestInterceptor {
    Q_OBJECT
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo& info) override;
};
