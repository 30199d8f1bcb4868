#pragma once

#include <QObject>
#include <QPageLayout>
#include <QString>

#include <functional>

class QWebEnginePage;

// Prints a web page to the default printer without a dialog: the engine renders the page to PDF
// (vector text) and the PDF is handed to the printing back end. The outcome arrives later, by
// printed() or failed(), on the GUI thread and never from inside the call to print().
class PagePrinter : public QObject {
    Q_OBJECT
public:
    // Takes the PDF and the job title; returns the job id, or throws VelmoError.
    using PdfSender = std::function<int(const QByteArray& pdf, const QString& jobTitle)>;

    // Sends to the default CUPS destination.
    explicit PagePrinter(QObject* parent = nullptr);
    PagePrinter(PdfSender sender, QObject* parent = nullptr);

    // Starts printing the page; false (and nothing else) when a print of this printer is still
    // being rendered, since the engine renders one page to PDF at a time.
    bool print(QWebEnginePage* page);
    // Waits, handling all but user input, until the page being rendered is back from the engine
    // (at most 30 s). Call it before destroying a page being printed: Qt WebEngine 6.4 crashes
    // when a page goes while it renders it to PDF.
    void finishRendering();

    // The paper for the rendering: A4, or Letter where the locale uses US measures; 10 mm margins.
    static QPageLayout defaultPageLayout();

signals:
    void printed(int jobId);
    // A whole French sentence, ready for the error box.
    void failed(const QString& message);

    // The engine has given back the page being rendered.
    void renderingDone();

private:
    void send(const QByteArray& pdf, const QString& jobTitle);

    PdfSender sender;
    bool busy = false;
};
