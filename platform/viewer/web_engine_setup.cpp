#include "platform/viewer/web_engine_setup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLoggingCategory>

#include <cstdlib>
#include <unistd.h>

namespace {

// Adds a Chromium switch unless the user already gave one of that name.
void addEngineSwitch(const QByteArray& name, const QByteArray& value)
{
    const QByteArray flags = qgetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    if (!flags.contains(name))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", (flags + ' ' + name + '=' + value).trimmed());
}

} // namespace

void prepareWebEngineProcess()
{
    if (::geteuid() == 0)
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
    addEngineSwitch("--log-level", "3");
    addEngineSwitch("--lang", "fr");
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false"));
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}
