#include "platform/fileops/make_folders.h"

#include "platform/fileops/local_path.h"

#include <cerrno>
#include <sys/stat.h>

int makeFolders(const std::string& path, mode_t mode)
{
    struct stat st;
    if (stat(path.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
    if (errno != ENOENT)
        return errno;
    const std::string parent = parentOf(path);
    if (!parent.empty() && parent != path) {
        if (const int error = makeFolders(parent, mode))
            return error;
    }
    if (mkdir(path.c_str(), mode) == 0 || errno == EEXIST)
        return 0;
    return errno;
}
