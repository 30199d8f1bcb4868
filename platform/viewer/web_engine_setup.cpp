#include "platform/viewer/web_engine_setup.h"

#include "platform/viewer/file_url.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QLoggingCategory>
#include <QWebEngineUrlScheme>

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

    // Local documents are shown under this scheme, each under a host of its own. It may reach
    // file URLs (links and pictures that name a file by its full address) so that those too come
    // to the viewer's request rule, which serves them the same way.
    QWebEngineUrlScheme scheme(localPageScheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}
