#include "platform/viewer/page_printer.h"

#include "platform/base/error.h"
#include "platform/desktop/cups_printing.h"
#include "platform/viewer/file_url.h"

#include <QEventLoop>
#include <QLocale>
#include <QPageSize>
#include <QPointer>
#include <QTimer>
#include <QWebEnginePage>

namespace {

// The engine gives an untitled page its file name or address as title; the address covers the rest.
QString jobTitleFor(const QWebEnginePage* page)
{
    const QString title = page->title().trimmed();
    return title.isEmpty() ? displayedAddressOf(page->url()) : title;
}

} // namespace

PagePrinter::PagePrinter(QObject* parent) : PagePrinter(printPdfToDefaultPrinter, parent) {}

PagePrinter::PagePrinter(PdfSender sender, QObject* parent)
    : QObject(parent), sender(std::move(sender))
{}

bool PagePrinter::print(QWebEnginePage* page)
{
    if (busy || !page)
        return false;
    busy = true;
    const QString title = jobTitleFor(page);
    const QPointer<PagePrinter> self(this);
    const QPointer<QWebEnginePage> printedPage(page);
    page->printToPdf(
        [self, printedPage, title](const QByteArray& pdf) {
            // Act later, outside the engine's call; an empty answer for a page that has gone
            // since (destroyed) is nobody's concern any more.
            if (self)
                QMetaObject::invokeMethod(
                    self,
                    [self, printedPage, pdf, title] {
                        self->busy = false;
                        emit self->renderingDone();
                        if (!pdf.isEmpty() || printedPage)
                            self->send(pdf, title);
                    },
                    Qt::QueuedConnection);
        },
        defaultPageLayout());
    return true;
}

void PagePrinter::finishRendering()
{
    if (!busy)
        return;
    QEventLoop loop;
    connect(this, &PagePrinter::renderingDone, &loop, &QEventLoop::quit);
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void PagePrinter::send(const QByteArray& pdf, const QString& jobTitle)
{
    if (pdf.isEmpty()) {
        emit failed(QStringLiteral("La page « %1 » n'a pas pu être préparée pour l'impression.")
                        .arg(jobTitle));
        return;
    }
    int jobId = 0;
    try {
        jobId = sender(pdf, jobTitle);
    } catch (const VelmoError& error) {
        emit failed(QString::fromUtf8(error.what()));
        return;
    }
    emit printed(jobId);
}

QPageLayout PagePrinter::defaultPageLayout()
{
    const bool usMeasures = QLocale().measurementSystem() == QLocale::ImperialUSSystem;
    return QPageLayout(QPageSize(usMeasures ? QPageSize::Letter : QPageSize::A4),
                       QPageLayout::Portrait, QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}
