#include "platform/files/remove_tree.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Whether folders that refuse the removal of their entries may be opened to writing (our copies).
enum class Reach { AsIs, OwnCopy };

int removeEntry(int folder, const char* name, Reach reach);

int emptyFolder(int fd, Reach reach)
{
    if (reach == Reach::OwnCopy)
        fchmod(fd, S_IRWXU);
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
        const int error = removeEntry(dirfd(dir), entry->d_name, reach);
        if (error && !result)
            result = error;
    }
    closedir(dir);
    return result;
}

int removeEntry(int folder, const char* name, Reach reach)
{
    if (unlinkat(folder, name, 0) == 0)
        return 0;
    if (errno != EISDIR && errno != EPERM)
        return errno;
    const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
    int fd = openat(folder, name, flags);
    if (fd < 0 && errno == EACCES && reach == Reach::OwnCopy &&
        fchmodat(folder, name, S_IRWXU, 0) == 0)
        fd = openat(folder, name, flags);
    if (fd < 0)
        return errno == ENOTDIR ? EPERM : errno;
    const int error = emptyFolder(fd, reach);
    if (error)
        return error;
    return unlinkat(folder, name, AT_REMOVEDIR) == 0 ? 0 : errno;
}

} // namespace

int removeTree(const std::string& path)
{
    return removeEntry(AT_FDCWD, path.c_str(), Reach::AsIs);
}

int removeTemporaryTree(const std::string& path)
{
    return removeEntry(AT_FDCWD, path.c_str(), Reach::OwnCopy);
}
