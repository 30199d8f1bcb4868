#include "platform/desktop/cups_printing.h"

#include "platform/base/error.h"

#include <cups/cups.h>

#include <memory>

namespace {

struct DestDeleter {
    void operator()(cups_dest_t* dest) const { cupsFreeDests(1, dest); }
};
struct DestInfoDeleter {
    void operator()(cups_dinfo_t* info) const { cupsFreeDestInfo(info); }
};

bool succeeded(ipp_status_t status)
{
    return status <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

// Whether a CUPS scheduler answers at all, since a failed destination look-up does not tell.
bool schedulerAnswers()
{
    ippDelete(cupsDoRequest(CUPS_HTTP_DEFAULT, ippNewRequest(IPP_OP_CUPS_GET_DEFAULT), "/"));
    return cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

VelmoError jobFailure(const QString& jobTitle, const char* printer)
{
    QString reason = QString::fromUtf8(cupsLastErrorString()).trimmed();
    if (reason.isEmpty())
        reason = QStringLiteral("erreur CUPS %1").arg(int(cupsLastError()));
    const QString message =
        QStringLiteral("L'impression de « %1 » sur l'imprimante « %2 » a échoué : %3")
            .arg(jobTitle, QString::fromUtf8(printer), reason);
    return VelmoError(message.toStdString());
}

} // namespace

int printPdfToDefaultPrinter(const QByteArray& pdf, const QString& jobTitle)
{
    const std::unique_ptr<cups_dest_t, DestDeleter> dest(
        cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr));
    if (!dest) {
        // The user can act on a stopped scheduler, so it is told apart from a missing printer.
        if (!schedulerAnswers())
            throw VelmoError("Aucune imprimante par défaut n'est disponible : le service "
                             "d'impression CUPS ne répond pas.");
        throw VelmoError("Aucune imprimante par défaut n'est installée.");
    }
    const std::unique_ptr<cups_dinfo_t, DestInfoDeleter> info(
        cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest.get()));
    if (!info)
        throw jobFailure(jobTitle, dest->name);

    const QByteArray title = jobTitle.toUtf8();
    int jobId = 0;
    if (!succeeded(cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest.get(), info.get(), &jobId,
                                     title.constData(), 0, nullptr)))
        throw jobFailure(jobTitle, dest->name);

    const bool sent =
        cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get(), jobId, title.constData(),
                              CUPS_FORMAT_PDF, 0, nullptr, 1) == HTTP_STATUS_CONTINUE &&
        cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(), size_t(pdf.size())) ==
            HTTP_STATUS_CONTINUE &&
        succeeded(cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest.get(), info.get()));
    if (!sent) {
        const VelmoError failure = jobFailure(jobTitle, dest->name);
        // A half-sent job would sit in the queue forever, waiting for its document.
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest.get(), jobId);
        throw failure;
    }
    return jobId;
}
