#include "platform/files/trash_location.h"

#include "platform/base/local_path.h"
#include "platform/base/make_folders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string homeFolder()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return home;
    if (const passwd* entry = getpwuid(getuid()))
        return entry->pw_dir;
    return "/";
}

// Creates a trash folder's files/ and info/; the folder itself must already be there.
int prepareParts(const std::string& trash)
{
    for (const char* part : {"files", "info"}) {
        const std::string path = joinPath(trash, part);
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
        struct stat st;
        if (stat(path.c_str(), &st) != 0)
            return errno;
        if (!S_ISDIR(st.st_mode))
            return ENOTDIR;
    }
    return 0;
}

// Creates a top-folder trash and checks that it is the user's own real folder.
int prepareOwnedTrash(const std::string& trash)
{
    if (mkdir(trash.c_str(), 0700) != 0 && errno != EEXIST)
        return errno;
    struct stat st;
    if (lstat(trash.c_str(), &st) != 0)
        return errno;
    if (!S_ISDIR(st.st_mode))
        return ENOTDIR;
    if (st.st_uid != getuid())
        return EACCES;
    return prepareParts(trash);
}

} // namespace

std::string homeTrashPath()
{
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && dataHome[0] == '/')
        return joinPath(withoutTrailingSlashes(dataHome), "Trash");
    return joinPath(homeFolder(), ".local/share/Trash");
}

int deviceOfNearest(const std::string& path, dev_t& device)
{
    std::string folder = path;
    struct stat st;
    while (stat(folder.c_str(), &st) != 0) {
        if (errno != ENOENT || folder == "/" || folder.empty())
            return errno;
        folder = parentOf(folder);
    }
    device = st.st_dev;
    return 0;
}

int prepareHomeTrash(const std::string& path)
{
    if (const int error = makeFolders(path, 0700))
        return error;
    return prepareParts(path);
}

std::string topDirOf(const std::string& resolvedPath, dev_t device)
{
    std::string top = parentOf(resolvedPath);
    while (top != "/") {
        const std::string above = parentOf(top);
        struct stat st;
        if (stat(above.c_str(), &st) != 0 || st.st_dev != device)
            break;
        top = above;
    }
    return top;
}

bool isSystemFolder(const std::string& topDir)
{
    static const char* const folders[] = {"/",    "/boot", "/dev", "/dev/shm", "/etc", "/proc",
                                          "/run", "/sys",  "/tmp", "/usr",     "/var", "/var/tmp"};
    for (const char* folder : folders)
        if (topDir == folder)
            return true;
    return false;
}

int prepareTopDirTrash(const std::string& topDir, std::string& path)
{
    const std::string uid = std::to_string(getuid());
    const std::string shared = joinPath(topDir, ".Trash");
    struct stat st;
    if (lstat(shared.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX)) {
        path = joinPath(shared, uid);
        if (prepareOwnedTrash(path) == 0)
            return 0;
    }
    path = joinPath(topDir, ".Trash-" + uid);
    return prepareOwnedTrash(path);
}
