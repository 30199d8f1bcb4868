#include "settings/settings_location.h"

#include "platform/base/local_path.h"
#include "platform/base/make_folders.h"
#include "settings/file_bytes.h"

#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <unistd.h>

namespace {

// Checked with the effective (and file-system) identity, the one the write will use.
bool allows(const std::string& path, int mode)
{
    return ::faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

std::string environment(const char* name)
{
    const char* value = std::getenv(name);
    return value == nullptr ? std::string() : std::string(value);
}

} // namespace

SettingsLocation settingsLocation(const std::string& besidePath, const std::string& perUserPath)
{
    // A folder that takes new files, or a settings file there that can be rewritten in place.
    const bool besideTakesIt =
        allows(parentOf(besidePath), W_OK | X_OK) || allows(besidePath, W_OK);
    if (perUserPath.empty() || besideTakesIt)
        return {besidePath, besidePath};
    return {allows(perUserPath, F_OK) ? perUserPath : besidePath, perUserPath};
}

void prepareForWriting(const SettingsLocation& location)
{
    if (location.readPath == location.writePath)
        return;
    if (makeFolders(parentOf(location.writePath), 0700) != 0)
        return;
    const std::optional<FileBytes> beside = readFileBytes(location.readPath);
    if (beside && beside->exists)
        replaceFileBytes(location.writePath, beside->bytes);
}

std::string perUserSettingsPath(const std::string& xdgConfigHome, const std::string& home)
{
    std::string folder;
    if (isAbsoluteLocalPath(xdgConfigHome))
        folder = xdgConfigHome;
    else if (isAbsoluteLocalPath(home))
        folder = joinPath(home, ".config");
    else
        return {};
    return joinPath(joinPath(folder, "velmo"), "velmo.INI");
}

std::string defaultStartFolder(const SettingsLocation& location, const std::string& besidePath,
                               const std::string& exeFolder, const std::string& home)
{
    if (location.writePath == besidePath || !isAbsoluteLocalPath(home))
        return exeFolder;
    const std::string folder = withoutTrailingSlashes(home);
    return folder == "/" ? folder : folder + "/";
}

std::string homeFolder()
{
    std::string home = environment("HOME");
    if (home.empty()) {
        const passwd* account = ::getpwuid(::getuid());
        if (account != nullptr && account->pw_dir != nullptr)
            home = account->pw_dir;
    }
    return home;
}

std::string perUserSettingsPath()
{
    return perUserSettingsPath(environment("XDG_CONFIG_HOME"), homeFolder());
}
