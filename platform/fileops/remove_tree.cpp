#include "platform/fileops/remove_tree.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int removeEntry(int folder, const char* name);

int emptyFolder(int fd)
{
    DIR* dir = fdopendir(fd);
    if (!dir) {
        const int error = errno;
        close(fd);
        return error;
    }
    int result = 0;
    while (dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const int error = removeEntry(dirfd(dir), entry->d_name);
        if (error && !result)
            result = error;
    }
    closedir(dir);
    return result;
}

int removeEntry(int folder, const char* name)
{
    if (unlinkat(folder, name, 0) == 0)
        return 0;
    if (errno != EISDIR && errno != EPERM)
        return errno;
    const int fd = openat(folder, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return errno == ENOTDIR ? EPERM : errno;
    const int error = emptyFolder(fd);
    if (error)
        return error;
    return unlinkat(folder, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

} // namespace

int removeTree(const std::string& path)
{
    return removeEntry(AT_FDCWD, path.c_str());
}
