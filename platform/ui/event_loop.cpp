#include "platform/ui/event_loop.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QWidget>

void processPendingMessages()
{
    // Returns as soon as nothing is left; the bound only keeps a page that posts events without end
    // from holding the command.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents, 250);
}

void askToClose(QWidget* window)
{
    QMetaObject::invokeMethod(window, &QWidget::close, Qt::QueuedConnection);
}
