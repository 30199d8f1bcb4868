#pragma once

#include <QByteArray>
#include <QString>

// Sends a PDF document to the system's default CUPS destination, without any dialog, and returns
// the CUPS job id. Throws VelmoError (French message) when there is no default printer or when the
// scheduler refuses the job; what happens to the job afterwards is the scheduler's.
int printPdfToDefaultPrinter(const QByteArray& pdf, const QString& jobTitle);
