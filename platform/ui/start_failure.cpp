#include "platform/ui/start_failure.h"

#include "platform/ui/error_guard.h"

#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cxxabi.h>
#include <memory>
#include <typeinfo>

namespace {

QString className(const std::exception& error)
{
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
    return QString::fromLatin1(status == 0 && name ? name.get() : typeid(error).name());
}

} // namespace

QString startFailureText(const std::exception& error, const std::string& executablePath,
                         const void* address)
{
    const std::string module = executablePath.substr(executablePath.rfind('/') + 1);
    const QString hexAddress =
        QStringLiteral("%1")
            .arg(reinterpret_cast<quintptr>(address), 8, 16, QLatin1Char('0'))
            .toUpper();
    return QStringLiteral("Exception %1 dans le module %2 à %3.\n%4")
        .arg(className(error), QFile::decodeName(module.c_str()), hexAddress,
             errorBoxText(QString::fromUtf8(error.what())));
}

void showStartFailure(const QString& text)
{
    // Without any screen no box can be shown (Qt would abort): the text goes to stderr instead.
    if (!QGuiApplication::primaryScreen()) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    QMessageBox box(QMessageBox::Critical, QStringLiteral("Erreur d'application"), text,
                    QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}
