#pragma once

#include <QWebEngineUrlSchemeHandler>

// Serves the local documents that the viewer shows under their page URLs: a file as it is, a folder
// as a list of its entries, anything else (a FIFO, a device) as a notice, since reading it could
// block or never end.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    using QWebEngineUrlSchemeHandler::QWebEngineUrlSchemeHandler;
    void requestStarted(QWebEngineUrlRequestJob* job) override;
};

// The notice shown in place of a file that is not an ordinary one.
QString notOrdinaryFileNotice(const std::string& path);
