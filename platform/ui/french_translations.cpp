#include "platform/ui/french_translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

void installFrenchTranslations(QCoreApplication& app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_fr", "qtwebengine_fr"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), folder))
            QCoreApplication::installTranslator(translator);
        else
            delete translator;
    }
}
