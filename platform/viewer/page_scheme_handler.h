#pragma once

#include <QWebEngineUrlSchemeHandler>

class DocumentHosts;

// Serves the local documents that the viewer shows under their page URLs: a file as it is, a folder
// as a list of its entries, anything else (a FIFO, a device) as a notice, since reading it could
// block or never end. It serves a host only the one path that host was issued for, and only for a
// load that the request rule let through as a page or a frame: a script's read (from a worker the
// rule never sees, say), another path, a host never issued get nothing, whoever asks.
class PageSchemeHandler : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    explicit PageSchemeHandler(DocumentHosts& hosts) : hosts(hosts) {}
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    DocumentHosts& hosts;
};

// The notice shown in place of a file that is not an ordinary one.
QString notOrdinaryFileNotice(const std::string& path);
