#include "settings/TIniFile.h"

#include "platform/base/error.h"
#include "settings/integer_text.h"
#include "settings/profile_file.h"

#include <QFile>

namespace {
// The read buffer holds 2048 characters with the terminating zero.
constexpr std::size_t readBufferSize = 2048;
} // namespace

std::string TIniFile::readText(const std::string& section, const std::string& key,
                               const std::string& defaultValue) const
{
    return profile::readString(section, key, defaultValue, readBufferSize, path);
}

int TIniFile::readInteger(const std::string& section, const std::string& key,
                          int defaultValue) const
{
    return parseSettingsInteger(readText(section, key, std::string())).value_or(defaultValue);
}

bool TIniFile::readFlag(const std::string& section, const std::string& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void TIniFile::writeText(const std::string& section, const std::string& key,
                         const std::string& value)
{
    if (!profile::writeString(section, key, value, path)) {
        const QString message =
            QStringLiteral("Impossible d'écrire dans %1").arg(QFile::decodeName(path.c_str()));
        throw VelmoError(message.toStdString());
    }
}

void TIniFile::writeInteger(const std::string& section, const std::string& key, int value)
{
    writeText(section, key, std::to_string(value));
}

void TIniFile::writeFlag(const std::string& section, const std::string& key, bool value)
{
    writeText(section, key, value ? "1" : "0");
}
