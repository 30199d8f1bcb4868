#include "settings/settings_path.h"

#include <unistd.h>

std::string executablePath()
{
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0)
        return {};
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

std::string executableFolder(const std::string& exePath)
{
    const auto slash = exePath.rfind('/');
    return slash == std::string::npos ? std::string() : exePath.substr(0, slash + 1);
}

std::string settingsFilePath(const std::string& exePath)
{
    const auto last = exePath.find_last_of("./");
    if (last != std::string::npos && exePath[last] == '.')
        return exePath.substr(0, last) + ".INI";
    return exePath + ".INI";
}
