#include "platform/ui/application_title.h"

#include <QFile>

QString applicationTitleFor(const std::string& executablePath)
{
    const std::string path = executablePath.substr(0, 255);
    std::string name = path.substr(path.rfind('/') + 1);
    name = name.substr(0, name.find('.'));
    const QString title = QFile::decodeName(name.c_str());
    if (title.isEmpty())
        return title;
    return title.left(1) + title.mid(1).toLower();
}
