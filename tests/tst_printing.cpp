#include "platform/base/error.h"
#include "platform/desktop/cups_printing.h"
#include "platform/viewer/page_printer.h"
#include "support/web_test_main.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWebEnginePage>

#include <cups/cups.h>

static const QString sentence = QStringLiteral("Velmo imprime cette phrase connue.");
static const QString html =
    QStringLiteral("<html><head><title>Page d'essai</title></head><body><h1>Essai</h1><p>%1</p>"
                   "</body></html>")
        .arg(sentence);

// The text of a PDF as pdftotext reads it, with its line breaks turned into spaces.
static QString pdfText(const QByteArray& pdf)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("page.pdf")));
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    QProcess tool;
    tool.start(QStringLiteral("pdftotext"), {file.fileName(), QStringLiteral("-")});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return {};
    return QString::fromUtf8(tool.readAllStandardOutput()).simplified();
}

// Pixels of the PDF's first page, drawn in grey at a low resolution, that are not white.
static int inkedPixels(const QString& pdfFile)
{
    QTemporaryDir folder;
    QProcess tool;
    tool.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("50"),
                QStringLiteral("-singlefile"), pdfFile, folder.filePath(QStringLiteral("page"))});
    if (!tool.waitForFinished(30000) || tool.exitCode() != 0)
        return -1;
    const QImage image(folder.filePath(QStringLiteral("page.pgm")));
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128;
    return count;
}

// libcups reads CUPS_SERVER once and keeps it; this makes it read the variable again.
static void useCupsServer(const QByteArray& server)
{
    if (server.isNull())
        qunsetenv("CUPS_SERVER");
    else
        qputenv("CUPS_SERVER", server);
    cupsSetServer(nullptr);
}

static bool schedulerAnswers()
{
    ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_DEFAULT);
    ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");
    ippDelete(response);
    return cupsLastError() != IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
}

static ipp_jstate_t jobState(int jobId)
{
    cups_job_t* jobs = nullptr;
    const int count = cupsGetJobs2(CUPS_HTTP_DEFAULT, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    ipp_jstate_t state = ipp_jstate_t(0);
    for (int i = 0; i < count; ++i)
        if (jobs[i].id == jobId)
            state = jobs[i].state;
    cupsFreeJobs(count, jobs);
    return state;
}

class TestPrinting : public QObject {
    Q_OBJECT
private:
    QWebEnginePage* page = nullptr;
    QTemporaryDir noScheduler;
    const QByteArray queue = qgetenv("LPDEST");

private slots:
    void initTestCase()
    {
        qunsetenv("PRINTER");
        page = new QWebEnginePage(this);
        QSignalSpy loaded(page, &QWebEnginePage::loadFinished);
        page->setHtml(html);
        QVERIFY(loaded.wait(20000));
        QVERIFY(loaded.first().first().toBool());
    }
    void cleanup()
    {
        useCupsServer({});
        qputenv("LPDEST", queue);
    }

    void noPrinterIsAFrenchError_data()
    {
        QTest::addColumn<bool>("scheduler");
        QTest::addColumn<QString>("message");
        QTest::newRow("no scheduler") << false
                                      << "Aucune imprimante par défaut n'est disponible : le "
                                         "service d'impression CUPS ne répond pas.";
        QTest::newRow("scheduler without that printer")
            << true << "Aucune imprimante par défaut n'est installée.";
    }
    void noPrinterIsAFrenchError()
    {
        QFETCH(bool, scheduler);
        QFETCH(QString, message);
        if (scheduler) {
            if (!schedulerAnswers())
                QSKIP("no CUPS scheduler is running here (see tests/cups/start-cups.sh)");
            qputenv("LPDEST", "Velmo-no-such-queue");
        } else {
            useCupsServer(noScheduler.filePath(QStringLiteral("nobody-listens.sock")).toUtf8());
        }
        QString thrown;
        try {
            printPdfToDefaultPrinter("%PDF-1.4\n", QStringLiteral("essai"));
        } catch (const VelmoError& error) {
            thrown = QString::fromUtf8(error.what());
        }
        QCOMPARE(thrown, message);

        // The same sentence comes out of the page printer, later and by its signal.
        PagePrinter printer;
        QSignalSpy failed(&printer, &PagePrinter::failed);
        QSignalSpy printed(&printer, &PagePrinter::printed);
        QVERIFY(printer.print(page));
        QVERIFY(failed.isEmpty());
        QVERIFY(failed.wait(20000));
        QCOMPARE(failed.first().first().toString(), message);
        QVERIFY(printed.isEmpty());
    }

    void pagePrinterRendersVectorText()
    {
        QByteArray sentPdf;
        QString sentTitle;
        PagePrinter printer([&](const QByteArray& pdf, const QString& title) {
            sentPdf = pdf;
            sentTitle = title;
            return 42;
        });
        QSignalSpy printed(&printer, &PagePrinter::printed);
        QVERIFY(printer.print(page));
        QVERIFY2(!printer.print(page), "the engine renders one page at a time");
        QVERIFY(printed.wait(20000));
        QCOMPARE(printed.first().first().toInt(), 42);
        QCOMPARE(printed.size(), 1);
        QCOMPARE(sentTitle, QStringLiteral("Page d'essai"));
        QVERIFY(sentPdf.startsWith("%PDF-"));
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext is missing: install poppler-utils");
        QVERIFY2(pdfText(sentPdf).contains(sentence), qPrintable(pdfText(sentPdf)));
    }

    void pagePrinterReportsTheSendersError()
    {
        PagePrinter printer([](const QByteArray&, const QString& title) -> int {
            throw VelmoError(QStringLiteral("Refusé : %1").arg(title).toStdString());
        });
        QSignalSpy failed(&printer, &PagePrinter::failed);
        QSignalSpy printed(&printer, &PagePrinter::printed);
        QVERIFY(printer.print(page));
        QVERIFY(failed.wait(20000));
        QCOMPARE(failed.first().first().toString(), QStringLiteral("Refusé : Page d'essai"));
        QVERIFY(printed.isEmpty());
        // Once the answer is in, the printer takes the next page.
        QVERIFY(printer.print(page));
        QVERIFY(failed.wait(20000));
    }

    void finishRenderingWaitsForTheEngine()
    {
        auto* doomed = new QWebEnginePage;
        QSignalSpy loaded(doomed, &QWebEnginePage::loadFinished);
        doomed->setHtml(html);
        QVERIFY(loaded.wait(20000));
        int sends = 0;
        PagePrinter printer([&](const QByteArray&, const QString&) { return ++sends; });
        QSignalSpy printed(&printer, &PagePrinter::printed);
        QVERIFY(printer.print(doomed));
        printer.finishRendering();
        QCOMPARE(sends, 1);
        QCOMPARE(printed.size(), 1);
        // Destroying the page while it renders would crash the engine; now it is safe.
        delete doomed;
        printer.finishRendering();
    }

    void printsThroughTheDefaultQueue()
    {
        const QString output = qEnvironmentVariable("VELMO_CUPS_OUTPUT");
        if (output.isEmpty() || queue.isEmpty())
            QSKIP("VELMO_CUPS_OUTPUT and LPDEST are unset: run this test through ctest");
        QFile unavailable(output + QStringLiteral("/unavailable"));
        if (unavailable.open(QIODevice::ReadOnly))
            QSKIP(qPrintable(QStringLiteral("no CUPS scheduler: ") +
                             QString::fromUtf8(unavailable.readAll()).trimmed()));
        if (!schedulerAnswers())
            QSKIP("the CUPS scheduler does not answer");
        for (const char* tool : {"pdftotext", "pdftoppm"})
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP("pdftotext or pdftoppm is missing: install poppler-utils");

        QByteArray sentPdf;
        PagePrinter printer([&](const QByteArray& pdf, const QString& title) {
            sentPdf = pdf;
            return printPdfToDefaultPrinter(pdf, title);
        });
        QSignalSpy printed(&printer, &PagePrinter::printed);
        QSignalSpy failed(&printer, &PagePrinter::failed);
        QVERIFY(printer.print(page));
        QTRY_VERIFY_WITH_TIMEOUT(!printed.isEmpty() || !failed.isEmpty(), 20000);
        QVERIFY2(failed.isEmpty(), qPrintable(failed.value(0).value(0).toString()));
        const int jobId = printed.first().first().toInt();
        QVERIFY(jobId > 0);
        QVERIFY2(pdfText(sentPdf).contains(sentence), qPrintable(pdfText(sentPdf)));

        QTRY_VERIFY_WITH_TIMEOUT(jobState(jobId) >= IPP_JSTATE_STOPPED, 60000);
        QCOMPARE(int(jobState(jobId)), int(IPP_JSTATE_COMPLETED));
        const QStringList made =
            QDir(output).entryList({QStringLiteral("job_%1-*.pdf").arg(jobId)}, QDir::Files);
        QCOMPARE(made.size(), 1);
        const QString madePath = output + '/' + made.first();
        QVERIFY(QFileInfo(madePath).size() > 0);
        // cups-pdf redraws the page through PostScript, which keeps the drawing but not the text.
        QVERIFY2(inkedPixels(madePath) > 100, "the printed page is blank");
        QFile::remove(madePath);
    }
};

VELMO_WEB_TEST_MAIN(TestPrinting)
#include "tst_printing.moc"
